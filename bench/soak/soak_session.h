#pragma once
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/app/AppState.h"
#include "core/common/dispatcher.h"
#include "core/pages/verify_display.h"
#include "core/program/TProgram.h"
#include "core/store/KeyTree.h"

namespace quorvex::soak {

class Watchdog;

// The keyword kept for verification runs; never deleted.
inline constexpr const char* kVerifyKeyword = "kept for verification";

// Everything the program keeps on disk, as the records in memory would write it.
struct KeptFiles {
  std::vector<std::string> options;
  std::vector<std::string> indexLines;
  std::vector<TKeyTreeNode> tree;
  std::vector<std::string> keyLines;                 // AllKey.txt, line by line
  std::vector<std::vector<std::string>> resultLines;  // each keyword's result file, line by line
  bool operator==(const KeptFiles&) const = default;
};

// What differs between two KeptFiles, for the failure message; empty when nothing does.
std::string Difference(const KeptFiles& saved, const KeptFiles& read);

// One run of the program between its start-up and its close, driven as the window drives it: one main
// thread running the workers' calls and a 200 ms timer, searches and verification runs that start only
// while the program is idle, and the shut-down. Its own search and verification display check that no
// event arrives after a stop.
class Session : private TProgramDisplay, private TVerifyDisplay {
 public:
  // The start-up: option.txt, Index.txt, KeyTree.txt, AllKey.txt and every result file are read.
  explicit Session(Watchdog& watchdog);
  ~Session() override;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  TActivityState Activity() const { return program_.Activity(); }
  // The contents of the files the records would write now.
  KeptFiles Contents() const;

  // Each does nothing and returns false unless the program is idle.
  bool StartSearch(const std::string& keyword);
  bool StartUpdateSearch(std::mt19937& random);
  bool StartVerify(std::mt19937& random);
  // Deletes the oldest searched keyword once more than maxKeys are kept, as the keyword list does.
  bool DeleteOldKeyword(size_t maxKeys);

  void StopSearch();
  void StopVerify();
  // The main loop for this long: the workers' calls as they come, the timer every 200 ms.
  void Run(std::chrono::milliseconds duration);
  // The window's shut-down: keyword files saved, search and verification stopped, their workers gone,
  // Index.txt saved. Returns what was saved.
  KeptFiles Close();

 private:
  void Tick();

  // TProgramDisplay
  void ShowActivity(std::string_view) override {}
  void ActivityStateChanged() override {}
  void KeyAdded(TOneKey&) override {}
  void SearchStarted(TOneKey& key) override;
  std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) override;
  void ResultsMerged(TOneKey& key, int runTotal, int countAll) override;
  void EnginesFinished() override {}
  void SearchEnded(TOneKey&) override {}
  void VerifyStarted(TOneKey&) override {}
  void VerifyEnded(TOneKey&) override {}
  void ResultsEdited(TOneKey&) override {}
  // TVerifyDisplay
  void RunStarted(int workers) override;
  void Progress(const TVerifyProgress& progress) override;
  void WorkerRow(int slot, std::string_view url, int resultIndex, int left) override;
  void ResultChecked(int resultIndex, int pageState) override;
  void VerifyEvent(const char* what);

  class Row;

  Watchdog& watchdog_;
  QueueDispatcher dispatcher_;
  AppState app_;
  std::vector<TKeyTreeNode> tree_;
  TProgram program_;
  std::chrono::steady_clock::time_point nextTick_;
};

}  // namespace quorvex::soak

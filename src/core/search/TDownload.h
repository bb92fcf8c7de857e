#pragma once
#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/search/result_merge.h"

namespace quorvex {

class TGetList;
class TOneKey;
class TSearchProgressRow;
class TSearchRun;

// The engine's name in an engine entry "name=definition file"; empty when the entry has no "=".
std::string_view EngineNameOf(std::string_view engineEntry);

// The controller of one engine in a search: it converts the keyword to the engine's code page, starts
// the engine's worker, and merges the records of every page (made ready by the worker) into the
// keyword's results on the main thread, counting them and deciding whether the engine fetches another
// page. Owned by the search run; main thread only.
class TDownload {
 public:
  // Reads the engine's definition and starts its search. engineEntry is "name=definition file", the
  // file relative to the run's engine folder; progress is the engine's row, kept until the controller goes.
  TDownload(TSearchRun& run, std::string_view engineEntry, TOneKey& key, std::unique_ptr<TSearchProgressRow> progress);
  // Stops the worker (without waiting for its thread) and frees the progress row.
  ~TDownload();
  TDownload(const TDownload&) = delete;
  TDownload& operator=(const TDownload&) = delete;

  // Stops the worker; no event of it follows.
  void Stop();


 private:
  void OnConnecting();
  void OnPageDone(std::vector<TReadyRecord>& records, std::string_view failure, std::string_view page, bool& stop);
  void OnFinished();

  TSearchRun& run_;
  TOneKey& key_;
  std::string keyword_;
  std::string engineName_;
  std::string definitionFile_;
  int weight_ = 100;
  int added_ = 0;
  int reported_ = 0;
  int usable_ = 0;  // reported records with an address and a title
  std::string failure_;
  int pages_ = 0;
  std::string keptPage_;  // the page that showed a block or no record matched
  std::string charset_;   // of the pages as fetched, for the user who learns from the kept one
  std::string firstUrl_;  // the address of the first page, for the user who learns from the kept one
  std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
  std::unique_ptr<TSearchProgressRow> progress_;
  std::unique_ptr<TGetList> worker_;  // last: destroyed first, while everything its events use exists
};

}  // namespace quorvex

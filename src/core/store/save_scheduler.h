#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace quorvex {

class TOneKey;
class UnsavedFiles;

// The files the user's keywords live in and what they are written from.
struct SaveTargets {
  const std::vector<TOneKey*>* keyList = nullptr;  // the records AllKey.txt lists, in its order
  std::filesystem::path allKeyFile;
  std::filesystem::path resultDir;
  // The category names at the time of writing (AllKey.txt names each keyword's category).
  std::function<std::vector<std::string>()> categoryNames;
  // Writes KeyTree.txt atomically; false when it could not.
  std::function<bool()> saveKeyTree;
};

// Keeps the keyword files on disk soon after they change, so that a process that never reaches its
// shut-down (killed, logged out, crashed) loses nothing the user kept. Callers report changes as they
// happen; Tick writes what is pending, each file at most once per kMinInterval, so a burst of changes
// costs one write per file. Writes go through the atomic store writers and produce the same bytes as
// the shut-down's save. Main thread only, like the records it reads.
class SaveScheduler {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration kMinInterval = std::chrono::seconds(1);

  explicit SaveScheduler(SaveTargets targets);

  // A search, update search or verification / download run of key ended or was stopped: its line of
  // AllKey.txt and its result file (written when the record is modified) are due.
  void KeyChanged(const TOneKey& key);
  // Only key's results changed (a page state, a visited mark), not its line: its result file is due,
  // AllKey.txt is not.
  void ResultsChanged(const TOneKey& key);
  // key left KeyList: AllKey.txt is due, and a result write still pending for key is dropped, as the
  // shut-down drops it. key is not kept.
  void KeyDeleted(const TOneKey& key);
  // A keyword was filed under another class.
  void KeyListChanged();
  // A class of the tree was added, renamed, moved or deleted.
  void TreeChanged();
  // A file that was not read whole keeps its contents: KeyTree.txt until ReplaceKeptTree (the user
  // agreed to lose what was not read), AllKey.txt for the whole run (the result files are still
  // written).
  void KeepTreeFile();
  void ReplaceKeptTree();
  bool TreeFileKept() const { return treeKept_; }
  void KeepKeyListFile();

  // Called by the window's timer: writes every pending file whose last write is kMinInterval old. A file
  // that cannot be written stays pending, to be tried again, and is noted in unsaved when given.
  void Tick(Clock::time_point now, UnsavedFiles* unsaved = nullptr);
  // Writes every pending file now, in the shut-down's order: KeyTree.txt, AllKey.txt, result files in
  // KeyList order. A file that cannot be written stays pending, does not stop the others and is noted
  // in unsaved when given (KeyTree.txt by its name). True when every pending file was written.
  bool Flush(Clock::time_point now, UnsavedFiles* unsaved = nullptr);
  // The shut-down's save: KeyTree.txt, then AllKey.txt with every modified keyword's result file.
  bool SaveAll(Clock::time_point now, UnsavedFiles* unsaved = nullptr);
  bool HasPending() const;

 private:
  bool WriteDue(Clock::time_point now, bool ignoreInterval, UnsavedFiles* unsaved);
  bool WriteKeyList(Clock::time_point now, UnsavedFiles* unsaved);
  bool WriteResults(TOneKey& key, Clock::time_point now, UnsavedFiles* unsaved);
  static bool Due(const std::optional<Clock::time_point>& lastWrite, Clock::time_point now);

  SaveTargets targets_;
  bool treePending_ = false;
  bool treeKept_ = false;
  bool keyListKept_ = false;
  bool keyListPending_ = false;
  std::set<const TOneKey*> resultsPending_;
  std::optional<Clock::time_point> treeWritten_;
  std::optional<Clock::time_point> keyListWritten_;
  std::map<const TOneKey*, Clock::time_point> resultsWritten_;
};

}  // namespace quorvex

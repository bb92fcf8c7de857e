#include "core/store/save_scheduler.h"

#include <utility>

#include "core/common/unsaved_files.h"
#include "core/store/KeyTree.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"

namespace quorvex {

SaveScheduler::SaveScheduler(SaveTargets targets) : targets_(std::move(targets)) {}

void SaveScheduler::KeyChanged(const TOneKey& key) {
  KeyListChanged();
  ResultsChanged(key);
}

void SaveScheduler::ResultsChanged(const TOneKey& key) { resultsPending_.insert(&key); }

void SaveScheduler::KeyDeleted(const TOneKey& key) {
  KeyListChanged();
  resultsPending_.erase(&key);
  resultsWritten_.erase(&key);
}

void SaveScheduler::KeyListChanged() { keyListPending_ = !keyListKept_; }

void SaveScheduler::TreeChanged() { treePending_ = !treeKept_; }

void SaveScheduler::KeepTreeFile() {
  treeKept_ = true;
  treePending_ = false;
}

void SaveScheduler::ReplaceKeptTree() { treeKept_ = false; }

void SaveScheduler::KeepKeyListFile() {
  keyListKept_ = true;
  keyListPending_ = false;
}

void SaveScheduler::Tick(Clock::time_point now, UnsavedFiles* unsaved) {
  // Forget writes old enough not to hold anything back, so the map stays as small as a second's work.
  std::erase_if(resultsWritten_, [now](const auto& entry) { return now - entry.second >= kMinInterval; });
  if (HasPending()) WriteDue(now, false, unsaved);
}

bool SaveScheduler::Flush(Clock::time_point now, UnsavedFiles* unsaved) { return WriteDue(now, true, unsaved); }

bool SaveScheduler::SaveAll(Clock::time_point now, UnsavedFiles* unsaved) {
  treePending_ = !treeKept_;
  keyListPending_ = !keyListKept_;
  // Without the key list's write, the modified keywords' result files are written on their own.
  if (keyListKept_) {
    for (const TOneKey* key : *targets_.keyList) {
      if (key->Modified) resultsPending_.insert(key);
    }
  }
  return Flush(now, unsaved);
}

bool SaveScheduler::HasPending() const { return treePending_ || keyListPending_ || !resultsPending_.empty(); }

bool SaveScheduler::Due(const std::optional<Clock::time_point>& lastWrite, Clock::time_point now) {
  return !lastWrite || now - *lastWrite >= kMinInterval;
}

bool SaveScheduler::WriteDue(Clock::time_point now, bool ignoreInterval, UnsavedFiles* unsaved) {
  bool allWritten = true;
  if (treePending_ && (ignoreInterval || Due(treeWritten_, now))) {
    treeWritten_ = now;
    treePending_ = !targets_.saveKeyTree();
    allWritten = !treePending_;
    if (unsaved) unsaved->Note(allWritten, kKeyTreeFileName);
  }
  if (keyListPending_ && (ignoreInterval || Due(keyListWritten_, now)))
    allWritten = WriteKeyList(now, unsaved) && allWritten;
  if (resultsPending_.empty()) return allWritten;
  // Walking KeyList keeps the shut-down's order and drops keywords that have left it.
  std::set<const TOneKey*> stillPending;
  for (TOneKey* key : *targets_.keyList) {
    // An unmodified record's file already holds what it has (the key list may just have written it).
    if (!resultsPending_.contains(key) || !key->Modified) continue;
    const auto written = resultsWritten_.find(key);
    const bool due = ignoreInterval || written == resultsWritten_.end() || Due(written->second, now);
    if (due && WriteResults(*key, now, unsaved)) continue;
    stillPending.insert(key);
    allWritten = allWritten && !due;
  }
  resultsPending_ = std::move(stillPending);
  return allWritten;
}

bool SaveScheduler::WriteKeyList(Clock::time_point now, UnsavedFiles* unsaved) {
  // Saving the key list also writes the result file of every modified keyword; note those writes so
  // that a result write asked for just after waits its turn like any other.
  for (const TOneKey* key : *targets_.keyList) {
    if (key->Modified) resultsWritten_[key] = now;
  }
  keyListWritten_ = now;
  keyListPending_ =
      !SaveKeyList(*targets_.keyList, targets_.allKeyFile, targets_.resultDir, targets_.categoryNames(), unsaved);
  return !keyListPending_;
}

bool SaveScheduler::WriteResults(TOneKey& key, Clock::time_point now, UnsavedFiles* unsaved) {
  resultsWritten_[&key] = now;
  const bool written = key.SaveResults(targets_.resultDir);
  if (unsaved) unsaved->Note(written, key.ResultFile(targets_.resultDir));
  if (!written) return false;
  key.Modified = false;
  return true;
}

}  // namespace quorvex

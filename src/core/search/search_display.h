#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace quorvex {

class TOneKey;

// One engine's row in the search progress window. Called on the main thread only.
class TSearchProgressRow {
 public:
  virtual ~TSearchProgressRow() = default;
  // The engine's first request is going out.
  virtual void Connected() = 0;
  // A page is merged; reported is the number of records the engine has reported so far.
  virtual void Downloading(int reported) = 0;
  // The engine's part of the search is over; added is the number of results it added.
  virtual void FinishedDown(int added) = 0;
};

// What a search shows in the main window, so that the search core needs no window: the window
// implements it with its status bar, keyword list, progress bar and progress window, the command-line
// tool with lines on stderr. Called on the main thread only.
class TSearchDisplay {
 public:
  virtual ~TSearchDisplay() = default;
  // Writes a status bar panel (numbered from 0).
  virtual void SetStatus(int panel, std::string_view text) = 0;
  // ActivityState has changed: the commands follow it (the search command reads "&Stop" while a
  // search runs, and the progress command is visible).
  virtual void UpdateCommands() = 0;
  // A new search has made key and appended it to KeyList: its row is appended to the keyword list and
  // selected, and the result view shows the key.
  virtual void KeyAdded(TOneKey& key) = 0;
  // The selected keyword row shows key with its columns and "Searching..." as its state.
  virtual void SearchStarted(TOneKey& key) = 0;
  // key's row shows "Finished" as its state.
  virtual void SearchEnded(TOneKey& key) = 0;
  // A row of the progress window for one engine of key's search; it lives until the search is stopped.
  virtual std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) = 0;
  virtual void ShowProgressWindow(bool visible) = 0;
  // The main window's progress bar runs to countAll and stands at runTotal; the result number label
  // shows runTotal.
  virtual void RunProgress(int runTotal, int countAll) = 0;
  // The progress bar's maximum becomes its position, so that it shows full.
  virtual void FillProgressBar() = 0;
};

}  // namespace quorvex

#pragma once
#include <memory>
#include <string_view>

namespace quorvex {

class TOneKey;

// One engine's row in the search progress window. Called on the main thread only.
class TSearchProgressRow {
 public:
  virtual ~TSearchProgressRow() = default;
  // The engine's next request is going out.
  virtual void Connected() = 0;
  // A page is merged; reported is the number of records the engine has reported so far.
  virtual void Downloading(int reported) = 0;
  // The engine's part of the search is over; added is the number of results it added. failure is
  // empty when every page was fetched and read; otherwise it says what failed first: "cannot read the
  // definition FILE", or why a page brought nothing: a socket step's message with its cause
  // ("Lookup host error!: no answer for example.com within 5 s", "Conncet_error: HOST:PORT:
  // Connection refused", "Receive error: time-out after 5 s"), "HTTP status 404",
  // "extraction error: ...", "no file NAME".
  virtual void FinishedDown(int added, std::string_view failure) = 0;
};

// What a search tells its viewers, so that the search core needs no window: the window follows it with
// its status bar, keyword list, progress bar and progress window, the command-line tool with lines on
// stderr. Every change a viewer shows arrives as one of these events; none needs polling. Called on
// the main thread only, in this order: ShowActivity, KeyAdded (a new search only), AddProgressRow for
// every engine, SearchStarted; then, as pages come, the rows' events and ResultsMerged; EnginesFinished;
// at the end SearchEnded, ShowActivity. A viewer never starts or stops a search from inside an event:
// it queues that for after the event returns.
class TSearchDisplay {
 public:
  virtual ~TSearchDisplay() = default;
  // What the program is doing, for the status bar: "Searching...:KEYWORD" when a search starts,
  // "Finished" when it has ended.
  virtual void ShowActivity(std::string_view text) = 0;
  // A new search has made key and appended it to KeyList: the keyword list gains its row, selected,
  // and the result view shows the key.
  virtual void KeyAdded(TOneKey& key) = 0;
  // key is being searched: its row shows its columns with "Searching..." as its state, and the
  // progress window opens.
  virtual void SearchStarted(TOneKey& key) = 0;
  // A row for one engine of key's search; it lives until the search ends.
  virtual std::unique_ptr<TSearchProgressRow> AddProgressRow(std::string_view engineName, const TOneKey& key) = 0;
  // A page of key's search is merged: key's results and result count may have changed. runTotal
  // results are added so far in this search, whose limit is countAll.
  virtual void ResultsMerged(TOneKey& key, int runTotal, int countAll) = 0;
  // Every engine of the search has reported its end: the viewer ends the search (TSearchRun::StopSearch)
  // as soon as this event has returned; the 200 ms timer tick would end it otherwise.
  virtual void EnginesFinished() = 0;
  // key's search is over: its row shows "Finished" as its state, the progress window closes and the
  // progress bar shows full.
  virtual void SearchEnded(TOneKey& key) = 0;
};

}  // namespace quorvex

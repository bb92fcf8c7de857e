#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Where a verification or download run stands, as its progress window shows it.
struct TVerifyProgress {
  int done = 0;            // results finished: the "Downloaded:" count and the bar's position
  int total = 0;           // results of the keyword: the "Total:" count
  int barMaximum = 0;      // the bar runs from 0 to here
  std::string percentage;  // "%5.2f%%" of done/total with two results or more, else "0%"
};

// The counts, bar, percentage and per-worker detail rows of a run, computed from done and total.
TVerifyProgress VerifyProgressOf(int done, int total);

// What a verification or download run shows, so that the run needs no window: the window implements it
// with its download progress window, the command-line tool with lines on stderr. Every call comes on
// the main thread; none comes after the run was stopped.
class TVerifyDisplay {
 public:
  virtual ~TVerifyDisplay() = default;
  // A run starts with this many workers: the detail rows are emptied, one row per worker is made
  // (rows are numbered from 0 by the worker's slot) and the progress window is shown.
  virtual void RunStarted(int workers) = 0;
  // A worker is taking its next result: the counts, the bar and the percentage follow.
  virtual void Progress(const TVerifyProgress& progress) = 0;
  // A worker is about to fetch url for the result at resultIndex (counting from 0), with left
  // references still queued behind it: its row shows url, "NO" resultIndex and "Left" left.
  virtual void WorkerRow(int slot, std::string_view url, int resultIndex, int left) = 0;
  // A result has its page state (1 downloaded, 2 verified, 3 failed); the result list may repaint it.
  virtual void ResultChecked(int resultIndex, int pageState) = 0;
  // The page of the result at resultIndex answered but could not be kept on disk; reason says why, in
  // words. Comes just before its ResultChecked. A display without room for it may leave it out.
  virtual void PageNotSaved(int /*resultIndex*/, std::string_view /*reason*/) {}
};

}  // namespace quorvex

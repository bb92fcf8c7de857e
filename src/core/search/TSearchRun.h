#pragma once
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/engines/page_markers.h"
#include "core/engines/search_limits.h"
#include "core/search/engine_outcome.h"

namespace quorvex {

struct AppState;
class MainThreadDispatcher;
class TDownload;
class TOneKey;
class TSearchDisplay;
class TSearchProgressRow;

// What the main window hands to a new search.
struct TSearchRequest {
  std::string Keyword;   // as typed
  int MatchMode = 0;     // index into MatchModeNames
  int Category = 0;      // index of the engine category
  std::string Classify;  // text of the selected keyword tree node; empty when none is selected
  // "name=definition file" of every checked engine of the category (EngineIndex::SearchEntries).
  std::vector<std::string> Engines;
};

// Starts, runs and ends the searches of the program: one TDownload controller per engine, started one
// per turn of the main loop, merging into the keyword record that CurrentSearch names. Owns the
// controllers of the running search and the state they share (the query words, the update start, the
// run total and the running-engine count); CurrentSearch and UpdateMode live in app. ActivityState is
// the program's: the run only reads it, and tells its start and end through SearchStarted and
// SearchEnded. Main thread only; nothing here waits for the network.
class TSearchRun {
 public:
  TSearchRun(MainThreadDispatcher& dispatcher, TSearchDisplay& display, AppState& app);
  // Stops a search that still runs. The display must outlive the run, the dispatcher every stop.
  ~TSearchRun();
  TSearchRun(const TSearchRun&) = delete;
  TSearchRun& operator=(const TSearchRun&) = delete;

  SearchLimits Limits;                 // CountPerEngine and CountAll
  std::filesystem::path EngineFolder;  // where the definitions are read; EngineDir() by default

  // A new search for request.Keyword: a new keyword record is appended to KeyList and searched by the
  // request's engines. Only while Idle with no search running; otherwise nothing happens and the
  // result is null.
  TOneKey* StartSearch(const TSearchRequest& request);
  // Searches key again with these engines: results found before the update are refreshed when an
  // engine finds them again, and CountPerEngine becomes the key's per-engine limit. Only while Idle
  // with no search running; false otherwise.
  bool StartUpdateSearch(TOneKey& key, const std::vector<std::string>& engines);
  // Stops and frees every controller of the current search and returns at once: a worker still inside
  // a lookup or a request winds down on its own thread; the display is told SearchEnded when a search
  // ran. Never called
  // inside a worker's event (the display's EnginesFinished asks for it right after that event).
  void StopSearch();
  // The main window's 200 ms timer, a safety net: the search ends if no engine is running any more.
  void TimerTick();

  bool Searching() const;

  // For the controllers.
  MainThreadDispatcher& Dispatcher() const { return dispatcher_; }
  // The engine folder's markers, read once at the start of each search.
  std::shared_ptr<const PageMarkers> Markers() const { return markers_; }
  TSearchDisplay& Display() const { return display_; }
  // The keyword's words as kept (GB18030), and in UTF-8 for the engines whose texts are kept so.
  const std::vector<std::string>& QueryWords(bool utf8) const { return utf8 ? utf8QueryWords_ : queryWords_; }
  bool UpdateMode() const;
  double UpdateStart() const { return updateStart_; }
  int RunTotal() const { return runTotal_; }
  int RunningEngines() const { return runningEngines_; }
  void ResultAdded() { ++runTotal_; }
  void EngineStarted() { ++runningEngines_; }
  // Keeps how the engine ended (the engine folder's health file gets it when the search ends), and tells
  // the display when this was the last running engine.
  void EngineFinished(TEngineOutcome outcome);

  // The engines of the last search that gave nothing and why (GaveNothingSummary); empty when every one
  // gave results. Kept after the search has ended, until the next one starts.
  std::string GaveNothing() const { return GaveNothingSummary(outcomes_, engineCount_); }
  // How each engine of the last search ended, in the order they finished.
  const std::vector<TEngineOutcome>& Outcomes() const { return outcomes_; }

 private:
  // Status bar and query words of a starting search.
  void Announce(const std::string& keyword);
  void Begin(TOneKey& key, const std::vector<std::string>& engines);
  // Starts the next engine's controller and leaves the one after it to a later turn of the main loop:
  // each start reads a definition and starts a thread, and twenty at once would hold the window still.
  // A start asked for by an earlier search (generation) does nothing.
  void StartNextEngine(unsigned generation);
  bool AllEnginesStarted() const { return nextEngine_ >= engines_.size(); }

  MainThreadDispatcher& dispatcher_;
  TSearchDisplay& display_;
  AppState& app_;
  std::vector<std::string> queryWords_;
  std::vector<std::string> utf8QueryWords_;
  double updateStart_ = 0;
  int runTotal_ = 0;
  int runningEngines_ = 0;
  std::vector<TEngineOutcome> outcomes_;  // of the engines of the last search that have finished
  std::vector<TEngineOutcome> unrecorded_;  // with their telling pages, for the health file at the search's end
  size_t engineCount_ = 0;
  std::vector<std::unique_ptr<TDownload>> controllers_;  // of the running search
  std::vector<std::string> engines_;                     // its engines, started in turn
  std::vector<std::unique_ptr<TSearchProgressRow>> waitingRows_;  // theirs, until their controllers take them
  std::shared_ptr<const PageMarkers> markers_;
  size_t nextEngine_ = 0;
  unsigned generation_ = 0;                              // one more at every start and stop
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for starts still queued after the run
};

}  // namespace quorvex

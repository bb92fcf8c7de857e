#include "core/search/TSearchRun.h"

#include <memory>

#include "core/app/AppState.h"
#include "core/app/ProgramDirs.h"
#include "core/common/datetime.h"
#include "core/search/TDownload.h"
#include "core/search/result_merge.h"
#include "core/search/search_display.h"
#include "core/store/TOneKey.h"

namespace quorvex {

TSearchRun::TSearchRun(MainThreadDispatcher& dispatcher, TSearchDisplay& display, AppState& app)
    : EngineFolder(EngineDir()), dispatcher_(dispatcher), display_(display), app_(app) {}

TSearchRun::~TSearchRun() {
  if (Searching()) StopSearch();
}

bool TSearchRun::Searching() const { return app_.CurrentSearch != nullptr; }

bool TSearchRun::UpdateMode() const { return app_.UpdateMode; }

TOneKey* TSearchRun::StartSearch(const TSearchRequest& request) {
  if (Searching() || app_.ActivityState != TActivityState::Idle) return nullptr;
  app_.UpdateMode = false;
  Announce(request.Keyword);
  auto record = std::make_unique<TOneKey>(request.Keyword, NowDateTime(), request.MatchMode, request.Category);
  record->AvoidFileNamesOf(app_.KeyList);
  record->PerEngineLimit = Limits.CountPerEngine;
  record->Loaded = true;
  record->Classify = request.Classify;
  TOneKey& key = app_.AddKey(std::move(record));
  display_.KeyAdded(key);
  Begin(key, request.Engines);
  return &key;
}

bool TSearchRun::StartUpdateSearch(TOneKey& key, const std::vector<std::string>& engines) {
  if (Searching() || app_.ActivityState != TActivityState::Idle) return false;
  key.EnsureLoaded(SearchResultDir());
  app_.UpdateMode = true;
  // The key's own keyword, not whatever the keyword box holds: the refreshed results are scored by it.
  Announce(key.Keyword);
  Limits.CountPerEngine = key.PerEngineLimit;
  updateStart_ = NowDateTime();
  Begin(key, engines);
  return true;
}

void TSearchRun::Announce(const std::string& keyword) {
  display_.SetStatus(0, std::string(StateNames[0]) + ":" + keyword);
  queryWords_ = QueryWordsOf(keyword);
  app_.ActivityState = TActivityState::Searching;
  display_.UpdateCommands();
}

void TSearchRun::Begin(TOneKey& key, const std::vector<std::string>& engines) {
  app_.CurrentSearch = &key;
  display_.SearchStarted(key);
  runTotal_ = 0;
  runningEngines_ = 0;
  for (const std::string& engine : engines) {
    auto controller = std::make_unique<TDownload>(*this, engine, key);
    key.Searches.Add(controller.get());
    (void)controller.release();  // the key owns its controllers until StopSearches frees them
  }
  display_.ShowProgressWindow(true);
}

void TSearchRun::StopSearch() {
  if (TOneKey* key = app_.CurrentSearch) {
    StopSearches(*key);
    display_.SearchEnded(*key);
    app_.CurrentSearch = nullptr;
    app_.UpdateMode = false;
  }
  app_.ActivityState = TActivityState::Idle;
  display_.UpdateCommands();
  display_.SetStatus(0, StateNames[3]);
  display_.ShowProgressWindow(false);
  display_.FillProgressBar();
}

void TSearchRun::TimerTick() {
  if (runningEngines_ <= 0 && Searching()) StopSearch();
}

}  // namespace quorvex

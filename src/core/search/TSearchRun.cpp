#include "core/search/TSearchRun.h"

#include <memory>
#include <utility>

#include "core/app/AppState.h"
#include "core/common/dispatcher.h"
#include "core/common/utf8.h"
#include "core/config/ProgramDirs.h"
#include "core/common/datetime.h"
#include "core/common/file_io.h"
#include "core/search/TDownload.h"
#include "core/search/engine_health.h"
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
  display_.ShowActivity(std::string(StateNames[0]) + ":" + keyword);
  queryWords_ = QueryWordsOf(keyword);
  utf8QueryWords_ = QueryWordsOf(Utf8Keyword(keyword));
}

void TSearchRun::Begin(TOneKey& key, const std::vector<std::string>& engines) {
  app_.CurrentSearch = &key;
  // Every row at once, before the progress window opens: a row is only data, and the window then opens
  // at its full height instead of growing (and being drawn again) at every engine's start.
  waitingRows_.clear();
  for (const std::string& engine : engines) waitingRows_.push_back(display_.AddProgressRow(EngineNameOf(engine), key));
  display_.SearchStarted(key);
  runTotal_ = 0;
  runningEngines_ = 0;
  outcomes_.clear();
  engineCount_ = engines.size();
  engines_ = engines;
  nextEngine_ = 0;
  const std::optional<std::string> markerText = ReadWholeFile(EngineFolder / PageMarkers::kFileName);
  markers_ = std::make_shared<const PageMarkers>(ParseMarkers(markerText.value_or("")));
  StartNextEngine(++generation_);
}

void TSearchRun::StartNextEngine(unsigned generation) {
  if (generation != generation_ || !Searching() || AllEnginesStarted()) return;
  controllers_.push_back(std::make_unique<TDownload>(*this, engines_[nextEngine_], *app_.CurrentSearch,
                                                    std::move(waitingRows_[nextEngine_])));
  ++nextEngine_;
  if (AllEnginesStarted()) return;
  dispatcher_.Later([this, generation, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired()) StartNextEngine(generation);
  });
}

void TSearchRun::StopSearch() {
  ++generation_;  // engines not started yet stay so
  engines_.clear();
  waitingRows_.clear();
  nextEngine_ = 0;
  // Every worker is told first, so that they all wind down at once; freeing them waits for none.
  for (const std::unique_ptr<TDownload>& controller : controllers_) controller->Stop();
  controllers_.clear();
  // One write for the whole search: each write waits for the disk, and the window waits with it. A health
  // file that cannot be written costs the user only the health view, never the search.
  const std::string healthProblem = RecordEngineHealth(EngineFolder, unrecorded_, NowDateTime());
  unrecorded_.clear();
  if (TOneKey* key = app_.CurrentSearch) {
    app_.CurrentSearch = nullptr;
    app_.UpdateMode = false;
    display_.SearchEnded(*key);
  }
  display_.ShowActivity(StateNames[3]);
  if (!healthProblem.empty()) display_.ShowActivity(healthProblem);
}

void TSearchRun::EngineFinished(TEngineOutcome outcome) {
  outcomes_.push_back(outcome);
  outcomes_.back().keptPage.clear();
  unrecorded_.push_back(std::move(outcome));
  if (--runningEngines_ == 0 && Searching()) display_.EnginesFinished();
}

void TSearchRun::TimerTick() {
  if (runningEngines_ <= 0 && Searching() && AllEnginesStarted()) StopSearch();
}

}  // namespace quorvex

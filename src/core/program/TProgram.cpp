#include "core/program/TProgram.h"

#include <chrono>
#include <system_error>
#include <utility>

#include "core/app/guarded_steps.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/common/unsaved_files.h"
#include "core/config/ProgramDirs.h"
#include "core/pages/TVerify.h"
#include "core/store/TOneKey.h"
#include "core/store/key_list.h"

namespace quorvex {
namespace {

// How long the closing program waits at most for stopped verification workers to leave. A stopped
// worker leaves within its current step, so the wait ends as soon as the last one is gone; the bound
// is generous because a worker still running when the records go would touch freed memory.
constexpr std::chrono::milliseconds kVerifyWindDown{10000};

}  // namespace

TProgramFiles TProgramFiles::Default() {
  return {EngineDir(), std::filesystem::path(ProgramDir()) / kKeyTreeFileName, kAllKeyFileName, SearchResultDir(),
          LocalFileDir()};
}

TProgram::TProgram(MainThreadDispatcher& dispatcher, AppState& app, TProgramDisplay& display, TProgramFiles files,
                   std::function<std::vector<TKeyTreeNode>()> currentTree)
    : dispatcher_(dispatcher),
      app_(app),
      display_(display),
      files_(std::move(files)),
      saver_({&app.KeyList, files_.allKeyFile, files_.resultDir, [this] { return CategoryNames(); },
              [this, tree = std::move(currentTree)] { return !tree || SaveKeyTree(files_.keyTreeFile, tree()); }}),
      run_(dispatcher, *this, app) {
  run_.EngineFolder = files_.engineFolder;
}

TProgram::~TProgram() {
  if (run_.Searching()) run_.StopSearch();
  if (app_.CurrentVerify) {
    StopVerifiers(*app_.CurrentVerify);
    app_.CurrentVerify = nullptr;
  }
  WaitForVerifyWorkers(kVerifyWindDown);
}

bool TProgram::LoadEngineIndex() {
  index_ = EngineIndex();
  const bool read = index_.Load(files_.engineFolder / EngineIndex::kFileName);
  indexAsRead_ = index_.Lines();
  return read;
}

TProgram::TreeLoad TProgram::LoadKeyTree() {
  const std::optional<TKeyTreeLoad> load = quorvex::LoadKeyTree(files_.keyTreeFile);
  TreeLoad tree{load ? load->Nodes : DefaultKeyTree(), {}};
  if (load && load->Error) {
    tree.problem = *load->Error;
  } else if (!load && MayExist(files_.keyTreeFile)) {
    tree.problem = files_.keyTreeFile.string() + " could not be read; it is left as it is and the default classes are shown.";
  }
  // The classes not read would be lost if the tree were written back.
  if (!tree.problem.empty()) saver_.KeepTreeFile();
  return tree;
}

std::string TProgram::LoadKeywords() {
  if (LoadKeyList(app_, files_.allKeyFile, CategoryNames()) || !MayExist(files_.allKeyFile)) return {};
  // Written now, the list would hold only this run's keywords.
  saver_.KeepKeyListFile();
  return std::filesystem::absolute(files_.allKeyFile).string() +
         " could not be read; it is left as it is, so the keywords searched now are not listed in it.";
}

std::optional<std::string> TProgram::CategoryName(int category) const {
  const std::vector<std::string> names = CategoryNames();
  if (category < 0 || static_cast<size_t>(category) >= names.size()) return std::nullopt;
  return names[static_cast<size_t>(category)];
}

std::vector<std::string> TProgram::EnginesOf(int category) const {
  const std::optional<std::string> name = CategoryName(category);
  return name ? index_.SearchEntries(*name) : std::vector<std::string>{};
}

TOneKey* TProgram::StartSearch(TSearchRequest request, SearchLimits limits) {
  if (app_.CurrentSearch || app_.ActivityState != TActivityState::Idle) return nullptr;
  request.Engines = EnginesOf(request.Category);
  run_.Limits = limits;
  return run_.StartSearch(request);
}

std::string TProgram::ResultsProblem(TOneKey& key) const {
  key.EnsureLoaded(files_.resultDir);
  if (!key.ResultsUnreadable) return {};
  return key.ResultFile(files_.resultDir).string() +
         " could not be read; it is left as it is, and the keyword's results cannot be searched again, verified "
         "or downloaded until it can be read.";
}

bool TProgram::StartUpdateSearch(TOneKey& key, int category, SearchLimits limits) {
  if (app_.CurrentSearch || app_.ActivityState != TActivityState::Idle || !ResultsProblem(key).empty()) return false;
  run_.Limits = limits;
  return run_.StartUpdateSearch(key, EnginesOf(category));
}

bool TProgram::StartVerify(TOneKey& key, int mode, TVerifyDisplay& rows) {
  if (app_.ActivityState != TActivityState::Idle || !ResultsProblem(key).empty()) return false;
  app_.ActivityState = TActivityState::Verifying;
  app_.CurrentVerify = &key;
  display_.VerifyStarted(key);
  display_.ActivityStateChanged();
  quorvex::StartVerify(key, mode, dispatcher_, rows, files_.localFileDir);
  return true;
}

void TProgram::StopVerify() {
  TOneKey* key = app_.CurrentVerify;
  if (!key) return;
  saver_.ResultsChanged(*key);
  StopVerifiers(*key);
  app_.CurrentVerify = nullptr;
  app_.ActivityState = TActivityState::Idle;
  display_.VerifyEnded(*key);
  display_.ActivityStateChanged();
}

void TProgram::Stop() {
  if (app_.ActivityState == TActivityState::Verifying) {
    StopVerify();
  } else {
    run_.StopSearch();
  }
}

TKeyDeleteVerdict TProgram::DeleteKeys(const std::vector<TOneKey*>& selected) {
  const TKeyDeleteVerdict verdict = KeyDeleteVerdict(selected, app_);
  if (verdict != TKeyDeleteVerdict::Allowed) return verdict;
  RemoveKeys(app_, selected);
  for (const TOneKey* key : selected) saver_.KeyDeleted(*key);
  return verdict;
}

void TProgram::FileKey(TOneKey& key, const std::string& classify) {
  key.Classify = classify;
  saver_.KeyListChanged();
}

bool TProgram::DeleteResult(TOneKey& key, const TOneResult* result) {
  // A verification run takes its key's results by position; a delete would make it pass one over.
  if (app_.CurrentVerify == &key || !key.DeleteResult(result)) return false;
  saver_.KeyChanged(key);  // the count in its line changed too
  display_.ResultsEdited(key);
  return true;
}

void TProgram::MarkVisited(TOneKey& key, TOneResult& result) {
  if (result.Visited != 0) return;
  result.Visited = 1;
  key.Modified = true;
  saver_.ResultsChanged(key);
  display_.ResultsEdited(key);
}

void TProgram::KeepListCursor(TOneKey& key, int selected, int top) {
  if (key.Extra1 == selected && key.Extra2 == top) return;
  key.Extra1 = selected;
  key.Extra2 = top;
  saver_.KeyListChanged();
}

void TProgram::TreeEdited() { saver_.TreeChanged(); }

std::string TProgram::Tick(SaveScheduler::Clock::time_point now) {
  run_.TimerTick();
  if (app_.CurrentVerify && app_.CurrentVerify->RunningVerifiers == 0) StopVerify();
  // Page states of a long run are kept as they come, not only at its end; they are not in AllKey.txt.
  if (app_.CurrentVerify && app_.CurrentVerify->Modified) saver_.ResultsChanged(*app_.CurrentVerify);
  UnsavedFiles unsaved;
  saver_.Tick(now, &unsaved);
  if (!saver_.HasPending()) saveFailureTold_ = false;
  if (unsaved.Empty() || saveFailureTold_) return {};
  saveFailureTold_ = true;
  return unsaved.Message();
}

UnsavedFiles TProgram::ShutDown(const std::function<void(UnsavedFiles&)>& saveMore) {
  UnsavedFiles unsaved;
  if (shutDown_) return unsaved;
  shutDown_ = true;
  // A file that cannot be written (a full disk, a read-only folder) keeps its old contents and does not
  // stop the others.
  RunGuardedSteps({
      [this, &unsaved, &saveMore] {
        saver_.SaveAll(SaveScheduler::Clock::now(), &unsaved);  // KeyTree.txt, then AllKey.txt
        if (saveMore) saveMore(unsaved);
        return true;
      },
      [this] {
        if (app_.ActivityState == TActivityState::Searching) run_.StopSearch();
        return true;
      },
      [this] {
        StopVerify();
        // Stopped workers end after their current request; the dispatcher must outlive them.
        WaitForVerifyWorkers(kVerifyWindDown);
        return true;
      },
      [this, &unsaved] {
        const std::filesystem::path file = files_.engineFolder / EngineIndex::kFileName;
        if (index_.Lines() != indexAsRead_) unsaved.Note(index_.Save(file), file);
        return true;
      },
  });
  return unsaved;
}

void TProgram::KeyAdded(TOneKey& key) {
  display_.KeyAdded(key);
  saver_.KeyListChanged();  // listed even if the search never ends
}

void TProgram::SearchStarted(TOneKey& key) {
  app_.ActivityState = TActivityState::Searching;
  display_.ActivityStateChanged();
  display_.SearchStarted(key);
}

void TProgram::EnginesFinished() {
  display_.EnginesFinished();
  // Not inside the event: the worker that raised it must have left before its search is freed.
  dispatcher_.Later([this, alive = std::weak_ptr<bool>(alive_)] {
    if (!alive.expired()) run_.TimerTick();
  });
}

void TProgram::SearchEnded(TOneKey& key) {
  display_.SearchEnded(key);
  saver_.KeyChanged(key);  // after the viewer shows it finished, as its line in AllKey.txt will
  app_.ActivityState = TActivityState::Idle;
  display_.ActivityStateChanged();
}

}  // namespace quorvex

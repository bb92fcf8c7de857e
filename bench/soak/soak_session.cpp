#include "soak_session.h"

#include <algorithm>
#include <type_traits>

#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/pages/TVerify.h"
#include "core/store/TOneKey.h"
#include "core/app/key_delete.h"
#include "core/store/key_list.h"
#include "watchdog.h"

namespace quorvex::soak {
namespace {

constexpr std::chrono::milliseconds kTimerInterval{200};
// Well above every time-out of the soak's option.txt: a stopped worker that takes longer is stuck.
constexpr std::chrono::seconds kWorkerWindDown{60};

std::filesystem::path IndexFile() { return std::filesystem::path(EngineDir()) / EngineIndex::kFileName; }
std::filesystem::path KeyTreeFile() { return std::filesystem::path(ProgramDir()) / kKeyTreeFileName; }

template <typename T>
std::string FirstDifference(const char* what, const std::vector<T>& saved, const std::vector<T>& read) {
  if (saved.size() != read.size()) {
    return std::string(what) + ": " + std::to_string(saved.size()) + " saved, " + std::to_string(read.size()) + " read";
  }
  const auto [s, r] = std::mismatch(saved.begin(), saved.end(), read.begin());
  if (s == saved.end()) return {};
  if constexpr (std::is_same_v<T, std::string>) return std::string(what) + ": saved \"" + *s + "\", read \"" + *r + "\"";
  return std::string(what) + ": entry " + std::to_string(s - saved.begin()) + " differs";
}

}  // namespace

std::string Difference(const KeptFiles& saved, const KeptFiles& read) {
  for (const std::string& difference :
       {FirstDifference("option.txt", saved.options, read.options),
        FirstDifference("Index.txt", saved.indexLines, read.indexLines),
        FirstDifference("KeyTree.txt", saved.tree, read.tree),
        FirstDifference("AllKey.txt", saved.keyLines, read.keyLines)}) {
    if (!difference.empty()) return difference;
  }
  for (size_t key = 0; key < saved.resultLines.size() && key < read.resultLines.size(); ++key) {
    std::string difference = FirstDifference("result file", saved.resultLines[key], read.resultLines[key]);
    if (!difference.empty()) return difference + " of " + saved.keyLines[key];
  }
  return {};
}

// A progress row: its events show the search moves, and none may come once the search has ended.
class Session::Row : public TSearchProgressRow {
 public:
  explicit Row(Session& session) : session_(session) {}
  void Connected() override { Moved(); }
  void Downloading(int) override { Moved(); }
  void FinishedDown(int, std::string_view) override { Moved(); }

 private:
  void Moved() {
    if (session_.app_.CurrentSearch == nullptr) Fail("an engine's event came after its search ended");
    session_.watchdog_.Progress("searching");
  }
  Session& session_;
};

Session::Session(Watchdog& watchdog)
    : watchdog_(watchdog),
      saver_({&app_.KeyList, kAllKeyFileName, SearchResultDir(), [this] { return categories_; },
              [this] { return SaveKeyTree(KeyTreeFile(), tree_); }}),
      run_(dispatcher_, *this, app_),
      nextTick_(std::chrono::steady_clock::now() + kTimerInterval) {
  CreateDataFolders();
  RemoveStaleSaves();
  LoadOptions();
  if (!index_.Load(IndexFile())) Fail("cannot read " + IndexFile().string());
  categories_ = index_.CategoryNames();
  const std::optional<TKeyTreeLoad> tree = LoadKeyTree(KeyTreeFile());
  tree_ = tree ? tree->Nodes : DefaultKeyTree();
  LoadKeyList(app_, kAllKeyFileName, categories_);
  for (TOneKey* key : app_.KeyList) key->LoadResults(SearchResultDir());
  // Every engine fetches up to its last page.
  run_.Limits = {1000, 1000000};
}

Session::~Session() {
  // Nothing of this run may outlive it: its dispatcher and records go with it.
  if (run_.Searching()) run_.StopSearch();
  if (app_.CurrentVerify) StopVerify();
  if (!WaitForVerifyWorkers(kWorkerWindDown)) Fail("stopped verification workers still run after 60 s");
}

KeptFiles Session::Contents() const {
  KeptFiles files{Options().Lines(), index_.Lines(), tree_, {}, {}};
  for (const TOneKey* key : app_.KeyList) {
    files.keyLines.push_back(key->ToLine(categories_));
    std::vector<std::string>& lines = files.resultLines.emplace_back();
    for (size_t i = 0; i < key->Results.Count(); ++i) {
      if (!key->Results[i].Url.empty()) lines.push_back(key->Results[i].ToLine());
    }
  }
  return files;
}

bool Session::StartSearch(const std::string& keyword) {
  TSearchRequest request;
  request.Keyword = keyword;
  request.Engines = index_.SearchEntries(categories_.front());
  return run_.StartSearch(request) != nullptr;
}

bool Session::StartUpdateSearch(std::mt19937& random) {
  if (app_.KeyList.empty()) return false;
  TOneKey& key = *app_.KeyList[random() % app_.KeyList.size()];
  return run_.StartUpdateSearch(key, index_.SearchEntries(categories_.front()));
}

bool Session::StartVerify(std::mt19937& random) {
  if (app_.ActivityState != TActivityState::Idle || app_.KeyList.empty()) return false;
  // Mostly the kept keyword with its dead hosts; now and then a searched one, in either mode.
  TOneKey* key = app_.KeyList.front();
  if (random() % 4 == 0) key = app_.KeyList[random() % app_.KeyList.size()];
  app_.ActivityState = TActivityState::Verifying;
  app_.CurrentVerify = key;
  quorvex::StartVerify(*key, random() % 5 == 0 ? kDownloadMode : kVerifyMode, dispatcher_, *this, LocalFileDir());
  return true;
}

bool Session::DeleteOldKeyword(size_t maxKeys) {
  if (app_.ActivityState != TActivityState::Idle || app_.KeyList.size() <= maxKeys) return false;
  const auto oldest = std::find_if(app_.KeyList.begin(), app_.KeyList.end(),
                                   [](const TOneKey* key) { return key->Keyword != kVerifyKeyword; });
  const std::vector<TOneKey*> selected{*oldest};
  if (KeyDeleteVerdict(selected, app_) != TKeyDeleteVerdict::Allowed) Fail("an idle program refused a deletion");
  RemoveKeys(app_, selected);
  saver_.KeyDeleted(*selected.front());
  return true;
}

void Session::StopSearch() {
  if (run_.Searching()) run_.StopSearch();
}

void Session::StopVerify() {
  TOneKey* key = app_.CurrentVerify;
  if (key == nullptr) return;
  saver_.KeyChanged(*key);
  StopVerifiers(*key);
  app_.CurrentVerify = nullptr;
  app_.ActivityState = TActivityState::Idle;
}

void Session::Run(std::chrono::milliseconds duration) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + duration;
  for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
    if (app_.ActivityState == TActivityState::Idle) watchdog_.Progress("idle");
    if (endRequested_) {
      endRequested_ = false;
      StopSearch();
    }
    if (now >= nextTick_) {
      nextTick_ = now + kTimerInterval;
      Tick();
      continue;
    }
    dispatcher_.WaitAndRunPending(std::chrono::ceil<std::chrono::milliseconds>(std::min(nextTick_, end) - now));
  }
}

void Session::Tick() {
  run_.TimerTick();
  if (app_.CurrentVerify && app_.CurrentVerify->RunningVerifiers == 0) StopVerify();
  saver_.Tick(SaveScheduler::Clock::now());
}

KeptFiles Session::Close() {
  watchdog_.Progress("closing");
  if (!saver_.SaveAll(SaveScheduler::Clock::now())) Fail("the shut-down could not save the keyword files");
  StopSearch();
  StopVerify();
  if (!WaitForVerifyWorkers(kWorkerWindDown)) Fail("stopped verification workers still run after 60 s");
  if (!index_.Save(IndexFile())) Fail("the shut-down could not save " + IndexFile().string());
  return Contents();
}

void Session::KeyAdded(TOneKey&) { saver_.KeyListChanged(); }

void Session::SearchStarted(TOneKey&) { watchdog_.Progress("searching"); }

std::unique_ptr<TSearchProgressRow> Session::AddProgressRow(std::string_view, const TOneKey&) {
  return std::make_unique<Row>(*this);
}

void Session::ResultsMerged(TOneKey& key, int, int) {
  if (&key != app_.CurrentSearch) Fail("results merged into a keyword that is not being searched");
  watchdog_.Progress("searching");
}

void Session::EnginesFinished() { endRequested_ = true; }

void Session::SearchEnded(TOneKey& key) { saver_.KeyChanged(key); }

void Session::RunStarted(int) { VerifyEvent("verifying"); }
void Session::Progress(const TVerifyProgress&) { VerifyEvent("verifying"); }
void Session::WorkerRow(int, std::string_view, int, int) { VerifyEvent("verifying"); }
void Session::ResultChecked(int, int) { VerifyEvent("verifying"); }

void Session::VerifyEvent(const char* what) {
  if (app_.CurrentVerify == nullptr) Fail("a verification event came after the run was stopped");
  watchdog_.Progress(what);
}

}  // namespace quorvex::soak

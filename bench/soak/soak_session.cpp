#include "soak_session.h"

#include <algorithm>
#include <type_traits>

#include "core/common/unsaved_files.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/pages/TVerify.h"
#include "core/store/TOneKey.h"
#include "watchdog.h"

namespace quorvex::soak {
namespace {

constexpr std::chrono::milliseconds kTimerInterval{200};
// Well above every time-out of the soak's option.txt: a stopped worker that takes longer is stuck.
constexpr std::chrono::seconds kWorkerWindDown{60};

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
      program_(dispatcher_, app_, *this, TProgramFiles::Default(), [this] { return tree_; }),
      nextTick_(std::chrono::steady_clock::now() + kTimerInterval) {
  CreateDataFolders();
  RemoveStaleSaves();
  LoadOptions();
  if (!program_.LoadEngineIndex()) Fail("cannot read the engine index of " + program_.Files().engineFolder.string());
  const TProgram::TreeLoad tree = program_.LoadKeyTree();
  if (!tree.problem.empty()) Fail(tree.problem);
  tree_ = tree.nodes;
  if (const std::string problem = program_.LoadKeywords(); !problem.empty()) Fail(problem);
  for (TOneKey* key : app_.KeyList) key->LoadResults(SearchResultDir());
}

Session::~Session() {
  // Nothing of this run may outlive it: its dispatcher and records go with it.
  program_.Stop();
  if (!WaitForVerifyWorkers(kWorkerWindDown)) Fail("stopped verification workers still run after 60 s");
}

KeptFiles Session::Contents() const {
  const std::vector<std::string> categories = program_.CategoryNames();
  KeptFiles files{Options().Lines(), program_.Index().Lines(), tree_, {}, {}};
  for (const TOneKey* key : app_.KeyList) {
    files.keyLines.push_back(key->ToLine(categories));
    std::vector<std::string>& lines = files.resultLines.emplace_back();
    for (size_t i = 0; i < key->Results.Count(); ++i) {
      if (!key->Results[i].Url.empty()) lines.push_back(key->Results[i].ToLine());
    }
  }
  return files;
}

// Every engine fetches up to its last page.
constexpr SearchLimits kNoLimits{1000, 1000000};

bool Session::StartSearch(const std::string& keyword) {
  TSearchRequest request;
  request.Keyword = keyword;
  return program_.StartSearch(request, kNoLimits) != nullptr;
}

bool Session::StartUpdateSearch(std::mt19937& random) {
  if (app_.KeyList.empty()) return false;
  TOneKey& key = *app_.KeyList[random() % app_.KeyList.size()];
  return program_.StartUpdateSearch(key, 0, kNoLimits);
}

bool Session::StartVerify(std::mt19937& random) {
  if (app_.KeyList.empty()) return false;
  // Mostly the kept keyword with its dead hosts; now and then a searched one, in either mode.
  TOneKey* key = app_.KeyList.front();
  if (random() % 4 == 0) key = app_.KeyList[random() % app_.KeyList.size()];
  return program_.StartVerify(*key, random() % 5 == 0 ? kDownloadMode : kVerifyMode, *this);
}

bool Session::DeleteOldKeyword(size_t maxKeys) {
  if (program_.Activity() != TActivityState::Idle || app_.KeyList.size() <= maxKeys) return false;
  const auto oldest = std::find_if(app_.KeyList.begin(), app_.KeyList.end(),
                                   [](const TOneKey* key) { return key->Keyword != kVerifyKeyword; });
  if (program_.DeleteKeys({*oldest}) != TKeyDeleteVerdict::Allowed) Fail("an idle program refused a deletion");
  return true;
}

void Session::StopSearch() {
  if (program_.Activity() == TActivityState::Searching) program_.Stop();
}

void Session::StopVerify() { program_.StopVerify(); }

void Session::Run(std::chrono::milliseconds duration) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point end = Clock::now() + duration;
  for (Clock::time_point now = Clock::now(); now < end; now = Clock::now()) {
    if (program_.Activity() == TActivityState::Idle) watchdog_.Progress("idle");
    if (now >= nextTick_) {
      nextTick_ = now + kTimerInterval;
      Tick();
      continue;
    }
    dispatcher_.WaitAndRunPending(std::chrono::ceil<std::chrono::milliseconds>(std::min(nextTick_, end) - now));
  }
}

void Session::Tick() { program_.Tick(SaveScheduler::Clock::now()); }

KeptFiles Session::Close() {
  watchdog_.Progress("closing");
  const UnsavedFiles unsaved = program_.ShutDown();
  if (!unsaved.Empty()) Fail("the shut-down could not save: " + unsaved.Message());
  if (!WaitForVerifyWorkers(kWorkerWindDown)) Fail("stopped verification workers still run after 60 s");
  return Contents();
}

void Session::SearchStarted(TOneKey&) { watchdog_.Progress("searching"); }

std::unique_ptr<TSearchProgressRow> Session::AddProgressRow(std::string_view, const TOneKey&) {
  return std::make_unique<Row>(*this);
}

void Session::ResultsMerged(TOneKey& key, int, int) {
  if (&key != app_.CurrentSearch) Fail("results merged into a keyword that is not being searched");
  watchdog_.Progress("searching");
}

void Session::RunStarted(int) { VerifyEvent("verifying"); }
void Session::Progress(const TVerifyProgress&) { VerifyEvent("verifying"); }
void Session::WorkerRow(int, std::string_view, int, int) { VerifyEvent("verifying"); }
void Session::ResultChecked(int, int) { VerifyEvent("verifying"); }

void Session::VerifyEvent(const char* what) {
  if (app_.CurrentVerify == nullptr) Fail("a verification event came after the run was stopped");
  watchdog_.Progress(what);
}

}  // namespace quorvex::soak

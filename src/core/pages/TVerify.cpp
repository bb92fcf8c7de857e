#include "core/pages/TVerify.h"

#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "core/common/worker_priority.h"
#include "core/config/Options.h"
#include "core/common/dispatcher.h"
#include "core/pages/host_gate.h"
#include "core/pages/page_folder.h"
#include "core/pages/verify_display.h"
#include "core/store/TOneKey.h"

namespace quorvex {

// What the workers of one run share; it lives until the last of them has ended.
struct TVerifyRun {
  // NOLINTNEXTLINE(bugprone-easily-swappable-parameters): the fields in their order
  TVerifyRun(TOneKey& key, int mode, MainThreadDispatcher& dispatcher, TVerifyDisplay& display,
             std::filesystem::path localFileDir, std::string proxy, int timeOutSeconds)
      : key(key),
        mode(mode),
        dispatcher(dispatcher),
        display(display),
        localFileDir(std::move(localFileDir)),
        proxy(std::move(proxy)),
        timeOutSeconds(timeOutSeconds) {}

  TOneKey& key;
  int mode;
  MainThreadDispatcher& dispatcher;
  TVerifyDisplay& display;
  std::filesystem::path localFileDir;
  std::string proxy;
  int timeOutSeconds;
  THostGate gate{kRequestsPerHost};
};

namespace {

// Worker threads still alive in the process, so that the end of the program can wait for them. Never
// destroyed: a worker that has just counted itself out may still be leaving the notify when the
// program ends.
struct LiveWorkers {
  std::mutex mutex;
  std::condition_variable changed;
  int count = 0;
};

LiveWorkers& Live() {
  static auto* live = new LiveWorkers;  // NOLINT(cppcoreguidelines-owning-memory): deliberately never freed
  return *live;
}

void CountLiveWorker(int change) {
  LiveWorkers& live = Live();
  std::lock_guard lock(live.mutex);
  live.count += change;
  live.changed.notify_all();
}

// The result taken as result at index, if the user has not deleted it since.
bool StillListed(const TOneKey& key, const TOneResult* result, int index) {
  const TResultList& results = key.Results;
  if (static_cast<size_t>(index) < results.Count() && &results[static_cast<size_t>(index)] == result) return true;
  for (size_t i = 0; i < results.Count(); ++i) {
    if (&results[i] == result) return true;
  }
  return false;
}

bool AsksToBackOff(const TSHttp& http) {
  return (http.Status == 429 || http.Status == 503) && !http.GetHeader("Retry-After").empty();
}

}  // namespace

TVerify::TVerify(std::shared_ptr<TVerifyRun> run, int slot) : run_(std::move(run)), slot_(slot), downloader_(http_) {
  http_.Proxy = run_->proxy;
  http_.TimeOutSeconds = run_->timeOutSeconds;
  downloader_.DownloadMode = run_->mode == kDownloadMode;
  downloader_.Fetch = [this](const std::string& url) { return Fetch(url); };
  downloader_.BeforeFetch = [this](const std::string& url, size_t left) { ShowItem(url, left); };
}

TVerify::~TVerify() { run_->key.Verifiers.Remove(this); }

void TVerify::Stop() {
  if (stopped_.exchange(true)) return;
  http_.AbortAll();
  run_->gate.WakeAll();
  run_->dispatcher.WakeWaiters();
}

void TVerify::Execute() {
  while (!stopped_.load() && TakeNext()) {
    try {
      WorkOnResult();
    } catch (const std::exception&) {
      // One result that cannot be worked (out of memory, say) does not end the worker.
    }
  }
}

bool TVerify::OnMainThread(const std::function<void()>& call) {
  return run_->dispatcher.RunOnMainThread(call, stopped_);
}

bool TVerify::TakeNext() {
  bool taken = false;
  OnMainThread([this, &taken] {
    TOneKey& key = run_->key;
    const int count = static_cast<int>(key.Results.Count());
    if (key.VerifyNext < count) {
      resultIndex_ = key.VerifyNext++;
      result_ = &key.Results[static_cast<size_t>(resultIndex_)];
      wasDownloaded_ = result_->PageState == kPageDownloaded;
      // A downloaded page being verified stays marked as downloaded until its answer is known: a stop
      // in between must not lose the mark of a copy that is still on disk.
      if (!(wasDownloaded_ && run_->mode == kVerifyMode)) result_->PageState = kPageNone;
      // Marked at every change, not only at the start: a save during the run clears the mark.
      key.Modified = true;
      pageUrl_ = result_->Url;
      taken = true;
    } else {
      --key.RunningVerifiers;
    }
    run_->display.Progress(VerifyProgressOf(key.VerifyDone, count));
  });
  return taken;
}

void TVerify::WorkOnResult() {
  const bool verifying = run_->mode == kVerifyMode;
  // A verification only asks whether the page answers: it must not write its raw page over a
  // downloaded copy, whose 0.htm points at the frames and images saved beside it.
  const std::filesystem::path existing = FindLocalPageFolder(run_->localFileDir, pageUrl_);
  std::error_code error;
  const bool keepCopy = verifying && std::filesystem::is_regular_file(existing / "0.htm", error) &&
                        (wasDownloaded_ || HoldsDownloadedCopy(existing));
  const std::filesystem::path folder =
      keepCopy ? existing : CreateLocalPageFolder(run_->localFileDir, pageUrl_);
  downloader_.SaveFiles = !keepCopy;
  const TPageDownloader::TOutcome outcome = downloader_.Run(pageUrl_, folder, stopped_);
  if (stopped_.load()) return;
  // A download that could not be kept whole (a full disk) is no download.
  const bool kept = outcome.notSaved.empty();
  std::uint8_t state = kPageFailed;
  if (!verifying) {
    if (outcome.pageAnswered && kept) state = kPageDownloaded;
  } else if (outcome.lastAnswered) {
    state = keepCopy ? kPageDownloaded : kPageVerified;
  }
  OnMainThread([this, state, kept, &folder, &outcome] {
    TOneKey& key = run_->key;
    ++key.VerifyDone;
    if (!StillListed(key, result_, resultIndex_)) return;
    result_->PageState = state;
    key.Modified = true;
    if (state != kPageFailed && kept && !folder.empty()) result_->LocalFile = (folder / "0.htm").string();
    if (!kept && outcome.pageAnswered) run_->display.PageNotSaved(resultIndex_, outcome.notSaved);
    run_->display.ResultChecked(resultIndex_, state);
  });
}

void TVerify::ShowItem(const std::string& url, size_t left) {
  OnMainThread([this, &url, left] { run_->display.WorkerRow(slot_, url, resultIndex_, static_cast<int>(left)); });
}

int TVerify::Fetch(const std::string& url) {
  const std::string host = THostGate::HostOf(url);
  if (run_->gate.Enter(host, stopped_) != THostGate::TEntry::Granted) return TSHttp::kStatusFailed;
  http_.Request(url, TSHttp::kGet);
  run_->gate.Leave(host);
  if (AsksToBackOff(http_)) run_->gate.Block(host);
  return http_.Status;
}

void StartVerify(TOneKey& key, int mode, MainThreadDispatcher& dispatcher, TVerifyDisplay& display,
                 const std::filesystem::path& localFileDir) {
  const char* timeOutName = mode == kDownloadMode ? "DownloadTimeOut" : "VerifyTimeOut";
  auto run = std::make_shared<TVerifyRun>(key, mode, dispatcher, display, localFileDir, Options().ProxyAddress(),
                                          Options().TimeOutSeconds(timeOutName));
  key.Modified = true;
  key.VerifyNext = 0;
  key.VerifyDone = 0;
  display.RunStarted(kVerifyWorkers);
  for (int slot = 0; slot < kVerifyWorkers; ++slot) {
    auto* worker = new TVerify(run, slot);
    key.Verifiers.Add(worker);
    ++key.RunningVerifiers;
    CountLiveWorker(+1);
    std::thread([worker] {
      LowerWorkerPriority();
      worker->Execute();
      delete worker;
      CountLiveWorker(-1);
    }).detach();
  }
}

void StopVerifiers(TOneKey& key) {
  key.Verifiers.ForEach([](TVerify* worker) { worker->Stop(); });
  key.Verifiers.TakeAll();
  key.RunningVerifiers = 0;
}

bool WaitForVerifyWorkers(std::chrono::milliseconds timeOut) {
  LiveWorkers& live = Live();
  std::unique_lock lock(live.mutex);
  return live.changed.wait_for(lock, timeOut, [&live] { return live.count == 0; });
}

}  // namespace quorvex

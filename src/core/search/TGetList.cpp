#include "core/search/TGetList.h"

#include <atomic>
#include <condition_variable>
#include <exception>
#include <limits>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "core/common/ascii.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/common/utf8.h"
#include "core/common/worker_priority.h"
#include "core/engines/TEngineDefinition.h"
#include "core/engines/page_markers.h"
#include "core/net/THtmlParser.h"
#include "core/net/TSHttp.h"

namespace quorvex {
namespace {

// The file a local-file "url" names: as given, or else, for a relative name, inside the engine folder,
// so that shipped engines reading bundled pages work from any working folder.
std::optional<std::filesystem::path> LocalPagePath(const std::string& name, const std::filesystem::path& engineFolder) {
  if (name.empty()) return std::nullopt;
  std::error_code error;
  const std::filesystem::path path(name);
  if (std::filesystem::is_regular_file(path, error)) return path;
  if (path.is_absolute() || engineFolder.empty()) return std::nullopt;
  std::filesystem::path inFolder = engineFolder / path;
  if (std::filesystem::is_regular_file(inFolder, error)) return inFolder;
  return std::nullopt;
}

bool OutsideIntRange(long long value) {
  return value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min();
}

// The records from first on, made ready on the worker's thread so that the main thread only merges them.
// Running out of memory ends the page's records there and says why, as a failed extraction does.
std::vector<TReadyRecord> ReadyRecords(const std::vector<TRecord>& records, size_t first, const TRecordForm& form,
                                       std::string& failure) {
  std::vector<TReadyRecord> ready;
  if (first >= records.size()) return ready;
  try {
    ready.reserve(records.size() - first);
    for (size_t i = first; i < records.size(); ++i) ready.push_back(form.Ready(records[i]));
  } catch (const std::exception& error) {
    if (failure.empty()) failure = error.what();
  }
  return ready;
}

// Why a fetched page brings nothing, from the client's outcome; empty for a page to read.
std::string RequestFailure(const TSHttp& http) {
  if (http.Status == TSHttp::kStatusFailed) return http.Failure;
  if (http.Status != 200) return "HTTP status " + std::to_string(http.Status);
  return {};
}

}  // namespace

struct TGetList::TCore {
  // The settings and events of one search, taken over from the owner when the start signal comes.
  struct TSearchSettings {
    TEngineDefinition definition;
    std::string proxy;
    int timeOutSeconds = 0;
    std::filesystem::path engineFolder;
    std::shared_ptr<const PageMarkers> markers;
    std::string pageCharset;
    TRecordForm form;
    TNotify onConnecting;
    TPageNotify onPageDone;
    TNotify onFinished;
  };

  explicit TCore(MainThreadDispatcher& mainThread) : dispatcher(mainThread) {}

  void Execute();
  bool WaitForStart(TSearchSettings& settings);
  void Search(TSearchSettings& settings);
  struct TFetched {
    bool localFile = false;  // the page came from a local file
    std::string failure;     // why the page brings nothing; empty for a page to read
  };
  // Fetches or reads one page into pageText.
  TFetched FetchPage(const TEngineDefinition::TPageRequest& request, const TSearchSettings& settings,
                     std::string& pageText);
  // Runs event on the main thread unless the worker is stopped; false when it did not run.
  bool Raise(const std::function<void()>& event);
  void Stop();

  MainThreadDispatcher& dispatcher;
  TSHttp http;
  THtmlParser parser;
  TEngineDefinition definition;

  std::atomic<bool> terminate{false};  // stays set once stopped
  std::atomic<bool> finished{false};
  std::mutex raiseMutex;             // held while the thread is inside the dispatcher
  std::mutex mutex;
  std::condition_variable signal;  // the start signal
  bool started = false;            // the start signal is set
  TSearchSettings pending;
};

TGetList::TGetList(MainThreadDispatcher& dispatcher) : core_(std::make_shared<TCore>(dispatcher)) {
  std::thread([core = core_] {
    LowerWorkerPriority();
    core->Execute();
  }).detach();
}

TGetList::~TGetList() { core_->Stop(); }

void TGetList::LoadDefinition(TEngineDefinition definition) {
  {
    std::lock_guard lock(core_->mutex);
    core_->pending = TCore::TSearchSettings{std::move(definition), Proxy,      TimeOutSeconds, EngineFolder,
                                            Markers,               PageCharset, Form,           OnConnecting,
                                            OnPageDone,            OnFinished};
    core_->started = true;
  }
  core_->signal.notify_all();
}

void TGetList::Stop() { core_->Stop(); }

bool TGetList::Finished() const { return core_->finished; }

void TGetList::TCore::Stop() {
  terminate = true;
  http.AbortAll();
  {
    std::lock_guard lock(mutex);
    started = true;
  }
  signal.notify_all();
  dispatcher.WakeWaiters();
  // The thread's call into the main thread is dropped by now and it leaves the dispatcher at once;
  // after that it checks the stop before it enters again.
  std::lock_guard lock(raiseMutex);
}

void TGetList::TCore::Execute() {
  TSearchSettings settings;
  while (WaitForStart(settings)) Search(settings);
  finished = true;
}

bool TGetList::TCore::WaitForStart(TSearchSettings& settings) {
  std::unique_lock lock(mutex);
  signal.wait(lock, [this] { return started; });
  started = false;
  if (terminate) return false;
  settings = std::move(pending);
  pending = TSearchSettings{};
  return true;
}

void TGetList::TCore::Search(TSearchSettings& settings) {
  definition = std::move(settings.definition);
  const int step = definition.Step();
  long long start = definition.FirstStart();
  size_t previousCount = definition.KeptRecords().size();  // the head record
  std::string pageText;
  std::string nextPageTarget;
  const PageMarkers noMarkers;
  const PageMarkers& markers = settings.markers ? *settings.markers : noMarkers;
  bool firstPage = true;
  bool done = false;
  while (!terminate && !done) {
    const TEngineDefinition::TPageRequest request =
        definition.BuildPageUrl(static_cast<int>(start), step, nextPageTarget);
    bool localFile = false;
    std::string failure;
    try {
      TFetched fetched = FetchPage(request, settings, pageText);
      localFile = fetched.localFile;
      failure = std::move(fetched.failure);
      if (terminate) break;
      // The charset is known to convert: an unknown one fails the engine before it fetches.
      const std::string converted =
          settings.pageCharset.empty() ? std::string() : CharsetToUtf8(pageText, settings.pageCharset).value_or("");
      const std::string& page = settings.pageCharset.empty() ? pageText : converted;
      // An extraction error loses the rest of the page only.
      const std::optional<std::string> stopped = definition.ExtractPage(
          parser, std::string(definition.CutResultArea(page)), request.url, request.nextLinkText);
      if (stopped && failure.empty()) failure = "extraction error: " + *stopped;
      // A first page without a record says why: a block page (also one sent with an error status), the
      // engine's "nothing found", or markup the definition does not read. Later pages without one just
      // end the paging.
      if (firstPage && definition.KeptRecords().size() == previousCount) {
        if (failure.empty()) failure = EmptyPageReason(page, markers);
        if (failure.starts_with("HTTP status ")) failure = ErrorPageReason(page, markers, failure);
      }
    } catch (const std::exception& error) {
      // A page that cannot be handled (out of memory, say) adds what it had; the paging decision follows.
      failure = error.what();
    }
    if (terminate) break;
    std::vector<TReadyRecord> ready = ReadyRecords(definition.KeptRecords(), previousCount, settings.form, failure);
    if (terminate) break;

    bool stop = false;
    Raise([&] {
      if (settings.onPageDone) settings.onPageDone(ready, failure, pageText, stop);
    });
    const size_t count = definition.KeptRecords().size();
    nextPageTarget = definition.NextPageTarget();
    start += step;
    // Paging past the int range would repeat or skip pages; it ends there instead.
    done = count == previousCount || !definition.PagingOn() || stop || localFile || OutsideIntRange(start);
    previousCount = count;
    firstPage = false;
  }
  if (settings.onFinished) Raise(settings.onFinished);
  definition = TEngineDefinition{};  // frees the kept records
}

TGetList::TCore::TFetched TGetList::TCore::FetchPage(const TEngineDefinition::TPageRequest& request,
                                                    const TSearchSettings& settings, std::string& pageText) {
  if (!request.isHttp) {
    const std::optional<std::filesystem::path> file = LocalPagePath(request.url, settings.engineFolder);
    if (!file) return {false, request.url.empty() ? "the definition names no url" : "no file " + request.url};
    std::optional<std::string> text = ReadWholeFile(*file);
    if (!text) return {true, "cannot read " + file->string()};
    pageText = std::move(*text);
    return {true, {}};
  }
  http.Proxy = settings.proxy;
  http.TimeOutSeconds = settings.timeOutSeconds;
  if (settings.onConnecting) Raise(settings.onConnecting);
  if (terminate) return {};
  http.Cookie = definition.HeaderValue("Cookie");
  // Optional per engine: some engines answer an old browser's request differently or not at all.
  http.UserAgent = TrimControls(definition.HeaderValue("Agent"));
  http.AcceptLanguage = TrimControls(definition.HeaderValue("Lang"));
  http.Request(request.url, TSHttp::kGet);
  pageText = std::move(http.Body);
  return {false, RequestFailure(http)};
}

bool TGetList::TCore::Raise(const std::function<void()>& event) {
  std::lock_guard lock(raiseMutex);
  if (terminate) return false;
  // The dispatcher drops a call whose flag is set before the main thread starts it, so no event can
  // follow a stop, not even one that was already queued when the stop came.
  return dispatcher.RunOnMainThread(event, terminate);
}

}  // namespace quorvex

#include "core/search/TGetList.h"

#include <chrono>
#include <exception>
#include <limits>
#include <optional>
#include <system_error>

#include "core/common/dispatcher.h"
#include "core/common/file_io.h"

namespace quorvex {
namespace {

// How often the destructor repeats its abort while it waits for the thread's loop to end.
constexpr std::chrono::milliseconds kStopPoll{50};

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

}  // namespace

TGetList::TGetList(MainThreadDispatcher& dispatcher) : dispatcher_(dispatcher), thread_([this] { Execute(); }) {}

TGetList::~TGetList() {
  Stop();
  std::unique_lock lock(mutex_);
  // An abort that lands just before a request starts is lost, since every request begins unaborted; so
  // the abort is repeated until the loop has ended.
  while (!signal_.wait_for(lock, kStopPoll, [this] { return finished_.load(); })) {
    lock.unlock();
    http_.Abort();
    dispatcher_.WakeWaiters();
    lock.lock();
  }
  lock.unlock();
  thread_.join();
}

void TGetList::LoadDefinition(std::vector<std::string> lines) {
  {
    std::lock_guard lock(mutex_);
    pending_ = TSearchSettings{std::move(lines), Proxy, TimeOutSeconds, EngineFolder};
    started_ = true;
  }
  signal_.notify_all();
}

void TGetList::Stop() {
  terminate_ = true;
  http_.Abort();
  {
    std::lock_guard lock(mutex_);
    started_ = true;
  }
  signal_.notify_all();
  dispatcher_.WakeWaiters();
}

void TGetList::Execute() {
  TSearchSettings settings;
  while (WaitForStart(settings)) Search(settings);
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  signal_.notify_all();
}

bool TGetList::WaitForStart(TSearchSettings& settings) {
  std::unique_lock lock(mutex_);
  signal_.wait(lock, [this] { return started_; });
  started_ = false;
  if (terminate_) return false;
  settings = std::move(pending_);
  pending_ = TSearchSettings{};
  return true;
}

void TGetList::Search(const TSearchSettings& settings) {
  definition_.LoadDefinition(settings.lines);
  const int step = definition_.Step();
  long long start = definition_.FirstStart();
  size_t previousCount = definition_.KeptRecords().size();  // the head record
  std::string pageText;
  std::string nextPageTarget;
  bool done = false;
  while (!terminate_ && !done) {
    const TEngineDefinition::TPageRequest request =
        definition_.BuildPageUrl(static_cast<int>(start), step, nextPageTarget);
    bool localFile = false;
    try {
      localFile = FetchPage(request, settings, pageText);
      if (terminate_) break;
      // An extraction error loses the rest of the page only.
      (void)definition_.ExtractPage(parser_, std::string(definition_.CutResultArea(pageText)), request.url,
                                    request.nextLinkText);
    } catch (const std::exception&) {
      // A page that cannot be handled (out of memory, say) adds what it had; the paging decision follows.
    }
    if (terminate_) break;

    bool stop = false;
    Raise([&] {
      if (OnPageDone) OnPageDone(*this, definition_.KeptRecords(), static_cast<int>(previousCount), stop);
    });
    const size_t count = definition_.KeptRecords().size();
    nextPageTarget = definition_.NextPageTarget();
    start += step;
    // Paging past the int range would repeat or skip pages; it ends there instead.
    done = count == previousCount || !definition_.PagingOn() || stop || localFile || OutsideIntRange(start);
    previousCount = count;
  }
  if (!terminate_) {
    Raise([this] {
      if (OnFinished) OnFinished(*this);
    });
  }
  definition_ = TEngineDefinition{};  // frees the kept records
}

bool TGetList::FetchPage(const TEngineDefinition::TPageRequest& request, const TSearchSettings& settings,
                         std::string& pageText) {
  if (!request.isHttp) {
    const std::optional<std::filesystem::path> file = LocalPagePath(request.url, settings.engineFolder);
    if (!file) return false;
    if (std::optional<std::string> text = ReadWholeFile(*file)) pageText = std::move(*text);
    return true;
  }
  http_.Proxy = settings.proxy;
  http_.TimeOutSeconds = settings.timeOutSeconds;
  Raise([this] {
    if (OnConnecting) OnConnecting(*this);
  });
  if (terminate_) return false;
  http_.Cookie = definition_.HeaderValue("Cookie");
  http_.Request(request.url, TSHttp::kGet);
  pageText = std::move(http_.Body);
  return false;
}

bool TGetList::Raise(const std::function<void()>& call) {
  // The dispatcher drops a call whose flag is set before the main thread starts it, so no event can
  // follow a stop, not even one that was already queued when the stop came.
  return dispatcher_.RunOnMainThread(call, terminate_);
}

}  // namespace quorvex

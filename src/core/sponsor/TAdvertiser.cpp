#include "core/sponsor/TAdvertiser.h"

#include <exception>
#include <system_error>

#include "core/config/Options.h"
#include "core/common/dispatcher.h"
#include "core/sponsor/sponsor_index.h"
#include "core/sponsor/sponsor_pane.h"

namespace quorvex {
namespace {

constexpr int kOk = 200;
constexpr int kRotateTries = 100;

bool FileExists(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

}  // namespace

TAdvertiser::TAdvertiser(MainThreadDispatcher& dispatcher, TSponsorPane& pane, std::filesystem::path cacheDir,
                         TAdvertiserPauses pauses)
    : dispatcher_(dispatcher),
      pane_(pane),
      cacheDir_(std::move(cacheDir)),
      pauses_(pauses),
      downloader_(http_),
      workerRandom_(std::random_device{}()),
      mainRandom_(std::random_device{}()),
      thread_([this] { Execute(); }) {}

TAdvertiser::~TAdvertiser() {
  // The abort stays set, so the worker's request or lookup in progress ends promptly and no later one
  // starts: the join does not wait on the network.
  Stop();
  thread_.join();
}

void TAdvertiser::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopped_ = true;
  }
  wake_.notify_all();
  http_.AbortAll();
  dispatcher_.WakeWaiters();
}

std::string TAdvertiser::WrapperPrefix() {
  return std::string(
             "<script language=\"JavaScript1.1\"><!--\r\n"
             "document.onmousedown=right;window.onmousedown=right;if (document.layers) "
             "window.captureEvents(Event.MOUSEDOWN);function right(e){  if (event.button == 2 || event.button ==3) "
             "{  alert(\"") +
         kSponsorMessage +
         "\");    return false;   }   return true;}//--></script>"
         "<body topmargin=0 bottommargin=0 leftmargin=0 rightmargin=0 SCROLLING=\"no\">";
}

void TAdvertiser::Execute() {
  downloader_.DownloadMode = true;
  downloader_.LinksInNewWindow = true;
  downloader_.HtmPrefix = WrapperPrefix();
  downloader_.HtmSuffix = kWrapperSuffix;
  downloader_.Fetch = [this](const std::string& url) {
    http_.Request(url, TSHttp::kGet);
    return http_.Status;
  };
  OnMainThread([this] { Rotate(); });
  while (!stopped_.load()) {
    try {
      Cycle();
    } catch (const std::exception&) {
      Pause(pauses_.afterFailure);
    }
  }
}

void TAdvertiser::Cycle() {
  const std::string base = Options().Value(kServerOption);
  if (base.empty()) {
    // No server of our own is named: the pane rotates the cache until the option is set.
    OnMainThread([this] { Rotate(); });
    Pause(pauses_.afterFailure);
    return;
  }
  http_.Proxy = Options().ProxyAddress();
  http_.TimeOutSeconds = Options().TimeOutSeconds("DownloadTimeOut");
  http_.Referer.clear();
  if (!FetchIndex(base)) return;
  const std::optional<std::vector<TSponsorLine>> lines = ParseSponsorIndex(http_.Body);
  std::uniform_int_distribution<int> draw(0, 9999999);
  const std::optional<size_t> chosen =
      lines ? ChooseSponsorLine(*lines, draw(workerRandom_) / 10000000.0) : std::nullopt;
  if (!chosen) {
    // An index without its marker, or with nothing to choose, is fetched again after a pause.
    Pause(pauses_.afterFailure);
    return;
  }
  FetchSponsor((*lines)[*chosen].url, *chosen + 1);
  Pause(pauses_.afterPage);
}

bool TAdvertiser::FetchIndex(const std::string& base) {
  http_.Request(SponsorIndexUrl(base), TSHttp::kGet);
  if (stopped_.load()) return false;
  if (http_.Status == kOk && !http_.Body.empty()) return true;
  const int pauses = http_.Status == kOk ? 1 : 2;
  for (int i = 0; i < pauses; ++i) {
    OnMainThread([this] { Rotate(); });
    if (!Pause(pauses_.afterFailure)) break;
  }
  return false;
}

void TAdvertiser::FetchSponsor(const std::string& url, size_t position) {
  const std::filesystem::path folder = cacheDir_ / std::to_string(position);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  http_.Referer = url;
  downloader_.Run(url, folder, stopped_);
  if (!stopped_.load()) OnMainThread([this, &folder] { ShowCached(folder); });
}

bool TAdvertiser::Pause(std::chrono::milliseconds length) {
  std::unique_lock lock(mutex_);
  return !wake_.wait_for(lock, length, [this] { return stopped_.load(); });
}

bool TAdvertiser::OnMainThread(const std::function<void()>& call) {
  return dispatcher_.RunOnMainThread(call, stopped_);
}

void TAdvertiser::Rotate() {
  if (shownOnce_ && std::chrono::steady_clock::now() - lastShown_ <= pauses_.rotateAfter) return;
  std::uniform_int_distribution<int> folder(1, kRotatedFolders);
  for (int i = 0; i < kRotateTries; ++i) {
    const std::filesystem::path page = cacheDir_ / std::to_string(folder(mainRandom_)) / "0.htm";
    if (!FileExists(page)) continue;
    pane_.ShowCachedFile(page);
    lastShown_ = std::chrono::steady_clock::now();
    shownOnce_ = true;
    return;
  }
  ShowCached(cacheDir_ / "0");
}

void TAdvertiser::ShowCached(const std::filesystem::path& folder) {
  const std::filesystem::path page = folder / "0.htm";
  if (!FileExists(page)) return;
  pane_.ShowCachedFile(page);
  lastShown_ = std::chrono::steady_clock::now();
  shownOnce_ = true;
}

}  // namespace quorvex

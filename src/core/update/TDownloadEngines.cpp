#include "core/update/TDownloadEngines.h"

#include <sys/stat.h>

#include "core/app/Options.h"
#include "core/app/ProgramDirs.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/net/TSHttp.h"
#include "core/update/engine_archive.h"

namespace quorvex {
namespace {

constexpr const char* kStampOption = "Last-Modified";
constexpr double kArchiveMaxAgeDays = 5.0;
// A request that starts right after Stop's abort resets it: the abort is repeated until the thread ends.
constexpr auto kAbortRepeat = std::chrono::milliseconds(50);

}  // namespace

TDownloadEngines::Settings TDownloadEngines::ProgramSettings() {
  Settings settings;
  settings.Url = EngineUpdateUrl();
  settings.LocalArchive = LocalEngineArchive();
  settings.EngineFolder = EngineDir();
  settings.OptionFile = kOptionFileName;
  settings.TimeOutSeconds = Options().TimeOutSeconds("DownloadTimeOut");
  return settings;
}

TDownloadEngines::TDownloadEngines(MainThreadDispatcher& dispatcher, std::function<void()> reloadEngines,
                                   Settings settings)
    : dispatcher_(dispatcher), reloadEngines_(std::move(reloadEngines)), settings_(std::move(settings)) {}

TDownloadEngines::~TDownloadEngines() { Stop(); }

void TDownloadEngines::Start() {
  thread_ = std::thread([this] { Execute(); });
}

void TDownloadEngines::Stop() {
  terminated_ = true;
  if (!thread_.joinable()) {
    finished_ = true;
    return;
  }
  {
    std::unique_lock lock(mutex_);
    while (!finished_) {
      if (http_ != nullptr) http_->Abort();
      dispatcher_.WakeWaiters();
      changed_.notify_all();
      changed_.wait_for(lock, kAbortRepeat, [this] { return finished_.load(); });
    }
  }
  thread_.join();
}

void TDownloadEngines::Execute() {
  {
    TSHttp http;  // no proxy: the update always connects directly
    http.TimeOutSeconds = settings_.TimeOutSeconds;
    {
      std::lock_guard lock(mutex_);
      http_ = &http;
    }
    CheckForNewArchive(http);
    std::lock_guard lock(mutex_);
    http_ = nullptr;
  }
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void TDownloadEngines::CheckForNewArchive(TSHttp& http) {
  if (settings_.Url.empty() || ArchiveIsYoung()) return;
  http.Request(settings_.Url, TSHttp::kHead);
  if (terminated_ || http.Status != 200) return;
  // Compared as text, never parsed: any change of the server's stamp means a new archive.
  const std::string stamp = http.GetHeader(kStampOption);
  if (stamp == Options().Value(kStampOption)) return;
  if (!Download(http)) return;
  // Stored before unpacking, so that an archive that cannot be unpacked is not fetched again and again.
  Options().SetValue(kStampOption, stamp);
  Options().SaveTo(settings_.OptionFile);
  InstallArchive();
}

bool TDownloadEngines::ArchiveIsYoung() const {
  struct stat info {};
  if (::stat(settings_.LocalArchive.c_str(), &info) != 0) return false;
  const auto written =
      std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) +
      std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(info.st_mtim.tv_nsec));
  const std::chrono::duration<double, std::ratio<86400>> age = settings_.Now() - written;
  // An archive dated in the future (a clock that was wrong) counts as old rather than blocking updates.
  return age.count() >= 0 && age.count() < kArchiveMaxAgeDays;
}

bool TDownloadEngines::Download(TSHttp& http) {
  for (;;) {
    http.Request(settings_.Url, TSHttp::kGet);
    if (terminated_) return false;
    if (http.Status == 200 && StoreArchive(http.Body)) return true;
    if (!WaitBeforeRetry()) return false;
  }
}

// Only a whole answer replaces the local archive: an error page must neither overwrite the last good
// archive nor make it look young.
bool TDownloadEngines::StoreArchive(const std::string& body) const {
  return WriteFileAtomically(settings_.LocalArchive, body);
}

bool TDownloadEngines::WaitBeforeRetry() {
  std::unique_lock lock(mutex_);
  return !changed_.wait_for(lock, settings_.RetryPause, [this] { return terminated_.load(); });
}

void TDownloadEngines::InstallArchive() {
  try {
    UnpackEngineArchive(settings_.LocalArchive.string(), settings_.EngineFolder.string());
    dispatcher_.RunOnMainThread(reloadEngines_, terminated_);
  } catch (...) {
    // A broken archive leaves the engine set as it is, silently: nothing of the update is shown.
  }
}

}  // namespace quorvex

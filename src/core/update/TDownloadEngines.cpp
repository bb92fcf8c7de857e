#include "core/update/TDownloadEngines.h"

#include <sys/stat.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/common/worker_priority.h"
#include "core/config/Options.h"
#include "core/config/ProgramDirs.h"
#include "core/common/dispatcher.h"
#include "core/common/file_io.h"
#include "core/net/TSHttp.h"
#include "core/update/engine_archive.h"

namespace quorvex {
namespace {

constexpr const char* kStampOption = "Last-Modified";
constexpr double kArchiveMaxAgeDays = 5.0;

}  // namespace

struct TDownloadEngines::TJob {
  TJob(MainThreadDispatcher& mainThread, std::function<void()> reload, Settings jobSettings)
      : dispatcher(mainThread), reloadEngines(std::move(reload)), settings(std::move(jobSettings)) {}

  void Execute();
  void CheckForNewArchive();
  bool ArchiveIsYoung() const;
  bool Download();
  bool StoreArchive(const std::string& body) const;
  bool WaitBeforeRetry();
  void InstallArchive();
  void Stop();

  MainThreadDispatcher& dispatcher;
  std::function<void()> reloadEngines;
  Settings settings;
  TSHttp http;  // no proxy: the update always connects directly

  std::atomic<bool> terminated{false};  // stays set once stopped
  std::atomic<bool> finished{false};
  std::mutex mutex;
  std::condition_variable changed;  // wakes the pause between download attempts
  // Held while the thread touches what outlives no stop: the options, the engine folder and the
  // dispatcher. The thread takes it only when not stopped, and Stop takes it once.
  std::mutex outsideMutex;
};

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
    : job_(std::make_shared<TJob>(dispatcher, std::move(reloadEngines), std::move(settings))) {}

TDownloadEngines::~TDownloadEngines() { Stop(); }

void TDownloadEngines::Start() {
  std::thread([job = job_] {
    LowerWorkerPriority();
    job->Execute();
  }).detach();
}

void TDownloadEngines::Stop() { job_->Stop(); }

bool TDownloadEngines::Finished() const { return job_->finished; }

void TDownloadEngines::TJob::Stop() {
  terminated = true;
  http.AbortAll();
  { std::lock_guard lock(mutex); }
  changed.notify_all();
  dispatcher.WakeWaiters();
  // A pending reload call has been dropped by now; an unpack in progress ends first.
  std::lock_guard lock(outsideMutex);
  finished = true;
}

void TDownloadEngines::TJob::Execute() {
  http.TimeOutSeconds = settings.TimeOutSeconds;
  CheckForNewArchive();
  finished = true;
}

void TDownloadEngines::TJob::CheckForNewArchive() {
  if (settings.Url.empty() || ArchiveIsYoung()) return;
  http.Request(settings.Url, TSHttp::kHead);
  if (terminated || http.Status != 200) return;
  // Compared as text, never parsed: any change of the server's stamp means a new archive.
  const std::string stamp = http.GetHeader(kStampOption);
  {
    std::lock_guard lock(outsideMutex);
    if (terminated || stamp == Options().Value(kStampOption)) return;
  }
  if (!Download()) return;
  std::lock_guard lock(outsideMutex);
  if (terminated) return;
  // Stored before unpacking, so that an archive that cannot be unpacked is not fetched again and again.
  Options().SetValue(kStampOption, stamp);
  Options().SaveTo(settings.OptionFile);
  InstallArchive();
}

bool TDownloadEngines::TJob::ArchiveIsYoung() const {
  struct stat info {};
  if (::stat(settings.LocalArchive.c_str(), &info) != 0) return false;
  const auto written =
      std::chrono::system_clock::from_time_t(info.st_mtim.tv_sec) +
      std::chrono::duration_cast<std::chrono::system_clock::duration>(std::chrono::nanoseconds(info.st_mtim.tv_nsec));
  const std::chrono::duration<double, std::ratio<86400>> age = settings.Now() - written;
  // An archive dated in the future (a clock that was wrong) counts as old rather than blocking updates.
  return age.count() >= 0 && age.count() < kArchiveMaxAgeDays;
}

bool TDownloadEngines::TJob::Download() {
  for (;;) {
    http.Request(settings.Url, TSHttp::kGet);
    if (terminated) return false;
    if (http.Status == 200 && StoreArchive(http.Body)) return true;
    if (!WaitBeforeRetry()) return false;
  }
}

// Only a whole answer replaces the local archive: an error page must neither overwrite the last good
// archive nor make it look young.
bool TDownloadEngines::TJob::StoreArchive(const std::string& body) const {
  return WriteFileAtomically(settings.LocalArchive, body);
}

bool TDownloadEngines::TJob::WaitBeforeRetry() {
  std::unique_lock lock(mutex);
  return !changed.wait_for(lock, settings.RetryPause, [this] { return terminated.load(); });
}

void TDownloadEngines::TJob::InstallArchive() {
  try {
    UnpackEngineArchive(settings.LocalArchive.string(), settings.EngineFolder.string());
    dispatcher.RunOnMainThread(reloadEngines, terminated);
  } catch (...) {
    // A broken archive leaves the engine set as it is, silently: nothing of the update is shown.
  }
}

}  // namespace quorvex

#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace quorvex {

class MainThreadDispatcher;
class TSHttp;

// The engine update: once per program start, a background thread looks for a newer engine archive on
// the update server, downloads it, unpacks it over the engine folder and has the main thread reload the
// engine catalogue. It shows nothing and reports nothing; every failure just ends the check.
class TDownloadEngines {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  struct Settings {
    std::string Url;                     // the archive on the update server; empty: no update
    std::filesystem::path LocalArchive;  // kept after unpacking; its age is checked next time
    std::filesystem::path EngineFolder;  // where the archive is unpacked
    std::filesystem::path OptionFile;    // where the new "Last-Modified" stamp is saved
    int TimeOutSeconds = 0;              // of each request; 0 waits for ever
    std::chrono::milliseconds RetryPause{5000};
    Clock Now = [] { return std::chrono::system_clock::now(); };
  };
  // The program's settings: EngineUpdateUrl(), LocalEngineArchive(), EngineDir(), option.txt, and the
  // download time-out option.
  static Settings ProgramSettings();

  // reloadEngines runs on the main thread, through dispatcher, after a successful unpack.
  TDownloadEngines(MainThreadDispatcher& dispatcher, std::function<void()> reloadEngines,
                   Settings settings = ProgramSettings());
  ~TDownloadEngines();  // stops the thread
  TDownloadEngines(const TDownloadEngines&) = delete;
  TDownloadEngines& operator=(const TDownloadEngines&) = delete;

  // Starts the thread; nobody waits for it.
  void Start();
  // Ends the thread promptly wherever it is (a request, the pause between download attempts, a pending
  // call into the main thread) and waits for it. An unpack that has begun is finished first, so that the
  // engine folder is never left half-written. Callable from any thread but the worker itself.
  void Stop();
  // True once the thread has ended by itself or was stopped.
  bool Finished() const { return finished_; }

 private:
  void Execute();
  void CheckForNewArchive(TSHttp& http);
  bool ArchiveIsYoung() const;
  bool Download(TSHttp& http);
  bool StoreArchive(const std::string& body) const;
  bool WaitBeforeRetry();
  void InstallArchive();

  MainThreadDispatcher& dispatcher_;
  std::function<void()> reloadEngines_;
  Settings settings_;

  std::mutex mutex_;
  std::condition_variable changed_;
  TSHttp* http_ = nullptr;  // the worker's client while it exists, for Abort
  std::atomic<bool> terminated_{false};
  std::atomic<bool> finished_{false};
  std::thread thread_;
};

}  // namespace quorvex

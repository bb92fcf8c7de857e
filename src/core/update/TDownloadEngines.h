#pragma once
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace quorvex {

class MainThreadDispatcher;

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
  ~TDownloadEngines();  // Stop
  TDownloadEngines(const TDownloadEngines&) = delete;
  TDownloadEngines& operator=(const TDownloadEngines&) = delete;

  // Starts the thread; nobody waits for it.
  void Start();
  // Ends the update wherever it is (a name lookup, a request, the pause between download attempts, a
  // pending call into the main thread) without waiting for the network: a thread still inside a lookup
  // or a request winds down on its own and touches nothing outside itself any more. Only an unpack that
  // has begun is finished first, so that the engine folder is never left half-written. Callable from
  // any thread but the worker itself, never inside reloadEngines; dispatcher must exist while it runs.
  void Stop();
  // True once the thread has ended by itself or was stopped.
  bool Finished() const;

 private:
  struct TJob;  // the thread's state, shared with the thread
  std::shared_ptr<TJob> job_;
};

}  // namespace quorvex

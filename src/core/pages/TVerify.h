#pragma once
#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "core/net/TSHttp.h"
#include "core/pages/TPageDownloader.h"

namespace quorvex {

class MainThreadDispatcher;
class TOneKey;
class TOneResult;
class TVerifyDisplay;
struct TVerifyRun;

enum : int { kVerifyMode = 0, kDownloadMode = 1 };

// One of the ten workers of a verification or download run over a keyword's results. It takes results
// one by one on the main thread, fetches each with its own HTTP client, saves it below LocalFile/ and
// sets its page state on the main thread. A worker frees itself when its thread ends; stopping it never
// waits: it ends after its current request, without touching the keyword's results or the display.
class TVerify {
 public:
  // From any thread: no further main-thread call of this worker runs, its request is aborted.
  void Stop();

 private:
  friend void StartVerify(TOneKey&, int, MainThreadDispatcher&, TVerifyDisplay&, const std::filesystem::path&);
  TVerify(std::shared_ptr<TVerifyRun> run, int slot);
  ~TVerify();
  TVerify(const TVerify&) = delete;
  TVerify& operator=(const TVerify&) = delete;

  void Execute();
  bool TakeNext();
  void WorkOnResult();
  void ShowItem(const std::string& url, size_t left);
  int Fetch(const std::string& url);
  bool OnMainThread(const std::function<void()>& call);

  std::shared_ptr<TVerifyRun> run_;
  const int slot_;
  std::atomic<bool> stopped_{false};
  TSHttp http_;
  TPageDownloader downloader_;
  std::string pageUrl_;
  TOneResult* result_ = nullptr;  // taken on the main thread; used there only
  bool wasDownloaded_ = false;    // the result's page state was "downloaded" when it was taken
  int resultIndex_ = 0;
};

inline constexpr int kVerifyWorkers = 10;
inline constexpr int kRequestsPerHost = 2;

// Starts a run over key's results on the main thread: verify next and verify done go to 0, the key is
// marked modified, the display gets its rows and the ten workers start. Pages are saved below
// localFileDir. The time-out of every request is VerifyTimeOut or DownloadTimeOut of the options, the
// proxy theirs too. key, dispatcher and display must live until WaitForVerifyWorkers returns true.
void StartVerify(TOneKey& key, int mode, MainThreadDispatcher& dispatcher, TVerifyDisplay& display,
                 const std::filesystem::path& localFileDir);

// On the main thread: stops every worker of key and empties its list at once; RunningVerifiers is 0
// afterwards. Results being worked keep page state 0, but for a downloaded page being verified, which
// keeps its mark.
void StopVerifiers(TOneKey& key);

// Waits until every worker thread of the process has ended, for tests and the end of the program;
// false at the time-out.
bool WaitForVerifyWorkers(std::chrono::milliseconds timeOut);

}  // namespace quorvex

#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#include "core/net/TSHttp.h"
#include "core/pages/TPageDownloader.h"

namespace quorvex {

class MainThreadDispatcher;
class TSponsorPane;

// How long the sponsor worker waits between its steps.
struct TAdvertiserPauses {
  std::chrono::milliseconds afterPage{40000};
  std::chrono::milliseconds afterFailure{1000};
  std::chrono::milliseconds rotateAfter{40000};  // a shown page stays at least this long in rotation
};

// The sponsor pane's worker: it reads the sponsor index from the server the option SponsorServer names,
// picks a page at random by weight, saves it with its frames and images into a numbered folder of the
// cache, and has the pane show the cached copy. While the server cannot be reached, cached pages are
// rotated in the pane. Without the option nothing is fetched, and the pane rotates what the cache holds
// (at least the shipped default page, cache/0/0.htm).
class TAdvertiser {
 public:
  // The option.txt entry naming the server's index base URL, ending in "/adv/index".
  static constexpr const char* kServerOption = "SponsorServer";
  // Cache folders 1 to this take part in the rotation.
  static constexpr int kRotatedFolders = 5;

  // Starts the worker at once. dispatcher and pane must outlive this object.
  TAdvertiser(MainThreadDispatcher& dispatcher, TSponsorPane& pane, std::filesystem::path cacheDir,
              TAdvertiserPauses pauses = {});
  // Stops the worker and waits for its thread, which ends promptly: pauses and requests are cut short.
  ~TAdvertiser();
  TAdvertiser(const TAdvertiser&) = delete;
  TAdvertiser& operator=(const TAdvertiser&) = delete;

  // From any thread: the worker ends at its next step and shows nothing more.
  void Stop();

  // Main thread: when the shown page has stood long enough, shows a random cached page of folders 1 to
  // kRotatedFolders, or else the default page; with no cached page at all the pane stays as it is.
  void Rotate();
  // Main thread: shows folder's 0.htm when it exists.
  void ShowCached(const std::filesystem::path& folder);

  // The text every saved page is wrapped in.
  static std::string WrapperPrefix();
  static constexpr const char* kWrapperSuffix = "</body>";

 private:
  void Execute();
  void Cycle();
  // Fetches the index; false (after its pauses) when it gave no text.
  bool FetchIndex(const std::string& base);
  void FetchSponsor(const std::string& url, size_t position);
  // Waits, cut short by Stop; false when stopped.
  bool Pause(std::chrono::milliseconds length);
  bool OnMainThread(const std::function<void()>& call);

  MainThreadDispatcher& dispatcher_;
  TSponsorPane& pane_;
  const std::filesystem::path cacheDir_;
  const TAdvertiserPauses pauses_;

  std::atomic<bool> stopped_{false};
  std::mutex mutex_;
  std::condition_variable wake_;

  TSHttp http_;
  TPageDownloader downloader_;
  std::mt19937 workerRandom_;  // the worker's draws
  std::mt19937 mainRandom_;    // Rotate's, on the main thread
  std::chrono::steady_clock::time_point lastShown_{};
  bool shownOnce_ = false;

  std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace quorvex

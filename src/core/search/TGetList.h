#pragma once
#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/engines/TEngineDefinition.h"
#include "core/net/THtmlParser.h"
#include "core/net/TSHttp.h"

namespace quorvex {

class MainThreadDispatcher;

// The worker thread that runs one engine's part of a search: it fetches the result pages one after
// another with its own HTTP client (or reads a local file), cuts out the records with the engine's
// definition, and after every page hands them to its owner on the main thread, where the owner decides
// whether paging goes on. One worker serves one search.
class TGetList {
 public:
  using TNotify = std::function<void(TGetList& sender)>;
  // records: the kept records of the search, the head record first; firstNew: the first one not yet
  // reported. Setting stop ends the paging.
  using TPageNotify =
      std::function<void(TGetList& sender, const std::vector<TRecord>& records, int firstNew, bool& stop)>;

  // Starts the thread, which waits for LoadDefinition.
  explicit TGetList(MainThreadDispatcher& dispatcher);
  // Stops the worker and waits for its thread; a call into the main thread that it has pending is
  // dropped. Must not run inside one of this worker's own events.
  ~TGetList();
  TGetList(const TGetList&) = delete;
  TGetList& operator=(const TGetList&) = delete;

  // Events, run on the main thread while the worker waits. Set them, and the settings below, before
  // LoadDefinition.
  TNotify OnConnecting;  // before each request
  TPageNotify OnPageDone;
  TNotify OnFinished;  // the engine's search is over (not raised after Stop)

  std::string Proxy;       // "host:port" or empty, for every request
  int TimeOutSeconds = 0;  // of every request; 0 waits for ever
  // Where a relative local-file "url" is looked for when the working folder has no such file.
  std::filesystem::path EngineFolder;

  // Hands over the definition's lines (with the "key=" line in front) and starts the search.
  void LoadDefinition(std::vector<std::string> lines);

  // Ends the search from any thread: no further event runs, a request in progress is aborted and a
  // pending call into the main thread is dropped.
  void Stop();

  // The thread's loop has ended.
  bool Finished() const { return finished_.load(); }

 private:
  // The settings of one search, taken over from the owner when the start signal comes.
  struct TSearchSettings {
    std::vector<std::string> lines;
    std::string proxy;
    int timeOutSeconds = 0;
    std::filesystem::path engineFolder;
  };

  void Execute();
  bool WaitForStart(TSearchSettings& settings);
  void Search(const TSearchSettings& settings);
  // Fetches or reads one page into pageText; true when the page came from a local file.
  bool FetchPage(const TEngineDefinition::TPageRequest& request, const TSearchSettings& settings,
                 std::string& pageText);
  // Runs call on the main thread unless the worker is being stopped; false when it did not run.
  bool Raise(const std::function<void()>& call);

  MainThreadDispatcher& dispatcher_;
  TSHttp http_;
  THtmlParser parser_;
  TEngineDefinition definition_;

  std::atomic<bool> terminate_{false};
  std::atomic<bool> finished_{false};
  std::mutex mutex_;
  std::condition_variable signal_;  // the start signal; also wakes the destructor when the loop ends
  bool started_ = false;            // the start signal is set
  TSearchSettings pending_;

  std::thread thread_;  // last: it starts once everything above exists
};

}  // namespace quorvex

#pragma once
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace quorvex {

// "Run this on the main thread and wait": the only way a worker reaches records and windows.
// The window implements Post with a queued call into its event loop; the command-line tool and the
// tests use QueueDispatcher, whose loop they drain themselves.
//
// A pending call never deadlocks a join: a worker that is being stopped has its cancel flag set and
// the stopper calls WakeWaiters(); a call that has not started yet is then dropped and RunOnMainThread
// returns false; so is one that the main loop reaches after the flag was set. A call that the main
// thread has already started always runs to its end.
class MainThreadDispatcher {
 public:
  MainThreadDispatcher();  // the constructing thread is the main thread
  virtual ~MainThreadDispatcher();
  MainThreadDispatcher(const MainThreadDispatcher&) = delete;
  MainThreadDispatcher& operator=(const MainThreadDispatcher&) = delete;

  // Runs task on the main thread and waits for it. Returns true when it ran, false when it was
  // dropped because cancel became true (or the dispatcher is shutting down) before it started.
  // Called on the main thread itself, the task runs at once.
  bool RunOnMainThread(const std::function<void()>& task, const std::atomic<bool>& cancel);

  // Runs task on the main thread at a later turn of its loop, without waiting: for main-thread work
  // split so that the loop stays responsive. The task must check for itself that what it works on still
  // exists.
  void Later(std::function<void()> task) { Post(std::move(task)); }
  // Wakes every waiting worker so that it rechecks its cancel flag. Callable from any thread.
  void WakeWaiters();

  // Drops every call not yet started and makes further calls fail; for the end of the program.
  void Shutdown();

  bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

 protected:
  // Queue runner for execution on the main thread; the runner does nothing if its call was dropped.
  virtual void Post(std::function<void()> runner) = 0;

 private:
  enum class CallState { Pending, Running, Done, Dropped };
  struct Call {
    const std::function<void()>* task;
    const std::atomic<bool>* cancel;  // read only while the call is Pending, when its owner still waits
    CallState state = CallState::Pending;
  };
  void Execute(const std::shared_ptr<Call>& call);

  std::thread::id mainThread_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool shutdown_ = false;
};

// Dispatcher whose calls wait in a queue until the main thread's own loop runs them.
class QueueDispatcher : public MainThreadDispatcher {
 public:
  // Runs every queued call; returns how many runners were taken from the queue.
  size_t RunPending();
  // Waits up to timeout for at least one call, then runs what is queued.
  size_t WaitAndRunPending(std::chrono::milliseconds timeout);

 protected:
  void Post(std::function<void()> runner) override;

 private:
  std::mutex queueMutex_;
  std::condition_variable queued_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace quorvex

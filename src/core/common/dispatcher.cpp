#include "core/common/dispatcher.h"

namespace quorvex {

MainThreadDispatcher::MainThreadDispatcher() : mainThread_(std::this_thread::get_id()) {}

MainThreadDispatcher::~MainThreadDispatcher() = default;

bool MainThreadDispatcher::RunOnMainThread(const std::function<void()>& task, const std::atomic<bool>& cancel) {
  if (IsMainThread()) {
    task();
    return true;
  }
  auto call = std::make_shared<Call>();
  call->task = &task;
  call->cancel = &cancel;
  {
    std::lock_guard lock(mutex_);
    if (shutdown_ || cancel.load()) return false;
  }
  Post([this, call] { Execute(call); });

  std::unique_lock lock(mutex_);
  for (;;) {
    if (call->state == CallState::Done) return true;
    if (call->state == CallState::Dropped) return false;
    if (call->state == CallState::Pending && (cancel.load() || shutdown_)) {
      call->state = CallState::Dropped;
      return false;
    }
    changed_.wait(lock);
  }
}

void MainThreadDispatcher::Execute(const std::shared_ptr<Call>& call) {
  {
    std::lock_guard lock(mutex_);
    if (call->state != CallState::Pending) return;
    if (call->cancel->load()) {
      call->state = CallState::Dropped;
      changed_.notify_all();
      return;
    }
    call->state = CallState::Running;
  }
  try {
    (*call->task)();
  } catch (...) {
    // A failing unit of work must not take the main loop down; the worker sees its call as done.
  }
  {
    std::lock_guard lock(mutex_);
    call->state = CallState::Done;
  }
  changed_.notify_all();
}

void MainThreadDispatcher::WakeWaiters() {
  { std::lock_guard lock(mutex_); }
  changed_.notify_all();
}

void MainThreadDispatcher::Shutdown() {
  {
    std::lock_guard lock(mutex_);
    shutdown_ = true;
  }
  changed_.notify_all();
}

void QueueDispatcher::Post(std::function<void()> runner) {
  {
    std::lock_guard lock(queueMutex_);
    queue_.push_back(std::move(runner));
  }
  queued_.notify_all();
}

size_t QueueDispatcher::RunPending() {
  std::deque<std::function<void()>> batch;
  {
    std::lock_guard lock(queueMutex_);
    batch.swap(queue_);
  }
  for (auto& runner : batch) runner();
  return batch.size();
}

size_t QueueDispatcher::WaitAndRunPending(std::chrono::milliseconds timeout) {
  {
    std::unique_lock lock(queueMutex_);
    queued_.wait_for(lock, timeout, [this] { return !queue_.empty(); });
  }
  return RunPending();
}

}  // namespace quorvex

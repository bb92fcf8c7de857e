#include "core/common/worker_end.h"

#include <chrono>

namespace quorvex {

void WaitForWorkerEnd(std::mutex& mutex, std::condition_variable& signal, const std::function<bool()>& finished,
                      const std::function<void()>& abortAgain) {
  constexpr std::chrono::milliseconds kRepeat{50};
  std::unique_lock lock(mutex);
  while (!signal.wait_for(lock, kRepeat, finished)) {
    lock.unlock();
    abortAgain();
    lock.lock();
  }
}

}  // namespace quorvex

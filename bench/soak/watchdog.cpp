#include "watchdog.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace quorvex::soak {

void Fail(std::string_view what) {
  std::fprintf(stderr, "quorvex-soak: FAILED: %s\n", std::string(what).c_str());
  std::fflush(stderr);
  std::abort();
}

Watchdog::Watchdog(std::chrono::seconds limit) : limit_(limit), thread_([this] { Watch(); }) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stopped_.notify_all();
  thread_.join();
}

void Watchdog::Progress(const char* doing) {
  std::lock_guard lock(mutex_);
  last_ = std::chrono::steady_clock::now();
  doing_ = doing;
}

void Watchdog::Watch() {
  std::unique_lock lock(mutex_);
  while (!stopped_.wait_for(lock, std::chrono::seconds(1), [this] { return stop_; })) {
    if (std::chrono::steady_clock::now() - last_ < limit_) continue;
    Fail("no progress for " + std::to_string(limit_.count()) + " s while " + doing_);
  }
}

}  // namespace quorvex::soak

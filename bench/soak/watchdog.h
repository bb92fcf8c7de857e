#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string_view>
#include <thread>

namespace quorvex::soak {

// Ends the soak with a message and a core dump's worth of abort: a broken invariant, or a hang.
[[noreturn]] void Fail(std::string_view what);

// Aborts the process when nothing moves for too long, naming what was going on then: the soak must
// never hang, however the workers and the server misbehave.
class Watchdog {
 public:
  explicit Watchdog(std::chrono::seconds limit);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

  // Something moved; doing (a literal) names the operation in progress from now on.
  void Progress(const char* doing);

 private:
  void Watch();

  const std::chrono::seconds limit_;
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stop_ = false;
  std::chrono::steady_clock::time_point last_ = std::chrono::steady_clock::now();
  const char* doing_ = "starting";
  std::thread thread_;
};

}  // namespace quorvex::soak

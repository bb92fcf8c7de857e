#pragma once
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

namespace quorvex {

// The politeness of one verification run, shared by its workers: at most a few requests at a time to
// one host, and none at all to a host that asked the run to back off (429 or 503 with Retry-After).
// Hosts are told apart by name, ignoring A-Z case, whatever their port.
class THostGate {
 public:
  enum class TEntry { Granted, Blocked, Stopped };

  explicit THostGate(int perHost) : perHost_(perHost) {}

  // The host a request to url goes to.
  static std::string HostOf(std::string_view url);

  // Waits until the host has a free place and takes it (Granted); Blocked at once for a host that asked
  // to back off; Stopped when stopped is set while waiting (WakeAll makes the waiter look).
  TEntry Enter(const std::string& host, const std::atomic<bool>& stopped);
  // Gives the place back.
  void Leave(const std::string& host);
  // No further request goes to host.
  void Block(const std::string& host);
  void WakeAll();

 private:
  const int perHost_;
  std::mutex mutex_;
  std::condition_variable freed_;
  std::map<std::string, int, std::less<>> running_;
  std::set<std::string, std::less<>> blocked_;
};

}  // namespace quorvex

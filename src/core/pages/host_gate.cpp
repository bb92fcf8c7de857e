#include "core/pages/host_gate.h"

#include "core/common/ascii.h"
#include "core/net/url.h"

namespace quorvex {

std::string THostGate::HostOf(std::string_view url) { return AsciiLowered(SplitUrl(url).host); }

THostGate::TEntry THostGate::Enter(const std::string& host, const std::atomic<bool>& stopped) {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (stopped.load()) return TEntry::Stopped;
    if (blocked_.count(host) != 0) return TEntry::Blocked;
    int& running = running_[host];
    if (running < perHost_) {
      ++running;
      return TEntry::Granted;
    }
    freed_.wait(lock);
  }
}

void THostGate::Leave(const std::string& host) {
  {
    std::lock_guard lock(mutex_);
    const auto it = running_.find(host);
    if (it != running_.end() && --it->second == 0) running_.erase(it);
  }
  freed_.notify_all();
}

void THostGate::Block(const std::string& host) {
  {
    std::lock_guard lock(mutex_);
    blocked_.insert(host);
  }
  freed_.notify_all();
}

void THostGate::WakeAll() {
  { std::lock_guard lock(mutex_); }
  freed_.notify_all();
}

}  // namespace quorvex

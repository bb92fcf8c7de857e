#pragma once
#include <algorithm>
#include <mutex>
#include <vector>

namespace quorvex {

// A list with a lock of its own, for the workers of one keyword: a worker removes itself when it ends
// while the main thread may be walking the list to stop them.
template <typename T>
class LockedList {
 public:
  void Add(const T& item) {
    std::lock_guard lock(mutex_);
    items_.push_back(item);
  }
  bool Remove(const T& item) {
    std::lock_guard lock(mutex_);
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return false;
    items_.erase(it);
    return true;
  }
  size_t Count() const {
    std::lock_guard lock(mutex_);
    return items_.size();
  }
  std::vector<T> Snapshot() const {
    std::lock_guard lock(mutex_);
    return items_;
  }
  // Calls fn(item) for every item while the lock is held.
  template <typename Fn>
  void ForEach(Fn&& fn) const {
    std::lock_guard lock(mutex_);
    for (const T& item : items_) fn(item);
  }
  std::vector<T> TakeAll() {
    std::lock_guard lock(mutex_);
    std::vector<T> taken;
    taken.swap(items_);
    return taken;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<T> items_;
};

}  // namespace quorvex

#include "core/store/TResultList.h"

#include <algorithm>

#include "core/common/ascii.h"

namespace quorvex {

TResultList::TResultList() = default;
TResultList::~TResultList() = default;

size_t TResultList::KeyHash::operator()(std::string_view key) const {
  // FNV-1a over the A-Z-folded bytes, so that keys equal ignoring case hash alike.
  std::uint64_t hash = 14695981039346656037ULL;
  for (char c : key) {
    hash ^= static_cast<unsigned char>(AsciiToUpper(c));
    hash *= 1099511628211ULL;
  }
  return static_cast<size_t>(hash);
}

bool TResultList::KeyEqual::operator()(std::string_view a, const Slot* b) const { return EqualsIgnoreCase(a, b->key); }

std::string TResultList::KeyOf(std::string_view url) {
  std::string key(url);
  for (char& c : key) c = AsciiToUpper(c);
  return key;
}

TOneResult* TResultList::Find(std::string_view key) const {
  const auto it = firstOfKey_.find(key);
  return it == firstOfKey_.end() ? nullptr : &(*it)->result;
}

TOneResult& TResultList::Add(std::string key, TOneResult result) {
  slots_.push_back(std::make_unique<Slot>(Slot{std::move(result), std::move(key)}));
  firstOfKey_.insert(slots_.back().get());  // keeps an earlier slot of the same key
  return slots_.back()->result;
}

bool TResultList::Remove(const TOneResult* result) {
  const auto it = std::find_if(slots_.begin(), slots_.end(),
                               [result](const std::unique_ptr<Slot>& slot) { return &slot->result == result; });
  if (it == slots_.end()) return false;
  std::unique_ptr<Slot> removed = std::move(*it);
  const auto next = slots_.erase(it);
  const auto indexed = firstOfKey_.find(std::string_view(removed->key));
  if (indexed == firstOfKey_.end() || *indexed != removed.get()) return true;
  firstOfKey_.erase(indexed);
  // The removed result was the one a look-up found: the next one under its key takes its place.
  const auto successor = std::find_if(next, slots_.end(), [&removed](const std::unique_ptr<Slot>& slot) {
    return EqualsIgnoreCase(slot->key, removed->key);
  });
  if (successor != slots_.end()) firstOfKey_.insert(successor->get());
  return true;
}

void TResultList::Clear() {
  firstOfKey_.clear();
  slots_.clear();
}

}  // namespace quorvex

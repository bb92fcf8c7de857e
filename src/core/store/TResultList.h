#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "core/store/TOneResult.h"

namespace quorvex {

// The results of one keyword in the order they were added, each under a key text (its URL in upper
// case). Owns the results; a result keeps its address for as long as it is in the list. Look-ups ignore
// A-Z case and find the first result added under a key, in constant time, so that merging a large
// search stays linear.
class TResultList {
 public:
  TResultList();
  ~TResultList();
  TResultList(const TResultList&) = delete;
  TResultList& operator=(const TResultList&) = delete;

  // The key text a result is stored under: its URL with a to z upper-cased.
  static std::string KeyOf(std::string_view url);

  size_t Count() const { return slots_.size(); }
  bool Empty() const { return slots_.empty(); }
  TOneResult& operator[](size_t i) { return slots_[i]->result; }
  const TOneResult& operator[](size_t i) const { return slots_[i]->result; }
  const std::string& KeyAt(size_t i) const { return slots_[i]->key; }

  // The first result added under key, ignoring A-Z case, or null.
  TOneResult* Find(std::string_view key) const;
  // Appends result under key; duplicates of a key are kept (Find returns the first).
  TOneResult& Add(std::string key, TOneResult result);
  // Removes and frees the result stored at this address; false when it is not in the list.
  bool Remove(const TOneResult* result);
  void Clear();

 private:
  struct Slot {
    TOneResult result;
    std::string key;
  };
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view key) const;
    size_t operator()(const Slot* slot) const { return (*this)(slot->key); }
  };
  struct KeyEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, const Slot* b) const;
    bool operator()(const Slot* a, std::string_view b) const { return (*this)(b, a); }
    bool operator()(const Slot* a, const Slot* b) const { return (*this)(a->key, b); }
  };

  std::vector<std::unique_ptr<Slot>> slots_;
  std::unordered_set<Slot*, KeyHash, KeyEqual> firstOfKey_;  // the first slot of every key
};

}  // namespace quorvex

#include "core/engines/kept_records.h"

#include <algorithm>

#include "core/common/ascii.h"

namespace quorvex {

void TKeptRecords::Reset(TRecord head, const std::vector<int>& uniqueFields) {
  compares_ = !uniqueFields.empty();
  // A field no record can have is never compared, so it need not be looked at.
  fields_.clear();
  std::copy_if(uniqueFields.begin(), uniqueFields.end(), std::back_inserter(fields_),
               [](int field) { return field >= 0 && field < kMaxRecordFields; });
  records_.clear();
  keys_.clear();
  partial_.clear();
  Add(std::move(head));
}

bool TKeptRecords::Key(const TRecord& record, std::string& key) const {
  key.clear();
  for (const int field : fields_) {
    if (!HasField(record, field)) return false;
    const std::string& value = record[static_cast<size_t>(field)];
    key += std::to_string(value.size()) + ':' + AsciiLowered(value);
  }
  return true;
}

bool TKeptRecords::Same(const TRecord& a, const TRecord& b) const {
  return std::all_of(fields_.begin(), fields_.end(), [&](int field) {
    return !HasField(a, field) || !HasField(b, field) ||
           EqualsIgnoreCase(a[static_cast<size_t>(field)], b[static_cast<size_t>(field)]);
  });
}

bool TKeptRecords::IsUnique(const TRecord& record) const {
  if (!compares_) return true;
  std::string key;
  if (!Key(record, key)) {
    return std::none_of(records_.begin(), records_.end(), [&](const TRecord& kept) { return Same(record, kept); });
  }
  return !keys_.contains(key) &&
         std::none_of(partial_.begin(), partial_.end(), [&](size_t kept) { return Same(record, records_[kept]); });
}

void TKeptRecords::Add(TRecord record) {
  std::string key;
  if (Key(record, key))
    keys_.insert(std::move(key));
  else
    partial_.push_back(records_.size());
  records_.push_back(std::move(record));
}

}  // namespace quorvex

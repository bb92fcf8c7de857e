#pragma once
#include <string>
#include <unordered_set>
#include <vector>

#include "core/engines/record_fields.h"

namespace quorvex {

// The records a definition has kept in a search, the head record first, and the check that a new one
// is no duplicate of them. A record is looked up, not compared with every kept one, so that a page of
// many thousands of records costs time in proportion to them.
class TKeptRecords {
 public:
  // Starts over with the head record alone. uniqueFields are zero-based; with none, every record is
  // unique.
  void Reset(TRecord head, const std::vector<int>& uniqueFields);
  // True when no kept record has the same values, ignoring A-Z case, in those of the unique fields
  // that both records have.
  bool IsUnique(const TRecord& record) const;
  void Add(TRecord record);
  const std::vector<TRecord>& Records() const { return records_; }

 private:
  // The unique fields' values, A-Z lower-cased, as one text; false when the record lacks one of them.
  bool Key(const TRecord& record, std::string& key) const;
  bool Same(const TRecord& a, const TRecord& b) const;

  bool compares_ = false;
  std::vector<int> fields_;  // the unique fields a record can have
  std::vector<TRecord> records_;
  std::unordered_set<std::string> keys_;  // of the kept records that have every unique field
  std::vector<size_t> partial_;           // the kept records that lack one
};

}  // namespace quorvex

#include "core/engines/record_fields.h"

#include <algorithm>

#include "core/common/numbers.h"

namespace quorvex {

int ReadFieldReference(std::string_view reference, int numberFallback) {
  const std::string_view digits = reference.empty() ? reference : reference.substr(1);
  // 64-bit so that "$-2147483648" minus 1 cannot overflow.
  const long long index = static_cast<long long>(ParseIntOr(digits, numberFallback)) - 1;
  if (index < 0) return -1;
  return static_cast<int>(std::min<long long>(index, kMaxRecordFields));
}

bool GrowToHold(TRecord& record, int index) {
  if (index < 0 || index >= kMaxRecordFields) return false;
  if (static_cast<size_t>(index) >= record.size()) record.resize(static_cast<size_t>(index) + 1);
  return true;
}

}  // namespace quorvex

#pragma once
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// One extracted result: fields by position (1 URL, 2 title, 3 summary, 4 language marker); further
// fields are working space for the rules.
using TRecord = std::vector<std::string>;

// A rule that names a field below 1 where it needs one. It ends the extraction of the current page;
// the records kept before it stay.
class EExtractionError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// No record grows beyond this many fields, so that a reference such as "$2000000000" in a hostile
// definition cannot make a page allocate billions of fields.
constexpr int kMaxRecordFields = 1024;

// Zero-based field index named by a reference such as "$3": the text after the first character read
// as a whole number (numberFallback when it is not one), minus 1. Below 0 names no field; indexes
// past kMaxRecordFields are clamped to it, where no record can reach.
int ReadFieldReference(std::string_view reference, int numberFallback = 0);

// Appends empty fields until index exists. False, record unchanged, for indexes below 0 or at the
// field limit.
bool GrowToHold(TRecord& record, int index);

// index names a field that record has.
inline bool HasField(const TRecord& record, int index) {
  return index >= 0 && static_cast<size_t>(index) < record.size();
}

}  // namespace quorvex

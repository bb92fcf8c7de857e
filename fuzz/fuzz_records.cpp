// Lines of a result file and of AllKey.txt on arbitrary bytes: every line reads without fault, and a
// record written back is one line of the full field count that reads back to itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/common/comma_list.h"
#include "core/common/name_value_list.h"
#include "core/store/TOneKey.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

template <typename Rewrite>
void RequireStableLine(const std::string& line, size_t fields, Rewrite rewrite) {
  const std::string written = rewrite(line);
  Require(written.find_first_of(std::string("\n\0", 2)) == std::string::npos);
  Require(quorvex::SplitCommaList(written).size() == fields);
  Require(rewrite(written) == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<std::string> categories = {"Web", "News"};
  const auto rewriteResult = [](const std::string& line) { return quorvex::TOneResult::FromLine(line).ToLine(); };
  const auto rewriteKey = [&categories](const std::string& line) {
    return quorvex::TOneKey::FromLine(line, categories)->ToLine(categories);
  };
  for (const std::string& line : quorvex::SplitLines(std::string(reinterpret_cast<const char*>(data), size))) {
    RequireStableLine(line, 11, rewriteResult);
    RequireStableLine(line, 8, rewriteKey);
  }
  return 0;
}

#include "core/store/TOneResult.h"

#include "core/common/comma_list.h"
#include "core/common/numbers.h"
#include "core/store/record_line.h"

namespace quorvex {

std::string TOneResult::ToLine() const {
  std::string line;
  line.reserve(Title.size() + Url.size() + Summary.size() + Engines.size() + 96);
  AppendTextField(line, Title);
  AppendUrlField(line, Url);
  AppendTextField(line, Summary);
  AppendVerbatimField(line, std::to_string(Language));
  AppendVerbatimField(line, Engines);
  AppendVerbatimField(line, std::to_string(Visited));
  AppendVerbatimField(line, std::to_string(PageState));
  AppendVerbatimField(line, std::to_string(Score));
  AppendVerbatimField(line, FormatReal(Found));
  AppendVerbatimField(line, FormatReal(Reserved1));
  AppendVerbatimField(line, FormatReal(Reserved2));
  return line;
}

TOneResult TOneResult::FromLine(std::string_view line) {
  TOneResult result;
  const std::vector<std::string> items = SplitCommaList(line);
  if (items.size() != 11) return result;
  // The 8-bit fields keep the low byte of whatever number the file holds.
  const auto byteOf = [](const std::string& text) { return static_cast<std::uint8_t>(ParseIntOr(text, 0)); };
  result.Title = items[0];
  result.Url = items[1];
  result.Summary = items[2];
  result.Language = byteOf(items[3]);
  result.Engines = items[4];
  result.Visited = byteOf(items[5]);
  result.PageState = byteOf(items[6]);
  result.Score = ParseIntOr(items[7], 0);
  result.Found = ParseStoredReal(items[8]);
  result.Reserved1 = ParseStoredReal(items[9]);
  result.Reserved2 = ParseStoredReal(items[10]);
  return result;
}

}  // namespace quorvex

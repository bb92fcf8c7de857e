#include "core/sponsor/sponsor_index.h"

#include <algorithm>

#include "core/config/ProgramDirs.h"
#include "core/common/ascii.h"
#include "core/common/comma_list.h"
#include "core/common/name_value_list.h"
#include "core/common/numbers.h"

namespace quorvex {

std::optional<std::vector<TSponsorLine>> ParseSponsorIndex(std::string_view text) {
  const std::vector<std::string> lines = SplitLines(text);
  if (lines.empty() || lines.front() != kSponsorIndexMarker) return std::nullopt;
  std::vector<TSponsorLine> sponsors;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (TrimControlsView(lines[i]).empty()) continue;  // a blank line names no page
    std::vector<std::string> items = SplitCommaList(lines[i]);
    TSponsorLine line;
    if (!items.empty()) line.url = std::move(items[0]);
    if (items.size() == 2) line.weight = std::max(0LL, ParseInt64Or(items[1], 100));
    sponsors.push_back(std::move(line));
  }
  return sponsors;
}

std::optional<size_t> ChooseSponsorLine(const std::vector<TSponsorLine>& lines, double draw) {
  long double total = 0;
  for (const TSponsorLine& line : lines) total += static_cast<long double>(line.weight);
  if (total <= 0) return std::nullopt;
  long double sum = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    sum += static_cast<long double>(lines[i].weight);
    if (sum / total > draw) return i;
  }
  return std::nullopt;
}

std::string SponsorIndexUrl(std::string_view base) { return std::string(base) + kEngineSetVersion + ".html"; }

}  // namespace quorvex

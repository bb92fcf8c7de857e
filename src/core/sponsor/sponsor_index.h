#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// The first line of a sponsor index; an index without it is not used.
inline constexpr std::string_view kSponsorIndexMarker = "Tallowby advertiser index";

// One sponsor page of the index.
struct TSponsorLine {
  std::string url;
  long long weight = 100;
};

// The sponsor lines of an index text (LF or CR LF lines), or nothing when its first line is not the
// marker. Blank lines are passed over. A line with exactly two items weighs its second (100 when that is not a number);
// any other line weighs 100. A negative weight counts as 0.
std::optional<std::vector<TSponsorLine>> ParseSponsorIndex(std::string_view text);

// The position (from 0) of the line chosen by draw, a number from 0 up to but not including 1: the
// first line whose running sum of weights, divided by the total, exceeds draw. Nothing when every
// weight is 0 or there is no line.
std::optional<size_t> ChooseSponsorLine(const std::vector<TSponsorLine>& lines, double draw);

// The index URL for the sponsor server's base URL (the option's value, ending in "/adv/index").
std::string SponsorIndexUrl(std::string_view base);

}  // namespace quorvex

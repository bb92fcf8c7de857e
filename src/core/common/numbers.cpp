#include "core/common/numbers.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace quorvex {
namespace {

std::string_view SkipLeadingBlanks(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  return text.substr(i);
}

template <typename Int>
Int ParseWhole(std::string_view text, Int fallback) {
  text = SkipLeadingBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return fallback;
  Int value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return fallback;
  return value;
}

}  // namespace

int ParseIntOr(std::string_view text, int fallback) { return ParseWhole<int>(text, fallback); }
long long ParseInt64Or(std::string_view text, long long fallback) { return ParseWhole<long long>(text, fallback); }

double ParseRealOr(std::string_view text, double fallback) {
  text = SkipLeadingBlanks(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  if (text.empty()) return fallback;
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return fallback;
  return value;
}

std::string FormatReal(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (error != std::errc()) return "0";
  return std::string(buffer, end);
}

}  // namespace quorvex

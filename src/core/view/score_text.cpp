#include "core/view/score_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

namespace quorvex {

std::string ScoreText(std::int32_t score) {
  const double value = std::max((std::atan(static_cast<double>(score)) / std::numbers::pi * 200 - 90) * 10, 10.0);
  char buffer[32];
  // to_chars rather than printf: the text must not take the locale's decimal separator.
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2).ptr;
  return std::string(buffer, end) + "%";
}

}  // namespace quorvex

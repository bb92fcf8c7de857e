#pragma once
#include <cstdint>
#include <string>

namespace quorvex {

// A score as the percentage the result list and the export show: (arctan(score) / pi * 200 - 90) * 10,
// at least 10, with two decimals and "%" (10 gives "36.55%"). Always "." as the decimal separator.
std::string ScoreText(std::int32_t score);

}  // namespace quorvex

#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// A whole number: optional leading blanks, an optional sign and decimal digits, nothing after them.
// Anything else (empty text, trailing junk, out of the int range) gives the default.
int ParseIntOr(std::string_view text, int fallback);
long long ParseInt64Or(std::string_view text, long long fallback);
// A real number written with "." as the decimal separator, whatever the locale.
double ParseRealOr(std::string_view text, double fallback);
// Shortest text that reads back to the same double, always with "." as the separator.
std::string FormatReal(double value);

}  // namespace quorvex

#pragma once
#include <string>
#include <string_view>

namespace quorvex {

// Milliseconds since midnight of a date-time (days since 1899-12-30, time of day as the fraction).
long long MillisecondOfDay(double dateTime);

// The name of a keyword's result file in SearchResult/: the keyword followed by the decimal
// milliseconds since midnight of its date.
// A keyword that cannot stand in a file name as it is (a "/", a NUL byte, or a name too long for the
// file system) gets a name of its own form instead: a readable part, the milliseconds, "-", a hash of
// the keyword and ".res". Such a name never holds a "/" and never ends in a digit, so it can never be
// the name of another keyword.
std::string ResultFileName(std::string_view keyword, double date);

}  // namespace quorvex

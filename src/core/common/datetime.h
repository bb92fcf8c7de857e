#pragma once
#include <ctime>
#include <string>

namespace quorvex {

// Date-times are reals: whole days since 1899-12-30, the time of day as the fraction (local time).
double DateTimeFromTime(std::time_t when);
std::time_t TimeFromDateTime(double dateTime);
double NowDateTime();  // to the millisecond
// "YYYY-MM-DD HH:MM:SS" in local time.
std::string FormatDateTime(double dateTime);

}  // namespace quorvex

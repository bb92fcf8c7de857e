#include "core/common/datetime.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace quorvex {
namespace {

constexpr double kSecondsPerDay = 86400.0;

// Days from 1899-12-30 to 1970-01-01.
constexpr double kUnixEpochDays = 25569.0;

// Days since 1970-01-01 of a proleptic Gregorian civil date (Howard Hinnant's algorithm).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

}  // namespace

double DateTimeFromTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  const long long days = DaysFromCivil(local.tm_year + 1900LL, static_cast<unsigned>(local.tm_mon + 1),
                                       static_cast<unsigned>(local.tm_mday));
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
  return static_cast<double>(days) + kUnixEpochDays + seconds / kSecondsPerDay;
}

std::time_t TimeFromDateTime(double dateTime) {
  // Stored date-times come from files: keep absurd values from overflowing the conversions below.
  if (!std::isfinite(dateTime) || std::fabs(dateTime) > 3e6) return 0;
  const double whole = std::floor(dateTime);
  const long long seconds = std::llround((dateTime - whole) * kSecondsPerDay);
  const long long daysSinceUnix = static_cast<long long>(whole - kUnixEpochDays);
  // Rebuild through mktime so that the result is local time, as DateTimeFromTime reads it.
  std::tm local{};
  local.tm_year = 70;
  local.tm_mon = 0;
  local.tm_mday = static_cast<int>(1 + daysSinceUnix);
  local.tm_sec = static_cast<int>(seconds);
  local.tm_isdst = -1;
  return std::mktime(&local);
}

double NowDateTime() {
  // To the millisecond: a result file is named from its keyword's date down to the millisecond.
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  const long long wholeMilliseconds = now.tv_nsec / 1000000;
  return DateTimeFromTime(now.tv_sec) + static_cast<double>(wholeMilliseconds) / (kSecondsPerDay * 1000.0);
}

std::string FormatDateTime(double dateTime) {
  const std::time_t when = TimeFromDateTime(dateTime);
  std::tm local{};
  localtime_r(&when, &local);
  char buffer[80];
  std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
  return buffer;
}

}  // namespace quorvex

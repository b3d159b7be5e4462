#include "schedule/OleDate.h"

#include <cmath>
#include <ctime>

namespace OleDate {

namespace {

// Days from 1 January 1970 to the given civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kDaysFrom1899To1970 = 25569;

}  // namespace

bool IsValid(double date) { return std::isfinite(date) && date >= kMin && date < kMax; }

double FromParts(int year, int month, int day, int hour, int minute, int second) {
  std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) +
                      kDaysFrom1899To1970;
  double fraction = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

double Now() {
  std::time_t t = std::time(nullptr);
  const std::tm* local = std::localtime(&t);
  if (!local) return 0.0;
  return FromParts(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                   local->tm_min, local->tm_sec);
}

std::int64_t DayNumber(double date) {
  return IsValid(date) ? static_cast<std::int64_t>(std::trunc(date)) : 0;
}

std::int64_t CalendarDaysBetween(double from, double to) { return DayNumber(to) - DayNumber(from); }

}  // namespace OleDate

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

// The civil date of a day counted from 1 January 1970.
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
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

Parts ToParts(double date) {
  Parts p;
  if (!IsValid(date)) return p;
  std::int64_t days = static_cast<std::int64_t>(std::trunc(date));
  // Before 1899 the whole part counts back and the fraction still forward.
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(date - std::trunc(date)) * 86400.0));
  if (seconds >= 86400) {  // rounded up to the next midnight
    seconds -= 86400;
    ++days;
  }
  CivilFromDays(days - kDaysFrom1899To1970, p.year, p.month, p.day);
  p.hour = static_cast<int>(seconds / 3600);
  p.minute = static_cast<int>(seconds / 60 % 60);
  p.second = static_cast<int>(seconds % 60);
  return p;
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

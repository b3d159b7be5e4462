#pragma once
// Dates as the script file keeps them: a double counting days since
// 30 December 1899 00:00 local time, the fraction being the time of day
// (before that day the whole part counts back and the fraction still counts
// forward: -1.25 is 29 December 1899, 06:00).
#include <cstdint>

namespace OleDate {

// The range the program accepts: 1 January 100 to 31 December 9999.
constexpr double kMin = -657434.0;
constexpr double kMax = 2958466.0;  // exclusive
bool IsValid(double date);

double FromParts(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
struct Parts {
  int year = 1899, month = 12, day = 30, hour = 0, minute = 0, second = 0;
};
// The calendar date and the time of day (to the nearest second) of a valid
// date; 30 December 1899 00:00 for an invalid one.
Parts ToParts(double date);
// The current local date and time, to the second.
double Now();
// The calendar day a date falls on (its whole part); 0 for an invalid date.
std::int64_t DayNumber(double date);
// Day boundaries crossed from `from` to `to` (negative when `to` is earlier).
std::int64_t CalendarDaysBetween(double from, double to);

}  // namespace OleDate

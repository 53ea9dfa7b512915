#pragma once
// The proleptic Gregorian calendar, the one calendar every part counts days with: reading dates,
// the distance between two contacts, the UTC conversion.

#include <cstdint>

namespace zelmor {

// A date of the proleptic Gregorian calendar.
struct CalendarDate {
  int year = 0, month = 0, day = 0;

  bool operator==(const CalendarDate& o) const { return year == o.year && month == o.month && day == o.day; }
  bool operator!=(const CalendarDate& o) const { return !(*this == o); }
};

bool IsLeapYear(int year);
// Days of a month; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);
// From year 1 on, a month 1..12 and a day that month has.
bool IsCalendarDate(const CalendarDate& date);

// Days since 1970-01-01 (negative before it): the difference of two is the days between them
// across month and year ends. For a month 1..12 and a day 1..31.
int64_t DayNumber(int64_t year, int month, int day);
// The date of a DayNumber.
CalendarDate DateOfDayNumber(int64_t day_number);
// Minutes since 1970-01-01 00:00, for an hour 0..23 and a minute 0..59.
inline int64_t MinuteNumber(int64_t year, int month, int day, int hour, int minute) {
  return (DayNumber(year, month, day) * 24 + hour) * 60 + minute;
}
// 0 for Sunday to 6 for Saturday; -1 for a date no month has (day outside 1..31, month outside
// 1..12, year before 1).
int DayOfWeek(const CalendarDate& date);

}  // namespace zelmor

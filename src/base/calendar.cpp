#include "base/calendar.h"

namespace zelmor {

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

bool IsCalendarDate(const CalendarDate& date) {
  return date.year >= 1 && date.day >= 1 && date.day <= DaysInMonth(date.year, date.month);
}

// Howard Hinnant's days_from_civil and civil_from_days: eras of 400 years, each year starting in
// March so that the leap day comes last.
int64_t DayNumber(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CalendarDate DateOfDayNumber(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  CalendarDate date;
  date.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  date.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  date.year = static_cast<int>(yoe + era * 400 + (date.month <= 2));
  return date;
}

int DayOfWeek(const CalendarDate& date) {
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31 || date.year < 1) return -1;
  // 1970-01-01 was a Thursday.
  const int64_t days = DayNumber(date.year, date.month, date.day) + 4;
  return static_cast<int>(days >= 0 ? days % 7 : (days % 7 + 7) % 7);
}

}  // namespace zelmor

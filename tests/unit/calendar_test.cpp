#include "base/calendar.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zelmor {
namespace {

TEST(CalendarTest, MonthLengthsAndLeapYears) {
  const struct {
    int year, month, days;
  } rows[] = {
      {2026, 1, 31}, {2026, 2, 28}, {2024, 2, 29}, {2000, 2, 29}, {2100, 2, 28}, {1900, 2, 28},
      {2026, 4, 30}, {2026, 6, 30}, {2026, 9, 30}, {2026, 11, 30}, {2026, 12, 31}, {2026, 0, 0}, {2026, 13, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DaysInMonth(row.year, row.month), row.days) << row.year << "-" << row.month;
    if (row.days > 0) {
      EXPECT_TRUE(IsCalendarDate({row.year, row.month, row.days})) << row.year << "-" << row.month;
      EXPECT_FALSE(IsCalendarDate({row.year, row.month, row.days + 1})) << row.year << "-" << row.month;
    }
  }
  EXPECT_FALSE(IsCalendarDate({2026, 1, 0}));
  EXPECT_FALSE(IsCalendarDate({0, 1, 1}));
  EXPECT_TRUE(IsCalendarDate({1, 1, 1}));
}

TEST(CalendarTest, MinutesBetweenAcrossDayMonthAndYearEnds) {
  const struct {
    const char* why;
    int from[5], to[5];
    int64_t minutes;
  } rows[] = {
      {"midnight", {2026, 12, 7, 23, 50}, {2026, 12, 8, 0, 10}, 20},
      {"month end", {2026, 4, 30, 23, 59}, {2026, 5, 1, 0, 0}, 1},
      {"leap day", {2024, 2, 28, 23, 0}, {2024, 3, 1, 1, 0}, 26 * 60},
      {"no leap day in 2100", {2100, 2, 28, 23, 0}, {2100, 3, 1, 1, 0}, 2 * 60},
      {"leap day in 2000", {2000, 2, 28, 23, 0}, {2000, 3, 1, 1, 0}, 26 * 60},
      {"year end", {2026, 12, 31, 23, 45}, {2027, 1, 1, 0, 14}, 29},
      {"a year", {2023, 6, 1, 0, 0}, {2024, 6, 1, 0, 0}, 366 * 1440},
      {"four centuries", {1601, 1, 1, 0, 0}, {2001, 1, 1, 0, 0}, int64_t{146097} * 1440},
      {"the epoch", {1969, 12, 31, 23, 59}, {1970, 1, 1, 0, 0}, 1},
  };
  for (const auto& row : rows) {
    const auto minute = [](const int (&t)[5]) { return MinuteNumber(t[0], t[1], t[2], t[3], t[4]); };
    EXPECT_EQ(minute(row.to) - minute(row.from), row.minutes) << row.why;
  }
  EXPECT_EQ(DayNumber(1970, 1, 1), 0);
}

TEST(CalendarTest, DayNumbersGiveTheirDatesBackAndTheWeekday) {
  const struct {
    CalendarDate date;
    int weekday;  // 0 Sunday
  } rows[] = {
      {{1970, 1, 1}, 4}, {{2026, 12, 8}, 2}, {{2000, 2, 29}, 2}, {{1, 1, 1}, 1},
      {{2024, 12, 31}, 2}, {{2100, 3, 1}, 1}, {{9999, 12, 31}, 5},
  };
  for (const auto& row : rows) {
    const int64_t n = DayNumber(row.date.year, row.date.month, row.date.day);
    EXPECT_EQ(DateOfDayNumber(n), row.date) << row.date.year << "-" << row.date.month << "-" << row.date.day;
    EXPECT_EQ(DayOfWeek(row.date), row.weekday) << row.date.year << "-" << row.date.month << "-" << row.date.day;
  }
  for (const CalendarDate none : {CalendarDate{2026, 13, 1}, CalendarDate{2026, 0, 1}, CalendarDate{2026, 1, 32},
                                  CalendarDate{2026, 1, 0}, CalendarDate{0, 1, 1}}) {
    EXPECT_EQ(DayOfWeek(none), -1) << none.year << "-" << none.month << "-" << none.day;
  }
  // Every day of four centuries follows the one before it.
  CalendarDate before = DateOfDayNumber(DayNumber(1601, 1, 1) - 1);
  for (int64_t n = DayNumber(1601, 1, 1); n < DayNumber(2001, 1, 1); ++n) {
    const CalendarDate d = DateOfDayNumber(n);
    ASSERT_TRUE(IsCalendarDate(d)) << n;
    const bool next_day = d.year == before.year && d.month == before.month && d.day == before.day + 1;
    const bool next_month = d.year == before.year && d.month == before.month + 1 && d.day == 1 &&
                            before.day == DaysInMonth(before.year, before.month);
    const bool next_year = d.year == before.year + 1 && d.month == 1 && d.day == 1 && before.month == 12 && before.day == 31;
    ASSERT_TRUE(next_day || next_month || next_year) << n;
    ASSERT_EQ(DayNumber(d.year, d.month, d.day), n);
    before = d;
  }
}

}  // namespace
}  // namespace zelmor

#include "base/time_zone.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace zelmor {

void PrintTo(const CivilTime& t, std::ostream* os) {
  *os << t.year << "-" << t.month << "-" << t.day << " " << t.hour << ":" << t.minute << ":" << t.second;
}

namespace {

struct ZoneRow {
  const char* why;
  int minutes_east;
  CivilTime local;
  std::optional<CivilTime> utc;
};

TEST(FixedOffsetZoneTest, AcrossDaysMonthsAndYears) {
  const ZoneRow rows[] = {
      {"Japan, morning: the day before in UTC", 540, {2026, 12, 7, 8, 30, 0}, CivilTime{2026, 12, 6, 23, 30, 0}},
      {"same day", 540, {2026, 12, 7, 9, 0, 0}, CivilTime{2026, 12, 7, 0, 0, 0}},
      {"first of a month", 540, {2026, 3, 1, 0, 0, 0}, CivilTime{2026, 2, 28, 15, 0, 0}},
      {"first of March in a leap year", 540, {2024, 3, 1, 8, 59, 0}, CivilTime{2024, 2, 29, 23, 59, 0}},
      {"new year", 540, {2027, 1, 1, 5, 0, 0}, CivilTime{2026, 12, 31, 20, 0, 0}},
      {"west of UTC into the next year", -300, {2026, 12, 31, 22, 15, 0}, CivilTime{2027, 1, 1, 3, 15, 0}},
      {"half-hour zone", 330, {2026, 1, 1, 5, 29, 0}, CivilTime{2025, 12, 31, 23, 59, 0}},
      {"UTC itself", 0, {2026, 6, 30, 23, 59, 0}, CivilTime{2026, 6, 30, 23, 59, 0}},
      {"no such date", 540, {2026, 2, 29, 12, 0, 0}, std::nullopt},
      {"no such time", 540, {2026, 2, 1, 24, 0, 0}, std::nullopt},
      {"before the calendar's first day", 540, {1, 1, 1, 0, 0, 0}, std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FixedOffsetZone(row.minutes_east).ToUtc(row.local), row.utc) << row.why;
  }
}

}  // namespace
}  // namespace zelmor

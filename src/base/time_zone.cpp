#include "base/time_zone.h"

#include "base/calendar.h"

namespace zelmor {

bool IsValid(const CivilTime& t) {
  return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
         t.second >= 0 && t.second <= 59;
}

CivilTime AddMinutes(const CivilTime& t, int64_t minutes) {
  const int64_t total = MinuteNumber(t.year, t.month, t.day, t.hour, t.minute) + minutes;
  const int64_t days = total >= 0 ? total / 1440 : -((-total + 1439) / 1440);
  const int64_t in_day = total - days * 1440;
  CivilTime out = t;
  const CalendarDate date = DateOfDayNumber(days);
  out.year = date.year;
  out.month = date.month;
  out.day = date.day;
  out.hour = static_cast<int>(in_day / 60);
  out.minute = static_cast<int>(in_day % 60);
  return out;
}

std::optional<CivilTime> FixedOffsetZone::ToUtc(const CivilTime& local) const {
  if (!IsValid(local)) return std::nullopt;
  const CivilTime utc = AddMinutes(local, -static_cast<int64_t>(minutes_east_));
  if (!IsValid(utc)) return std::nullopt;
  return utc;
}

}  // namespace zelmor

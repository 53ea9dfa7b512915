#include "adif/time_zone.h"

#include "entry/log_format.h"

namespace zelmor::adif {
namespace {

// Days since 1970-01-01 (Howard Hinnant's days_from_civil).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

}  // namespace

bool IsValid(const CivilTime& t) {
  return t.year >= 1 && t.year <= 9999 && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
         t.day <= entry::DaysInMonth(t.year, t.month) && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 &&
         t.second >= 0 && t.second <= 59;
}

CivilTime AddMinutes(const CivilTime& t, int64_t minutes) {
  const int64_t total = (DaysFromCivil(t.year, t.month, t.day) * 24 + t.hour) * 60 + t.minute + minutes;
  const int64_t days = total >= 0 ? total / 1440 : -((-total + 1439) / 1440);
  const int64_t in_day = total - days * 1440;
  CivilTime out = t;
  CivilFromDays(days, out.year, out.month, out.day);
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

}  // namespace zelmor::adif

#pragma once
// Local wall-clock time to UTC. A log line holds the computer's local time of the contact; ADIF
// and LoTW want UTC, and LoTW's confirmations are matched in UTC. The computer's rules (with their
// summer time for that date) are in time_zone_win.h; fixed offsets serve the tests and zones
// without summer time.

#include <cstdint>
#include <optional>

namespace zelmor {

struct CivilTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;

  bool operator==(const CivilTime& o) const {
    return year == o.year && month == o.month && day == o.day && hour == o.hour && minute == o.minute &&
           second == o.second;
  }
};

// A date of the proleptic Gregorian calendar from year 1 to 9999, a time from 00:00:00 to 23:59:59.
bool IsValid(const CivilTime& t);

// `t` moved by `minutes` (either way) across days, months and years. `t` must be valid.
CivilTime AddMinutes(const CivilTime& t, int64_t minutes);

class TimeZoneRules {
 public:
  virtual ~TimeZoneRules() = default;
  // The UTC time of a local time, or nothing when it cannot be converted (an invalid time, a time
  // outside the rules' years).
  virtual std::optional<CivilTime> ToUtc(const CivilTime& local) const = 0;
};

// A zone that is always the same number of minutes east of UTC (Japan: +540).
class FixedOffsetZone : public TimeZoneRules {
 public:
  explicit FixedOffsetZone(int minutes_east) : minutes_east_(minutes_east) {}
  std::optional<CivilTime> ToUtc(const CivilTime& local) const override;

 private:
  int minutes_east_;
};

}  // namespace zelmor

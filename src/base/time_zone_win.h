#pragma once
// The computer's time-zone rules, with the summer time that applied on the date converted.

#include "base/time_zone.h"

namespace zelmor {

class ComputerTimeZone : public TimeZoneRules {
 public:
  std::optional<CivilTime> ToUtc(const CivilTime& local) const override;
};

}  // namespace zelmor

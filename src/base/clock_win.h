#pragma once

#include "base/clock.h"

namespace zelmor::base {

class SystemClock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace zelmor::base

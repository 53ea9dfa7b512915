#pragma once
// The local wall clock, behind an interface so that the rules that read it are tested at any
// moment of the day without waiting for it.

namespace zelmor {

// Local wall-clock time, as the operator reads it.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

}  // namespace zelmor

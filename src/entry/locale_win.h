#pragma once
// The user's locale settings and the local clock, as the log lines need them.

#include "app/ports.h"

namespace zelmor::entry {

// Short-date picture, time separator and decimal mark of the user's locale, read afresh on each
// call so that a change in the control panel applies to the next entry. A setting that cannot be
// read keeps the LocaleFormats default.
LocaleFormats CurrentLocaleFormats();

class SystemClock : public Clock {
 public:
  LocalTime Now() override;
};

}  // namespace zelmor::entry

#pragma once
// The user's locale settings, as the log lines need them.

#include "entry/locale.h"

namespace zelmor::entry {

// Short-date picture, time separator and decimal mark of the user's locale, read afresh on each
// call so that a change in the control panel applies to the next entry. A setting that cannot be
// read keeps the LocaleFormats default.
LocaleFormats CurrentLocaleFormats();

class UserLocale final : public Locale {
 public:
  LocaleFormats Formats() override { return CurrentLocaleFormats(); }
};

}  // namespace zelmor::entry

#pragma once
// The user's locale settings that dates, times and numbers in log lines follow.

#include <string>

namespace zelmor::entry {

struct LocaleFormats {
  std::wstring short_date = L"yyyy/MM/dd";  // the platform's short-date picture
  std::wstring time_separator = L":";
  std::wstring decimal_mark = L".";
};

// The user's locale, read when it is needed: a change in the control panel applies to the next
// entry or command.
class Locale {
 public:
  virtual ~Locale() = default;
  virtual LocaleFormats Formats() = 0;
};

}  // namespace zelmor::entry

#pragma once
// The user's locale settings that dates, times and numbers in log lines follow.

#include <string>

namespace zelmor::entry {

struct LocaleFormats {
  std::wstring short_date = L"yyyy/MM/dd";  // the platform's short-date picture
  std::wstring time_separator = L":";
  std::wstring decimal_mark = L".";
};

}  // namespace zelmor::entry

#include "entry/locale_win.h"

#include <windows.h>

#include <string>

namespace zelmor::entry {
namespace {

// The setting's text, or `fallback` when it cannot be read or is empty.
std::wstring LocaleSetting(LCTYPE type, const std::wstring& fallback) {
  const int size = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, nullptr, 0);
  if (size <= 1) return fallback;
  std::wstring text(static_cast<size_t>(size), L'\0');
  const int written = GetLocaleInfoW(LOCALE_USER_DEFAULT, type, text.data(), size);
  if (written <= 1) return fallback;
  text.resize(static_cast<size_t>(written - 1));  // without the terminating null
  return text;
}

}  // namespace

LocaleFormats CurrentLocaleFormats() {
  LocaleFormats formats;
  formats.short_date = LocaleSetting(LOCALE_SSHORTDATE, formats.short_date);
  formats.time_separator = LocaleSetting(LOCALE_STIME, formats.time_separator);
  formats.decimal_mark = LocaleSetting(LOCALE_SDECIMAL, formats.decimal_mark);
  return formats;
}

}  // namespace zelmor::entry

#include "settings/profile_store_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/paths_win.h"
#include "settings/keys.h"

namespace zelmor::settings {
namespace {

// Wine's WritePrivateProfileStringA widens the value into a counted string of at most 65,535
// bytes and does not notice when it does not fit: from 32,767 UTF-16 characters on it stores
// (and frees) whatever an uninitialised pointer holds, which crashed the program or wrote
// garbage, and an ANSI value of 64 KB or more has its length wrapped and is cut short.
constexpr size_t kLongestNarrowValue = 32766;

}  // namespace

std::wstring IniProfileStore::Path() const {
  return path_.empty() ? platform::BesideExecutable(kFileName) : path_;
}

std::wstring IniProfileStore::Get(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& fallback) {
  const std::string file = platform::ToAnsi(Path());
  const std::string a_section = platform::ToAnsi(section);
  const std::string a_key = platform::ToAnsi(key);
  const std::string a_fallback = platform::ToAnsi(fallback);
  // The whole value comes back: a fixed small buffer would cut a long template, possibly in the
  // middle of a double-byte character. The buffer grows until the value fits.
  std::string buffer(256, '\0');
  for (;;) {
    const DWORD got = GetPrivateProfileStringA(a_section.c_str(), a_key.c_str(), a_fallback.c_str(),
                                               buffer.data(), static_cast<DWORD>(buffer.size()),
                                               file.c_str());
    if (got + 1 < buffer.size() || buffer.size() >= (64u << 20)) {
      buffer.resize(got);
      break;
    }
    buffer.assign(buffer.size() * 4, '\0');
  }
  const auto nul = buffer.find('\0');
  if (nul != std::string::npos) buffer.resize(nul);
  return platform::FromAnsi(buffer);
}

void IniProfileStore::Put(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
  const std::wstring path = Path();
  const std::string a_value = platform::ToAnsi(value);
  // The value as the file will hold it: what the ANSI code page can carry of it.
  const std::wstring stored = platform::FromAnsi(a_value);
  if (stored.size() <= kLongestNarrowValue) {
    WritePrivateProfileStringA(platform::ToAnsi(section).c_str(), platform::ToAnsi(key).c_str(),
                               a_value.c_str(), platform::ToAnsi(path).c_str());
    return;
  }
  // The wide function keeps an ANSI file in the ANSI code page, so the file gets the same bytes
  // the narrow one would have written.
  WritePrivateProfileStringW(section.c_str(), key.c_str(), stored.c_str(), path.c_str());
}

}  // namespace zelmor::settings

#include "settings/profile_store_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/paths_win.h"
#include "settings/keys.h"

namespace zelmor::settings {

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
  WritePrivateProfileStringA(platform::ToAnsi(section).c_str(), platform::ToAnsi(key).c_str(),
                             platform::ToAnsi(value).c_str(), platform::ToAnsi(Path()).c_str());
}

}  // namespace zelmor::settings

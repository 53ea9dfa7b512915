#include "settings/profile_store_win.h"

#include <windows.h>

#include "base/atomic_file_win.h"
#include "base/codepage_win.h"
#include "base/grow_buffer.h"
#include "base/handles_win.h"
#include "base/paths_win.h"
#include "base/text.h"
#include "settings/keys.h"

namespace zelmor::settings {
namespace {

// Wine's WritePrivateProfileStringA widens the value into a counted string of at most 65,535
// bytes and does not notice when it does not fit: from 32,767 UTF-16 characters on it stores
// (and frees) whatever an uninitialised pointer holds, which crashed the program or wrote
// garbage, and an ANSI value of 64 KB or more has its length wrapped and is cut short.
constexpr size_t kLongestNarrowValue = 32766;

// A list the profile functions hand back as NUL-separated strings. A buffer too small gets the list
// cut short and two characters less than its size back, so it grows until the list fits.
template <typename Call>
std::string WholeList(Call call) {
  return base::GrowUntilFits<char>(1024, 2, [&](char* buffer, DWORD size) { return call(buffer, size); });
}

// Every section with its lines, as the profile functions read `file`.
std::string ProfileContent(const std::string& file) {
  const std::string names =
      WholeList([&](char* buffer, DWORD size) { return GetPrivateProfileSectionNamesA(buffer, size, file.c_str()); });
  std::string content;
  for (size_t start = 0; start < names.size();) {
    size_t end = names.find('\0', start);
    if (end == std::string::npos) end = names.size();
    const std::string name = names.substr(start, end - start);
    content += name + '\n' + WholeList([&](char* buffer, DWORD size) {
                 return GetPrivateProfileSectionA(name.c_str(), buffer, size, file.c_str());
               }) + '\n';
    start = end + 1;
  }
  return content;
}

// The profile functions keep what they last wrote; this makes their next read come from the disk.
void ForgetCachedProfile(const std::string& file) {
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

bool WriteValue(const std::wstring& section, const std::wstring& key, const std::wstring& value,
                const std::wstring& file) {
  const std::string a_value = base::ToAnsi(value);
  // The value as the file will hold it: what the ANSI code page can carry of it.
  const std::wstring stored = base::FromAnsi(a_value);
  if (stored.size() <= kLongestNarrowValue) {
    return WritePrivateProfileStringA(base::ToAnsi(section).c_str(), base::ToAnsi(key).c_str(), a_value.c_str(),
                                      base::ToAnsi(file).c_str()) != FALSE;
  }
  // The wide function keeps an ANSI file in the ANSI code page, so the file gets the same bytes
  // the narrow one would have written.
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), stored.c_str(), file.c_str()) != FALSE;
}

}  // namespace

std::wstring IniProfileStore::Path() const {
  return path_.empty() ? base::BesideExecutable(kFileName) : path_;
}

std::optional<std::wstring> IniProfileStore::Get(const std::wstring& section, const std::wstring& key) {
  const std::string file = base::ToAnsi(Path());
  const std::string a_section = base::ToAnsi(section);
  const std::string a_key = base::ToAnsi(key);
  // The whole value comes back: a fixed small buffer would cut a long template, possibly in the
  // middle of a double-byte character. The buffer grows until the value fits.
  const auto read = [&](const char* fallback) {
    std::string buffer = base::GrowUntilFits<char>(256, 1, [&](char* into, DWORD size) {
      return GetPrivateProfileStringA(a_section.c_str(), a_key.c_str(), fallback, into, size, file.c_str());
    });
    const auto nul = buffer.find('\0');
    if (nul != std::string::npos) buffer.resize(nul);
    return buffer;
  };
  const std::string value = read("");
  if (!value.empty()) return base::FromAnsi(value);
  // Empty, or not there at all: only a missing key gives back a fallback that is not empty. No
  // stored value can be taken for "missing" this way.
  if (!read("-").empty()) return std::nullopt;
  return std::wstring();
}

std::vector<std::pair<std::wstring, std::wstring>> IniProfileStore::Entries(const std::wstring& section) {
  const std::string file = base::ToAnsi(Path());
  const std::string a_section = base::ToAnsi(section);
  const std::string lines = WholeList([&](char* buffer, DWORD size) {
    return GetPrivateProfileSectionA(a_section.c_str(), buffer, size, file.c_str());
  });
  std::vector<std::pair<std::wstring, std::wstring>> entries;
  for (size_t start = 0; start < lines.size();) {
    size_t end = lines.find('\0', start);
    if (end == std::string::npos) end = lines.size();
    const std::string line = lines.substr(start, end - start);
    start = end + 1;
    // A line without "=" comes back as it stands, and so may a comment.
    const size_t equals = line.find('=');
    if (equals == std::string::npos || line[0] == ';') continue;
    std::wstring key = TrimSpaces(base::FromAnsi(line.substr(0, equals)));
    if (key.empty()) continue;
    entries.emplace_back(std::move(key), TrimSpaces(base::FromAnsi(line.substr(equals + 1))));
  }
  return entries;
}

bool IniProfileStore::Put(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) {
  const std::wstring path = Path();
  // The profile functions rewrite the whole file in place, and do not notice when a write falls
  // short: on a full disk, or in a crash, the file would be left cut, taking the template and
  // every later setting with it. They work on a copy instead, which replaces the file only once
  // it reads back whole. A write that cannot be made whole is lost, as a refused write always was.
  std::string bytes;
  const DWORD read = base::ReadFileContent(path, bytes);
  if (read != ERROR_SUCCESS && read != ERROR_FILE_NOT_FOUND) return false;
  const std::wstring copy = base::TemporarySibling(path);
  if (read == ERROR_SUCCESS && base::WriteAndFlush(copy, bytes, CREATE_NEW) != ERROR_SUCCESS) {
    DeleteFileW(copy.c_str());
    return false;
  }
  if (!WriteValue(section, key, value, copy)) {
    DeleteFileW(copy.c_str());
    return false;
  }
  const std::string a_copy = base::ToAnsi(copy);
  const std::string intended = ProfileContent(a_copy);
  ForgetCachedProfile(a_copy);
  const bool whole = ProfileContent(a_copy) == intended;
  ForgetCachedProfile(a_copy);
  if (!whole || base::FlushFile(copy) != ERROR_SUCCESS ||
      !MoveFileExW(copy.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(copy.c_str());
    return false;
  }
  return true;
}

}  // namespace zelmor::settings

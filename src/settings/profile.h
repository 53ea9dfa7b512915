#pragma once
// The settings file: one section at a time, chosen by CurrentSection, as every caller expects.

#include <string>
#include <utility>
#include <vector>

namespace zelmor::settings {

// The file behind the settings: "Zelmor.ini" beside the executable on Windows.
class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The whole stored value, or `fallback` when the file, section or key is missing.
  virtual std::wstring Get(const std::wstring& section, const std::wstring& key,
                           const std::wstring& fallback) = 0;
  // Failures are not reported: a refused write is lost and the next start finds older values.
  virtual void Put(const std::wstring& section, const std::wstring& key,
                   const std::wstring& value) = 0;
  // Every key of the section with its value, spaces around both removed, for sections whose keys
  // the operator chooses. Lines without "=" and comments are not entries; a missing section has none.
  virtual std::vector<std::pair<std::wstring, std::wstring>> Entries(const std::wstring& section) = 0;
};

class Profile {
 public:
  explicit Profile(ProfileStore& store) : store_(store) {}

  std::wstring CurrentSection;

  // A missing key reads back as the section name itself; callers compare with it.
  void ProfileRead(const std::wstring& key, std::wstring& value);
  void ProfileWrite(const std::wstring& key, const std::wstring& value);
  // Every key of CurrentSection with its value.
  std::vector<std::pair<std::wstring, std::wstring>> ProfileEntries();

 private:
  ProfileStore& store_;
};

}  // namespace zelmor::settings

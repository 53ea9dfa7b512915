#pragma once

#include <string>

#include "settings/profile.h"

namespace zelmor::settings {

// "Zelmor.ini" beside the executable, through the ANSI profile functions, so that the file stays
// in the system code page that other tools of the operator read.
class IniProfileStore : public ProfileStore {
 public:
  IniProfileStore() = default;
  // For tests: a file of the caller's choosing instead of the one beside the executable.
  explicit IniProfileStore(std::wstring path) : path_(std::move(path)) {}

  std::optional<std::wstring> Get(const std::wstring& section, const std::wstring& key) override;
  bool Put(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  std::vector<std::pair<std::wstring, std::wstring>> Entries(const std::wstring& section) override;

  // The file, determined afresh on every call.
  std::wstring Path() const;

 private:
  std::wstring path_;
};

}  // namespace zelmor::settings

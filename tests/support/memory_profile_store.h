#pragma once
// Settings kept in memory, for the tests of everything that reads and writes "Zelmor.ini".

#include <map>
#include <string>

#include "settings/profile.h"

namespace zelmor::settings {

// Section and key names match without regard to case, as the platform's profile functions do.
class MemoryProfileStore : public ProfileStore {
 public:
  std::wstring Get(const std::wstring& section, const std::wstring& key,
                   const std::wstring& fallback) override;
  void Put(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  bool Has(const std::wstring& section, const std::wstring& key) const;

 private:
  static std::wstring Fold(const std::wstring& name);
  std::map<std::wstring, std::map<std::wstring, std::wstring>> sections_;
};

}  // namespace zelmor::settings

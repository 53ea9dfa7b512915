#pragma once
// Settings kept in memory, for the tests of everything that reads and writes "Zelmor.ini".

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "settings/profile.h"

namespace zelmor::settings {

// Section and key names match without regard to case, as the platform's profile functions do.
class MemoryProfileStore : public ProfileStore {
 public:
  std::wstring Get(const std::wstring& section, const std::wstring& key,
                   const std::wstring& fallback) override;
  void Put(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  // In the order of the keys' first writes, as a file would list them.
  std::vector<std::pair<std::wstring, std::wstring>> Entries(const std::wstring& section) override;
  bool Has(const std::wstring& section, const std::wstring& key) const;

 private:
  static std::wstring Fold(const std::wstring& name);
  // Each section's keys as first written, with their values; found by the folded name.
  using Section = std::vector<std::pair<std::wstring, std::wstring>>;
  // The entry's index, or the section's size when the key is not in it.
  static size_t Find(const Section& section, const std::wstring& key);
  std::map<std::wstring, Section> sections_;
};

}  // namespace zelmor::settings

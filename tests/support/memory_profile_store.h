#pragma once
// Settings kept in memory, for the tests of everything that reads and writes "Zelmor.ini".

#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/profile.h"

namespace zelmor::settings {

// Section and key names match without regard to case, as the platform's profile functions do.
class MemoryProfileStore : public ProfileStore {
 public:
  std::optional<std::wstring> Get(const std::wstring& section, const std::wstring& key) override;
  bool Put(const std::wstring& section, const std::wstring& key, const std::wstring& value) override;
  // In the order of the keys' first writes, as a file would list them.
  std::vector<std::pair<std::wstring, std::wstring>> Entries(const std::wstring& section) override;

  // For the tests' own looks at the file: counted in no read.
  std::wstring Get(const std::wstring& section, const std::wstring& key, const std::wstring& fallback) const;
  bool Has(const std::wstring& section, const std::wstring& key) const;

  // Reads of the program (Get and Entries) so far.
  int reads = 0;
  // Every Put fails and changes nothing, as on a full disk or in a read-only folder.
  bool refuse_writes = false;

 private:
  static std::wstring Fold(const std::wstring& name);
  // Each section's keys as first written, with their values; found by the folded name.
  using Section = std::vector<std::pair<std::wstring, std::wstring>>;
  // The entry's index, or the section's size when the key is not in it.
  static size_t Find(const Section& section, const std::wstring& key);
  const std::wstring* Stored(const std::wstring& section, const std::wstring& key) const;
  std::map<std::wstring, Section> sections_;
};

}  // namespace zelmor::settings

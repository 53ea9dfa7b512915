#include "settings/profile.h"

namespace zelmor::settings {

void Profile::ProfileRead(const std::wstring& key, std::wstring& value) {
  value = store_.Get(CurrentSection, key, CurrentSection);
}

void Profile::ProfileWrite(const std::wstring& key, const std::wstring& value) {
  store_.Put(CurrentSection, key, value);
}

std::vector<std::pair<std::wstring, std::wstring>> Profile::ProfileEntries() { return store_.Entries(CurrentSection); }

}  // namespace zelmor::settings

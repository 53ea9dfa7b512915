#include "memory_profile_store.h"

#include <cwctype>

namespace zelmor::settings {

std::wstring MemoryProfileStore::Fold(const std::wstring& name) {
  std::wstring folded = name;
  for (auto& c : folded) c = static_cast<wchar_t>(std::towlower(c));
  return folded;
}

std::wstring MemoryProfileStore::Get(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& fallback) {
  auto s = sections_.find(Fold(section));
  if (s == sections_.end()) return fallback;
  auto k = s->second.find(Fold(key));
  return k == s->second.end() ? fallback : k->second;
}

void MemoryProfileStore::Put(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value) {
  sections_[Fold(section)][Fold(key)] = value;
}

bool MemoryProfileStore::Has(const std::wstring& section, const std::wstring& key) const {
  auto s = sections_.find(Fold(section));
  return s != sections_.end() && s->second.count(Fold(key)) != 0;
}

}  // namespace zelmor::settings

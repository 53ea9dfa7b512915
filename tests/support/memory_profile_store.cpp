#include "memory_profile_store.h"

#include <cwctype>

namespace zelmor::settings {

std::wstring MemoryProfileStore::Fold(const std::wstring& name) {
  std::wstring folded = name;
  for (auto& c : folded) c = static_cast<wchar_t>(std::towlower(c));
  return folded;
}

size_t MemoryProfileStore::Find(const Section& section, const std::wstring& key) {
  const std::wstring folded = Fold(key);
  size_t i = 0;
  while (i < section.size() && Fold(section[i].first) != folded) ++i;
  return i;
}

std::wstring MemoryProfileStore::Get(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& fallback) {
  auto s = sections_.find(Fold(section));
  if (s == sections_.end()) return fallback;
  const size_t i = Find(s->second, key);
  return i < s->second.size() ? s->second[i].second : fallback;
}

void MemoryProfileStore::Put(const std::wstring& section, const std::wstring& key,
                             const std::wstring& value) {
  Section& s = sections_[Fold(section)];
  const size_t i = Find(s, key);
  if (i < s.size()) {
    s[i].second = value;
  } else {
    s.emplace_back(key, value);
  }
}

std::vector<std::pair<std::wstring, std::wstring>> MemoryProfileStore::Entries(const std::wstring& section) {
  auto s = sections_.find(Fold(section));
  return s == sections_.end() ? Section() : s->second;
}

bool MemoryProfileStore::Has(const std::wstring& section, const std::wstring& key) const {
  auto s = sections_.find(Fold(section));
  return s != sections_.end() && Find(s->second, key) < s->second.size();
}

}  // namespace zelmor::settings

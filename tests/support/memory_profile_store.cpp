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

const std::wstring* MemoryProfileStore::Stored(const std::wstring& section, const std::wstring& key) const {
  auto s = sections_.find(Fold(section));
  if (s == sections_.end()) return nullptr;
  const size_t i = Find(s->second, key);
  return i < s->second.size() ? &s->second[i].second : nullptr;
}

std::optional<std::wstring> MemoryProfileStore::Get(const std::wstring& section, const std::wstring& key) {
  ++reads;
  const std::wstring* value = Stored(section, key);
  if (!value) return std::nullopt;
  return *value;
}

std::wstring MemoryProfileStore::Get(const std::wstring& section, const std::wstring& key,
                                     const std::wstring& fallback) const {
  const std::wstring* value = Stored(section, key);
  return value ? *value : fallback;
}

bool MemoryProfileStore::Put(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  if (refuse_writes) return false;
  Section& s = sections_[Fold(section)];
  const size_t i = Find(s, key);
  if (i < s.size()) {
    s[i].second = value;
  } else {
    s.emplace_back(key, value);
  }
  return true;
}

std::vector<std::pair<std::wstring, std::wstring>> MemoryProfileStore::Entries(const std::wstring& section) {
  ++reads;
  auto s = sections_.find(Fold(section));
  return s == sections_.end() ? Section() : s->second;
}

bool MemoryProfileStore::Has(const std::wstring& section, const std::wstring& key) const {
  return Stored(section, key) != nullptr;
}

}  // namespace zelmor::settings

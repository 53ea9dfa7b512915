#include "settings/profile.h"

#include "settings/keys.h"

namespace zelmor::settings {
namespace {

// The keys whose stored files may hold their section's name for "missing".
struct SectionKey {
  const wchar_t* section;
  const wchar_t* key;
};
constexpr SectionKey kSectionNameMeansMissing[] = {
    {kPositionSection, kTopKey},     {kPositionSection, kLeftKey},      {kPositionSection, kWidthKey},
    {kPositionSection, kHeightKey},  {kMainSection, kTemplateKey},      {kMainSection, kLogFolderKey},
};

bool SectionNameMeansMissing(const std::wstring& section, const std::wstring& key) {
  for (const SectionKey& old : kSectionNameMeansMissing) {
    if (section == old.section && key == old.key) return true;
  }
  return false;
}

}  // namespace

std::optional<std::wstring> Profile::ProfileRead(const std::wstring& section, const std::wstring& key) {
  std::optional<std::wstring> value = store_.Get(section, key);
  // The comparison is exact, as the original program's was: "logpos" is a value like any other.
  if (value && *value == section && SectionNameMeansMissing(section, key)) return std::nullopt;
  return value;
}

bool Profile::ProfileWrite(const std::wstring& section, const std::wstring& key, const std::wstring& value) {
  const bool stored = store_.Put(section, key, value);
  if (stored && watcher_) watcher_->OnProfileWritten(section, key);
  return stored;
}

std::vector<std::pair<std::wstring, std::wstring>> Profile::ProfileEntries(const std::wstring& section) {
  return store_.Entries(section);
}

}  // namespace zelmor::settings

#include "contact/satellite_names.h"

#include <optional>
#include <unordered_map>

#include "base/text.h"
#include "contact/lotw_satellites.h"

namespace zelmor::contact {
namespace {

// What Key leaves out of a name LoTW does not know (after HalfWidth).
bool TellsNothing(wchar_t c) { return IsWordSpace(c) || c == L'-' || c == L'_'; }

// A name without what does not tell satellites apart, for names LoTW does not know.
std::wstring PlainKey(const std::wstring& name) {
  std::wstring key;
  for (wchar_t c : name) {
    c = HalfWidth(c);
    if (!TellsNothing(c)) key += AsciiUpper(c);
  }
  return key;
}

std::wstring Wide(const char* text) { return std::wstring(text, text + std::char_traits<char>::length(text)); }

// LoTW's names and the other spellings, by key; a name's own key wins over another's spelling.
const std::unordered_map<std::wstring, std::wstring>& BuiltIn() {
  static const auto* table = [] {
    auto* map = new std::unordered_map<std::wstring, std::wstring>();
    for (const char* name : kLotwSatellites) map->emplace(SpellingKey(Wide(name)), Wide(name));
    for (const auto& s : kLotwSpellings) map->emplace(SpellingKey(Wide(s.spelling)), Wide(s.name));
    return map;
  }();
  return *table;
}

// The name without a note in brackets or parentheses at its end, or nothing when it has none.
std::optional<std::wstring> WithoutNote(const std::wstring& name) {
  if (name.empty()) return std::nullopt;
  const wchar_t close = name.back();
  const wchar_t open = close == L']' ? L'[' : close == L')' ? L'(' : 0;
  if (open == 0) return std::nullopt;
  const size_t at = name.rfind(open);
  if (at == std::wstring::npos || at == 0) return std::nullopt;
  return TrimSpaces(name.substr(0, at));
}

}  // namespace

std::wstring SpellingKey(const std::wstring& name) {
  std::wstring kept;
  for (wchar_t c : name) {
    c = HalfWidth(c);
    if (IsAsciiLetter(c) || IsAsciiDigit(c) || (c >= 0x80 && !IsWordSpace(c))) kept += AsciiUpper(c);
  }
  // Leading zeros of each number go; a number that is all zeros keeps one.
  std::wstring key;
  bool leading = false;  // still at the zeros a number starts with
  for (size_t i = 0; i < kept.size(); ++i) {
    if (!IsAsciiDigit(kept[i])) {
      leading = false;
    } else {
      if (i == 0 || !IsAsciiDigit(kept[i - 1])) leading = true;
      if (leading && kept[i] == L'0' && i + 1 < kept.size() && IsAsciiDigit(kept[i + 1])) continue;
      leading = false;
    }
    key += kept[i];
  }
  return key;
}

SatelliteNames::SatelliteNames(const std::vector<std::pair<std::wstring, std::wstring>>& operator_spellings) {
  for (const auto& [spelling, name] : operator_spellings) {
    const std::wstring value = TrimSpaces(name);
    const std::wstring key = SpellingKey(spelling);
    if (!value.empty() && !key.empty()) operator_spellings_[key] = value;
  }
}

const std::wstring* SatelliteNames::Find(const std::wstring& key) const {
  if (key.empty()) return nullptr;
  if (auto it = operator_spellings_.find(key); it != operator_spellings_.end()) return &it->second;
  const auto& built_in = BuiltIn();
  if (auto it = built_in.find(key); it != built_in.end()) return &it->second;
  return nullptr;
}

SatelliteName SatelliteNames::Lookup(const std::wstring& tracker_name) const {
  const std::wstring name = TrimSpaces(tracker_name);
  std::optional<std::wstring> candidate = name;
  while (candidate) {
    if (const std::wstring* found = Find(SpellingKey(*candidate))) return {*found, true};
    candidate = WithoutNote(*candidate);
  }
  return {name, false};
}

std::wstring SatelliteNames::Key(const std::wstring& name) const {
  const SatelliteName found = Lookup(name);
  return PlainKey(found.known ? found.name : name);
}

bool NamesSatellite(std::wstring_view name) {
  for (wchar_t c : name) {
    if (!TellsNothing(HalfWidth(c))) return true;
  }
  return false;
}

}  // namespace zelmor::contact

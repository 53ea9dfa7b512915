#pragma once
// Satellite names as LoTW spells them. LoTW rejects a SAT_NAME it does not know, and tracking
// programs spell names their own way ("ISS" for ARISS, "AO-07" for AO-7, "so50").
//
// A name is looked up by its key: without case, spaces, hyphens or other punctuation, and without
// leading zeros in its numbers, so "AO-07", "ao 7" and "AO7" all find AO-7. When the whole name is
// not found, a mode or transponder note at its end in brackets or parentheses is left off and the
// rest is looked up ("AO-7[B]", "FO-29 (JD)"). The operator's own spellings come first, then
// LoTW's names, then the other names that TQSL's list gives for its satellites ("Fox-1A").
//
// The operator's spellings live in "Zelmor.ini", section "SatNames" (settings::kSatNamesSection):
// each key is a spelling of the tracking program, its value the name to write, for example
//
//   [SatNames]
//   IO-117=IO-117
//   GREENCUBE=IO-117
//
// A spelling mapped there counts as known, also when the name is not on this program's copy of
// LoTW's list (LoTW adds satellites between versions of TQSL). Keys are read like all names here;
// an entry with an empty value is ignored.

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace zelmor::adif {

// The key a spelling is looked up by.
std::wstring SpellingKey(const std::wstring& name);

struct SatelliteName {
  std::wstring name;  // LoTW's spelling, or the name as it came when unknown (spaces around removed)
  bool known = false;
};

class SatelliteNames {
 public:
  // LoTW's names and their other spellings only.
  SatelliteNames() = default;
  // With the operator's spellings from section "SatNames" (key, value).
  explicit SatelliteNames(const std::vector<std::pair<std::wstring, std::wstring>>& operator_spellings);

  SatelliteName Lookup(const std::wstring& tracker_name) const;

 private:
  const std::wstring* Find(const std::wstring& key) const;

  std::map<std::wstring, std::wstring> operator_spellings_;  // key -> name
};

}  // namespace zelmor::adif

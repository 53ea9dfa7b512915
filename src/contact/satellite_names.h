#pragma once
// Satellite names as LoTW spells them, and which names are one satellite. LoTW rejects a SAT_NAME
// it does not know, and tracking programs spell names their own way ("ISS" for ARISS, "AO-07" for
// AO-7, "so50"); a log kept over the years holds several spellings of one satellite.
//
// A name is looked up by its key: without case, full-width forms, spaces, hyphens or other
// punctuation, and without leading zeros in its numbers, so "AO-07", "ao 7", "ＡＯ－７" and "AO7"
// all find AO-7. When the whole name is not found, a mode or transponder note at its end in
// brackets or parentheses is left off and the rest is looked up ("AO-7[B]", "FO-29 (JD)"). The
// operator's own spellings come first, then LoTW's names, then the other names that TQSL's list
// gives for its satellites ("Fox-1A").
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
#include <string_view>
#include <utility>
#include <vector>

namespace zelmor::contact {

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

  // Which satellite a name means, for counting contacts by satellite: the key of the name
  // Lookup finds when it knows the name, so that names the ADIF export writes as one SAT_NAME are
  // one satellite ("AO-07" and "ＡＯ－７" are AO-7, "ISS" is ARISS). A name it does not know is
  // the satellite of that name, without the differences that do not tell satellites apart: ASCII
  // case, full-width letters and digits, and spaces, hyphens and underscores ("XY-1", "xy 1" and
  // "ＸＹ＿１" are one). Empty when nothing is left.
  std::wstring Key(const std::wstring& name) const;

 private:
  const std::wstring* Find(const std::wstring& key) const;

  std::map<std::wstring, std::wstring> operator_spellings_;  // key -> name
};

// Whether a name says anything Key keeps: false for spaces, hyphens and underscores only. Cheap,
// for every line read.
bool NamesSatellite(std::wstring_view name);

}  // namespace zelmor::contact

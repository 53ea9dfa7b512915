#pragma once
// The operator's own station for an outing: the call sign as operated, where it stood (a grid, or
// a grid line of two or four grids), the prefecture and city/gun/ku in TQSL's codes, and the TQSL
// Station Location that signs the upload. The ADIF export writes it into each record's
// STATION_CALLSIGN and MY_ fields; the upload gives the Station Location to TQSL.

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "entry/log_format.h"
#include "station/ja_areas.h"

namespace zelmor::station {

// A station in canonical form: ReadStation gives only such values.
struct Station {
  std::wstring call_sign;          // capitals: "JA1ABC/1"
  std::vector<std::wstring> grids;  // one grid ("PM95", "PM95vr"), or a grid line of 2 or 4 ("PM95", "PM96")
  std::wstring prefecture;          // TQSL's code ("10"), or empty
  std::wstring city;                // TQSL's code ("100101"), or empty; only with a prefecture
  std::wstring station_location;    // TQSL's Station Location, as TQSL names it

  bool IsGridLine() const { return grids.size() > 1; }
  // The grids as ADIF's MY_VUCC_GRIDS lists them: "PM95,PM96"; a single grid alone.
  std::wstring GridText() const;

  bool operator==(const Station& other) const;
  bool operator!=(const Station& other) const { return !(*this == other); }
};

// What the operator typed or chose, field by field, as text.
struct StationText {
  std::wstring call_sign;
  std::wstring grids;  // "PM95", "pm95VR", "PM95,PM96", "PM95 PM96 PN05 PN06"
  std::wstring prefecture;
  std::wstring city;
  std::wstring station_location;
};

enum class StationField { CallSign, Grid, Prefecture, City, StationLocation };

// The first field that is wrong, in the dialog's order, and the text (an IDS_STATION_ ID) that
// tells the operator why.
struct StationFault {
  StationField field;
  int text_id;
};

// Checks every field and gives the station back in canonical form, or the first fault.
// Blanks around each field are ignored; the call sign and the grids may be in either case.
std::variant<Station, StationFault> ReadStation(const StationText& typed);

// The station as text fields again: ReadStation(ToText(s)) gives s back.
StationText ToText(const Station& station);

// A 4- or 6-character Maidenhead locator in canonical form ("PM95", "PM95vr"), or nothing.
std::optional<std::wstring> CanonicalGrid(std::wstring_view text);

// The grids of a grid-line text: split at commas, blanks (space, tab, U+3000) and "、".
std::vector<std::wstring> SplitGrids(std::wstring_view text);

// True when the 4-character grids (canonical) form a grid line VUCC counts: two neighbours across
// one edge, or the four around one corner, each once, in any order. East and west meet at 180°
// (RL95 and AL05 are neighbours); north and south do not wrap.
bool IsGridLine(const std::vector<std::wstring>& grids);

// TQSL's lists.
const Prefecture* FindPrefecture(std::wstring_view code);
const CityGunKu* FindCityGunKu(std::wstring_view code);
// The cities, guns and wards of a prefecture, in list order.
std::vector<const CityGunKu*> CitiesOf(std::wstring_view prefecture_code);
// How the dialog lists them: the code first, so that typing a known JCC/JCG number finds it.
std::wstring Label(const Prefecture& prefecture);  // "10 Tokyo-to"
std::wstring Label(const CityGunKu& city);         // "100101 Chiyoda-ku"

// The station as the log's station line states it.
entry::StationLine ToLine(const Station& station);

// The station a line of the log states, read as the dialog reads what the operator typed:
// nothing when the line is no station line (entry::ReadStationLine), else the station in canonical
// form, or the dialog's first fault. A line the dialog would refuse (a prefecture or city that
// TQSL's lists lack, a city of another prefecture, grids that are no grid line, no Station
// Location) is a broken line, whether a hand edit or another program made it: every reader counts
// it as unreadable and keeps the station before it, so that no MY_STATE, MY_CNTY or MY_VUCC_GRIDS
// goes to the ADIF file or to TQSL that TQSL would refuse. A code TQSL has since dropped from its
// lists makes the line broken too.
std::optional<std::variant<Station, StationFault>> StationOfLine(const std::wstring& line);

// The station in one line for the operator: "JA1ABC/1 PM95,PM96 10 Tokyo-to 100101 Chiyoda-ku"
// (a code TQSL's lists lack is shown alone).
std::wstring Describe(const Station& station);

}  // namespace zelmor::station

#pragma once
// The log as ADIF 3.1.4 (.adi), for LoTW and every other logger.
//
// Each readable line with a call sign becomes one record: CALL, QSO_DATE and TIME_ON in UTC,
// BAND and BAND_RX, FREQ and FREQ_RX (MHz, from the uplink and downlink; from the LOG frequency
// alone only the bands), MODE and SUBMODE, RST_SENT and RST_RCVD, PROP_MODE SAT, SAT_NAME in LoTW's
// spelling, SAT_MODE, GRIDSQUARE and COMMENT (the remaining memo words); and, when the operator
// set their station, STATION_CALLSIGN and the MY_ fields of StationFields.
//
// The file is plain ASCII, so that every reader counts a field's length the same way (ADIF counts
// characters; some programs count bytes). A run of other characters in a value (Japanese remarks,
// an odd satellite name) is written as one "?", and such records are counted; the log itself keeps
// the text.
//
// SAT_MODE is written as uplink letter "/" downlink letter, with AMSAT's band letters: T 15 m,
// H 12 m, A 10 m, V 2 m, U 70 cm, L 23 cm, S 13 cm, C 6 cm, X 3 cm, K 1.25 cm (QO-100 is S/X).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "contact/satellite_names.h"
#include "base/time_zone.h"
#include "base/clock.h"
#include "contact/contact.h"
#include "station/station.h"

namespace zelmor::adif {

inline constexpr char kAdifVersion[] = "3.1.4";

// AMSAT's letter for a band ("2m" -> "V"), or empty.
std::string SatelliteModeLetter(const std::string& band);

struct AdifMode {
  std::string mode, submode;  // empty mode: nothing logged
  bool known = true;          // false: not one of ADIF's modes, written as logged
};

// ADIF's MODE and SUBMODE for a mode as logged: "SSB" gets USB at and above 10 MHz and LSB below
// (by `reference_hz`, when known); "USB", "LSB", "FT4" and the rest are looked up in TQSL's
// mode map without regard to case.
AdifMode MapMode(const std::wstring& logged, std::optional<int64_t> reference_hz);

struct Field {
  std::string name, data;
};

// "<NAME:length>data".
std::string FormatField(const Field& field);

// The header: a line of text, ADIF_VER, PROGRAMID, PROGRAMVERSION and CREATED_TIMESTAMP.
std::string Header(const std::string& program_version, const CivilTime& created_utc);

// What made a record differ from the line.
struct RecordNotes {
  bool unknown_satellite = false;  // a satellite name not on LoTW's list, or none at all
  bool unknown_mode = false;
  bool text_replaced = false;      // characters outside ASCII written as "?"
};

enum class SkipReason { Unreadable, NoCallSign, NoUtcTime };

// The fields of one contact's record, or why it has none.
struct RecordResult {
  std::vector<Field> fields;  // empty when skipped
  std::optional<SkipReason> skipped;
  RecordNotes notes;
};
// `station` is the operator's station for the contact, or null when none is known.
RecordResult ContactRecord(const contact::Contact& contact, const station::Station* station,
                           const TimeZoneRules& zone, const contact::SatelliteNames& names);

// Where the operator was, as TQSL reads it with "-f update" (its Preferences' "Log Handling" help
// lists the fields): STATION_CALLSIGN; MY_GRIDSQUARE, or MY_VUCC_GRIDS for a grid line; MY_STATE
// and MY_CNTY with the codes of TQSL's JA_PREFECTURE and JA_CITY_GUN_KU lists; and MY_DXCC 339
// with a prefecture, since those lists are Japan's. TQSL takes the entity from MY_DXCC, so a
// Station Location that names none (TQSL suggests "[NONE]" for logs that carry their station)
// signs too. A field the station lacks is left out: TQSL then keeps the Station Location's value,
// or the last one a record gave (its station fields are "sticky").
std::vector<Field> StationFields(const station::Station& station);

// TQSL's DXCC entity number for Japan, whose prefecture and city lists the station's codes are from.
inline constexpr char kJapanDxcc[] = "339";

struct SkippedLine {
  size_t line_number = 0;  // counted from 1
  std::wstring text;
  SkipReason reason = SkipReason::Unreadable;
};

struct ExportSummary {
  size_t exported = 0;
  size_t without_satellite_data = 0;   // fallback lines, exported with what they hold
  size_t unknown_satellite_names = 0;  // exported with the name as it came (or without one)
  std::vector<std::wstring> unknown_names;  // each such name once, in order of appearance
  size_t unknown_modes = 0;            // exported with the mode as logged
  size_t text_replaced = 0;            // exported with "?" for characters outside ASCII
  std::vector<SkippedLine> skipped;    // not exported: unreadable, no call sign, no UTC time
  // The operator's stations the records carry, each once, in order of first use.
  std::vector<station::Station> stations;
  // Records given the station in force now, for want of one in the log before them.
  size_t with_current_station = 0;
};

struct ExportSettings {
  std::wstring template_text;
  contact::LineFormats formats;
  const TimeZoneRules* zone = nullptr;
  const contact::SatelliteNames* names = nullptr;
  CivilTime now_utc;               // for CREATED_TIMESTAMP
  LocalTime now;                   // for dates written without their year
  std::string program_version;     // "1.0.0"
  // The station in force now ("局情報"), or none when the operator never set one.
  std::optional<station::Station> station;
};

struct ExportResult {
  std::string adif;  // ASCII, CR LF line ends
  ExportSummary summary;
};

// Every line of the log pane's text. Empty lines (or lines of spaces) hold nothing and are passed
// over without a count. A station line (entry/log_format.h) gives the station of the contacts
// below it, up to the next; the contacts above the first take settings.station, the one in force
// now, and are counted. A station line the dialog would refuse (station::StationOfLine) is skipped
// as unreadable, and the contacts below it keep the station before it.
ExportResult ExportLog(const std::wstring& pane_text, const ExportSettings& settings);

// The name the Save dialog proposes: "Zelmor" + yyMMdd + ".adi" for the local date.
std::wstring ProposedFileName(int year, int month, int day);

}  // namespace zelmor::adif

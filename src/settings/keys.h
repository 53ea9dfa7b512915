#pragma once
// Every section and key of "Zelmor.ini".

namespace zelmor::settings {

inline constexpr wchar_t kFileName[] = L"Zelmor.ini";

inline constexpr wchar_t kPositionSection[] = L"LOGpos";
inline constexpr wchar_t kTopKey[] = L"ELTop";
inline constexpr wchar_t kLeftKey[] = L"ELLeft";
inline constexpr wchar_t kWidthKey[] = L"ELWidth";
inline constexpr wchar_t kHeightKey[] = L"ELHeight";

inline constexpr wchar_t kMainSection[] = L"Zelmor";
inline constexpr wchar_t kTemplateKey[] = L"LOGdat";
inline constexpr wchar_t kLogFolderKey[] = L"LOGfol";
// Set while the program runs, cleared at a regular close: found set at start, the last run crashed.
inline constexpr wchar_t kRunningKey[] = L"Running";
// The worked-before hint while a memo is typed: "0" turns it off (contact/hint_plan.h).
inline constexpr wchar_t kHintsKey[] = L"Hints";
// The tracking program the feed reads: "auto" (CSATmate, SatPC32, Orbitron, the first that
// answers), or one of those names (entry/tracker_source.h).
inline constexpr wchar_t kTrackerKey[] = L"Tracker";
// Minutes either side of now within which a contact with the same station counts as this pass.
inline constexpr wchar_t kDupeMinutesKey[] = L"DupeMinutes";

// Where tqsl.exe is (the program, or the folder that holds it), when TQSL's installer did not
// record it (adif/lotw_upload.h).
inline constexpr wchar_t kTqslPathKey[] = L"TQSLpath";

// LoTW's report of confirmations (lotw/lotw_fetch.h): its address, for a stand-in while testing
// (missing: LoTW's own), and the login last used. The password is never kept here.
inline constexpr wchar_t kLotwSection[] = L"LoTW";
inline constexpr wchar_t kReportUrlKey[] = L"ReportURL";
inline constexpr wchar_t kLotwLoginKey[] = L"Login";

// The operator's station for the outing (contact/station_store.h): the call sign as operated, the
// grid or grid line ("PM95,PM96"), the prefecture's and the city's codes in TQSL's lists, and the
// TQSL Station Location.
inline constexpr wchar_t kStationSection[] = L"Station";
inline constexpr wchar_t kStationCallKey[] = L"Call";
inline constexpr wchar_t kStationGridKey[] = L"Grid";
inline constexpr wchar_t kStationPrefectureKey[] = L"Pref";
inline constexpr wchar_t kStationCityKey[] = L"City";
inline constexpr wchar_t kStationLocationKey[] = L"TQSLloc";

// Which value of a log line goes to which field of the logging program (transfer/whole_line.h).
inline constexpr wchar_t kFieldsSection[] = L"HLfields";
// The operator's spellings of satellite names for the ADIF export (contact/satellite_names.h).
inline constexpr wchar_t kSatNamesSection[] = L"SatNames";

}  // namespace zelmor::settings

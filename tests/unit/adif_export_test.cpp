#include "adif/adif_export.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "entry/log_format.h"
#include "occurrences.h"

namespace zelmor::adif {
namespace {

const FixedOffsetZone kJapan(540);
const contact::SatelliteNames kNames;
const LocalTime kNow{2026, 12, 8, 12, 0, 0};

std::string RecordText(const std::wstring& line, const station::Station* station = nullptr) {
  const auto contact = contact::ReadContact(line, entry::kDefaultTemplate, contact::LineFormats{}, kNow);
  if (!contact) return "unreadable";
  std::string text;
  for (const Field& f : ContactRecord(*contact, station, kJapan, kNames).fields) text += FormatField(f) + " ";
  return text;
}

std::string FieldsText(const std::vector<Field>& fields) {
  std::string text;
  for (const Field& f : fields) text += FormatField(f) + " ";
  return text;
}

TEST(ContactRecordTest, GoldenRecord) {
  EXPECT_EQ(RecordText(L"2026/12/07 08:30J ja1abc 59 5nn pm95SQ QRP \u79fb\u52d5 "
                       L"%Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640"),
            "<CALL:6>JA1ABC <QSO_DATE:8>20261206 <TIME_ON:4>2330 <BAND:2>2m <BAND_RX:4>70cm <FREQ:7>145.965 "
            "<FREQ_RX:7>435.640 <MODE:3>SSB <SUBMODE:3>USB <RST_SENT:2>59 <RST_RCVD:3>5NN <PROP_MODE:3>SAT "
            "<SAT_NAME:5>RS-44 <SAT_MODE:3>V/U <GRIDSQUARE:6>PM95sq <COMMENT:5>QRP ? ");
}

TEST(ContactRecordTest, WhatEachKindOfLineGives) {
  // A fallback line: what it holds, and nothing about a satellite.
  EXPECT_EQ(RecordText(L"2026/01/01 00:10J  JA2XYZ 59 59 "),
            "<CALL:6>JA2XYZ <QSO_DATE:8>20251231 <TIME_ON:4>1510 <RST_SENT:2>59 <RST_RCVD:2>59 ");
  // The LOG frequency alone gives the bands; a tracker's spelling becomes LoTW's.
  EXPECT_EQ(RecordText(L"2026/12/07 09:00J JA1ABC %Sat=ISS/Rev:1% 145/437 FM Up=0.000/Down=0.000"),
            "<CALL:6>JA1ABC <QSO_DATE:8>20261207 <TIME_ON:4>0000 <BAND:2>2m <BAND_RX:4>70cm <MODE:2>FM "
            "<PROP_MODE:3>SAT <SAT_NAME:5>ARISS <SAT_MODE:3>V/U ");
  // Microwaves, a digital mode, a name LoTW does not know, no satellite name at all.
  EXPECT_EQ(RecordText(L"2026/12/07 09:00J JA1ABC -10 -12 %Sat=QO100/Rev:0% 2400/10489 FT4 Up=2400.250/Down=10489.750"),
            "<CALL:6>JA1ABC <QSO_DATE:8>20261207 <TIME_ON:4>0000 <BAND:4>13cm <BAND_RX:3>3cm <FREQ:8>2400.250 "
            "<FREQ_RX:9>10489.750 <MODE:4>MFSK <SUBMODE:3>FT4 <RST_SENT:3>-10 <RST_RCVD:3>-12 <PROP_MODE:3>SAT "
            "<SAT_NAME:6>QO-100 <SAT_MODE:3>S/X ");
  EXPECT_EQ(RecordText(L"2026/12/07 09:00J JA1ABC %Sat=/Rev:% 145/435 USB-D Up=145.900/Down=435.800"),
            "<CALL:6>JA1ABC <QSO_DATE:8>20261207 <TIME_ON:4>0000 <BAND:2>2m <BAND_RX:4>70cm <FREQ:7>145.900 "
            "<FREQ_RX:7>435.800 <MODE:5>USB-D <SAT_MODE:3>V/U ");
}

TEST(ContactRecordTest, StationFieldsAsTqslReadsThem) {
  const struct {
    const char* what;
    station::Station station;
    std::string fields;
  } rows[] = {
      {"a grid, a prefecture and a ward",
       {L"JA1ABC/1", {L"PM95vr"}, L"10", L"100101", L"東京 移動"},
       "<STATION_CALLSIGN:8>JA1ABC/1 <MY_GRIDSQUARE:6>PM95vr <MY_STATE:2>10 <MY_CNTY:6>100101 <MY_DXCC:3>339 "},
      {"a grid line of two, a city", {L"JA8ABC", {L"QN02", L"QN03"}, L"01", L"0101", L"Rover"},
       "<STATION_CALLSIGN:6>JA8ABC <MY_VUCC_GRIDS:9>QN02,QN03 <MY_STATE:2>01 <MY_CNTY:4>0101 <MY_DXCC:3>339 "},
      {"a corner of four, a prefecture only", {L"JA1ABC", {L"PM99", L"PN90", L"QM09", L"QN00"}, L"10", L"", L"Home"},
       "<STATION_CALLSIGN:6>JA1ABC <MY_VUCC_GRIDS:19>PM99,PN90,QM09,QN00 <MY_STATE:2>10 <MY_DXCC:3>339 "},
      // Without a prefecture the entity is not known to be Japan: TQSL keeps the Station Location's.
      {"abroad", {L"KH6/JA1ABC", {L"BL11"}, L"", L"", L"Hawaii"},
       "<STATION_CALLSIGN:10>KH6/JA1ABC <MY_GRIDSQUARE:4>BL11 "},
  };
  for (const auto& row : rows) EXPECT_EQ(FieldsText(StationFields(row.station)), row.fields) << row.what;

  const station::Station home{L"JA1ABC/1", {L"PM95"}, L"10", L"100101", L"Home"};
  EXPECT_EQ(RecordText(L"2026/12/07 08:30J JR2XYZ 59 59 QRP %Sat=RS-44/Rev:1% 145/435 SSB Up=145.965/Down=435.640",
                       &home),
            "<CALL:6>JR2XYZ <QSO_DATE:8>20261206 <TIME_ON:4>2330 <BAND:2>2m <BAND_RX:4>70cm <FREQ:7>145.965 "
            "<FREQ_RX:7>435.640 <MODE:3>SSB <SUBMODE:3>USB <RST_SENT:2>59 <RST_RCVD:2>59 <PROP_MODE:3>SAT "
            "<SAT_NAME:5>RS-44 <SAT_MODE:3>V/U <STATION_CALLSIGN:8>JA1ABC/1 <MY_GRIDSQUARE:4>PM95 "
            "<MY_STATE:2>10 <MY_CNTY:6>100101 <MY_DXCC:3>339 <COMMENT:3>QRP ");
}

TEST(MapModeTest, AdifModesAndSubmodes) {
  const int64_t two_metres = 145900000, forty_metres = 7100000;
  struct Row {
    std::wstring logged;
    std::optional<int64_t> hz;
    std::string mode, submode;
    bool known;
  } rows[] = {
      {L"SSB", two_metres, "SSB", "USB", true},   {L"SSB", forty_metres, "SSB", "LSB", true},
      {L"SSB", std::nullopt, "SSB", "", true},    {L" usb ", forty_metres, "SSB", "USB", true},
      {L"LSB", two_metres, "SSB", "LSB", true},   {L"FM", two_metres, "FM", "", true},
      {L"cw", two_metres, "CW", "", true},        {L"FT8", two_metres, "FT8", "", true},
      {L"FT4", two_metres, "MFSK", "FT4", true},  {L"PSK31", two_metres, "PSK", "PSK31", true},
      {L"FM/CW", two_metres, "FM/CW", "", false}, {L"", two_metres, "", "", true},
  };
  for (const auto& row : rows) {
    const AdifMode m = MapMode(row.logged, row.hz);
    EXPECT_EQ(m.mode + "/" + m.submode + (m.known ? "" : " unknown"),
              row.mode + "/" + row.submode + (row.known ? "" : " unknown"))
        << std::string(row.logged.begin(), row.logged.end());
  }
}

TEST(BandTest, SatelliteModeLetters) {
  EXPECT_EQ(SatelliteModeLetter("10m") + SatelliteModeLetter("23cm") + SatelliteModeLetter("20m"), "AL");
}

TEST(ExportLogTest, CountsAndListsWhatIsNotExported) {
  const std::wstring pane =
      L"2026/12/07 08:30J JA1ABC 59 59 %Sat=RS-44/Rev:1% 145/435 SSB Up=145.965/Down=435.640\r\n"
      L"\r\n"
      L"2026/12/07 08:40J JA2XYZ 59 59\r\n"                                                     // fallback
      L"--- QRT ---\r\n"                                                                         // unreadable
      L"2026/12/07 08:45J CQ %Sat=ISS/Rev:1% 145/437 FM Up=145.990/Down=437.800\r\n"             // no call sign
      L"2026/12/07 08:50J JA3AAA %Sat=IO-117/Rev:1% 435/435 FM Up=435.310/Down=435.310\r\n"      // unknown name
      L"2026/12/07 08:51J JA3BBB %Sat=IO-117/Rev:1% 435/435 FM/CW Up=435.310/Down=435.310\r\n";  // and mode
  ExportSettings settings;
  settings.template_text = L"#DT #TMJ #MM";  // changed since: the default template reads the lines
  settings.zone = &kJapan;
  settings.names = &kNames;
  settings.now_utc = CivilTime{2026, 12, 7, 0, 1, 2};
  settings.program_version = "1.0.0";
  const ExportResult result = ExportLog(pane, settings);
  const ExportSummary& s = result.summary;
  EXPECT_EQ(s.exported, 4u);
  EXPECT_EQ(s.without_satellite_data, 1u);
  EXPECT_EQ(s.unknown_satellite_names, 2u);
  EXPECT_EQ(s.unknown_names, std::vector<std::wstring>{L"IO-117"});
  EXPECT_EQ(s.unknown_modes, 1u);
  ASSERT_EQ(s.skipped.size(), 2u);
  EXPECT_EQ(s.skipped[0].line_number, 4u);
  EXPECT_EQ(s.skipped[0].text, L"--- QRT ---");
  EXPECT_EQ(s.skipped[0].reason, SkipReason::Unreadable);
  EXPECT_EQ(s.skipped[1].line_number, 5u);
  EXPECT_EQ(s.skipped[1].reason, SkipReason::NoCallSign);

  EXPECT_EQ(result.adif.substr(0, result.adif.find("<CALL")),
            "Zelmor log, ADIF export\r\n<ADIF_VER:5>3.1.4\r\n<PROGRAMID:6>Zelmor\r\n<PROGRAMVERSION:5>1.0.0\r\n"
            "<CREATED_TIMESTAMP:15>20261207 000102\r\n<EOH>\r\n\r\n");
  size_t records = 0;
  for (size_t at = result.adif.find("<EOR>\r\n"); at != std::string::npos; at = result.adif.find("<EOR>\r\n", at + 1)) {
    ++records;
  }
  EXPECT_EQ(records, 4u);
}

TEST(ExportLogTest, ALogWithoutStationLinesTakesTheCurrentStationAndSaysSo) {
  const std::wstring pane =
      L"2026/12/07 08:30J JA1ABC 59 59 %Sat=RS-44/Rev:1% 145/435 SSB Up=145.965/Down=435.640\r\n"
      L"2026/12/07 08:40J JA2XYZ 59 59\r\n";
  ExportSettings settings;
  settings.template_text = entry::kDefaultTemplate;
  settings.zone = &kJapan;
  settings.names = &kNames;
  settings.program_version = "1.0.0";
  const ExportResult without = ExportLog(pane, settings);
  EXPECT_TRUE(without.summary.stations.empty());
  EXPECT_EQ(without.summary.with_current_station, 0u);
  EXPECT_EQ(without.adif.find("STATION_CALLSIGN"), std::string::npos) << "no station, no MY_ fields";

  settings.station = station::Station{L"JA1ABC/1", {L"PM95"}, L"10", L"", L"Home"};
  const ExportResult with = ExportLog(pane, settings);
  EXPECT_EQ(with.summary.stations, std::vector<station::Station>{*settings.station});
  EXPECT_EQ(with.summary.with_current_station, 2u);
  EXPECT_EQ(test_support::Occurrences(with.adif, "<STATION_CALLSIGN:8>JA1ABC/1"), 2u) << with.adif;
}

// Hand-edited station lines that the dialog would refuse: each is an unreadable line, and no
// MY_ field of theirs reaches the file. The contacts below keep the station before them: the log's
// own, or for want of one the station in force now.
TEST(ExportLogTest, BrokenStationLinesAreUnreadableAndTheStationBeforeHolds) {
  const std::wstring pane =
      L"#STATION JA1ABC GRID=PM95 PREF=48 LOC=Home\r\n"                        // no such prefecture
      L"2026/12/07 08:30J JA2AAA 59 59\r\n"
      L"#STATION JA1ABC/1 GRID=PM95 PREF=10 CITY=100101 LOC=Home\r\n"
      L"2026/12/07 08:40J JA2BBB 59 59\r\n"
      L"#STATION JA1ABC/1 GRID=PM95 PREF=11 CITY=100101 LOC=Home\r\n"          // a city of Tokyo in Saitama
      L"#STATION JA1ABC/1 GRID=PM95,PM97 PREF=10 LOC=Home\r\n"                 // grids apart
      L"#STATION JA1ABC/1 GRID=PM95 PREF=10 CITY=9999 LOC=Home\r\n"            // no such city
      L"2026/12/07 08:50J JA2CCC 59 59\r\n";
  ExportSettings settings;
  settings.template_text = entry::kDefaultTemplate;
  settings.zone = &kJapan;
  settings.names = &kNames;
  settings.station = station::Station{L"JA1ABC/P", {L"QM05"}, L"", L"", L"Away"};
  const ExportResult result = ExportLog(pane, settings);
  const ExportSummary& s = result.summary;
  EXPECT_EQ(s.exported, 3u);
  std::vector<size_t> unreadable;
  for (const SkippedLine& line : s.skipped) {
    EXPECT_EQ(line.reason, SkipReason::Unreadable) << line.line_number;
    unreadable.push_back(line.line_number);
  }
  EXPECT_EQ(unreadable, (std::vector<size_t>{1, 5, 6, 7}));
  const station::Station logged{L"JA1ABC/1", {L"PM95"}, L"10", L"100101", L"Home"};
  EXPECT_EQ(s.stations, (std::vector<station::Station>{*settings.station, logged}));
  EXPECT_EQ(s.with_current_station, 1u);
  EXPECT_EQ(test_support::Occurrences(result.adif, FieldsText(StationFields(*settings.station))), 1u) << result.adif;
  EXPECT_EQ(test_support::Occurrences(result.adif, FieldsText(StationFields(logged))), 2u) << result.adif;
  for (const char* refused : {"<MY_STATE:2>48", "<MY_STATE:2>11", "MY_VUCC_GRIDS", "<MY_CNTY:4>9999"}) {
    EXPECT_EQ(result.adif.find(refused), std::string::npos) << refused;
  }
}

TEST(ProposedFileNameTest, ShortDate) { EXPECT_EQ(ProposedFileName(2026, 1, 9), L"Zelmor260109.adi"); }

}  // namespace
}  // namespace zelmor::adif

#include "station/station.h"
#include "station/station_store.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <variant>

#include "base/resource.h"
#include "memory_profile_store.h"
#include "printable.h"
#include "settings/keys.h"

namespace zelmor::station {
namespace {

using test_support::Utf8;

StationText Good() { return {L"JA1ABC/1", L"PM95", L"10", L"100101", L"Home portable"}; }

TEST(StationTest, GridsComeBackCanonical) {
  const struct {
    std::wstring typed;
    std::optional<std::wstring> canonical;
  } rows[] = {
      {L"PM95", L"PM95"},
      {L"pm95", L"PM95"},
      {L"pm95VR", L"PM95vr"},
      {L"PM95vr", L"PM95vr"},
      {L" ＰＭ９５ ", L"PM95"},  // full-width, as an IME in that mode types it
      {L"RR99xx", L"RR99xx"},
      {L"SM95", std::nullopt},  // fields end at R
      {L"PM95vy", std::nullopt},  // subsquares end at X
      {L"PM9", std::nullopt},
      {L"PM95v", std::nullopt},
      {L"PM95vr00", std::nullopt},
      {L"", std::nullopt},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CanonicalGrid(row.typed), row.canonical) << Utf8(row.typed);
  }
}

TEST(StationTest, GridLinesAreNeighboursAcrossAnEdgeOrAroundACorner) {
  const struct {
    std::vector<std::wstring> grids;
    bool line;
  } rows[] = {
      {{L"PM95", L"PM96"}, true},                  // north and south
      {{L"PM96", L"PM95"}, true},                  // in any order
      {{L"PM95", L"PM05"}, false},                 // ten squares apart: the digit is not the field
      {{L"PM95", L"QM05"}, true},                  // east across a field boundary
      {{L"PM99", L"PN90"}, true},                  // north across a field boundary
      {{L"RL95", L"AL05"}, true},                  // across 180 degrees
      {{L"AR09", L"AA00"}, false},                 // the poles do not meet
      {{L"PM95", L"PM97"}, false},                 // one square between
      {{L"PM95", L"PM86"}, false},                 // only a corner in common
      {{L"PM95", L"PM95"}, false},                 // the same square twice
      {{L"PM95", L"PM96", L"PM85", L"PM86"}, true},  // around one corner
      {{L"PM99", L"PN90", L"QM09", L"QN00"}, true},  // around a corner where four fields meet
      {{L"RL99", L"RM90", L"AL09", L"AM00"}, true},  // around a corner on 180 degrees
      {{L"PM95", L"PM96", L"PM97", L"PM98"}, false},  // four in a row
      {{L"PM95", L"PM96", L"PM85", L"PM85"}, false},
      {{L"PM95", L"PM96", L"PM85"}, false},           // three
      {{L"PM95"}, false},
      {{L"PM95vr", L"PM96aa"}, false},                // a line is of 4-character squares
  };
  for (const auto& row : rows) {
    std::string shown;
    for (const auto& g : row.grids) shown += Utf8(g) + " ";
    EXPECT_EQ(IsGridLine(row.grids), row.line) << shown;
  }
}

TEST(StationTest, EachWrongFieldIsNamedWithItsReason) {
  const struct {
    const char* what;
    StationText typed;
    StationField field;
    int text_id;
  } rows[] = {
      {"empty call", {L"", L"PM95", L"", L"", L"Home"}, StationField::CallSign, IDS_STATION_CALL_BAD},
      {"grid as call", {L"PM95", L"PM95", L"", L"", L"Home"}, StationField::CallSign, IDS_STATION_CALL_BAD},
      {"call with a blank inside", {L"JA1 ABC", L"PM95", L"", L"", L"Home"}, StationField::CallSign,
       IDS_STATION_CALL_BAD},
      {"no grid", {L"JA1ABC", L" ", L"", L"", L"Home"}, StationField::Grid, IDS_STATION_GRID_EMPTY},
      {"bad grid", {L"JA1ABC", L"PM9", L"", L"", L"Home"}, StationField::Grid, IDS_STATION_GRID_BAD},
      {"bad grid in a line", {L"JA1ABC", L"PM95,XX00", L"", L"", L"Home"}, StationField::Grid,
       IDS_STATION_GRID_BAD},
      {"three grids", {L"JA1ABC", L"PM95,PM96,PM85", L"", L"", L"Home"}, StationField::Grid,
       IDS_STATION_GRID_LINE_COUNT},
      {"subsquares in a line", {L"JA1ABC", L"PM95aa,PM96aa", L"", L"", L"Home"}, StationField::Grid,
       IDS_STATION_GRID_LINE_SQUARES},
      {"line apart", {L"JA1ABC", L"PM95,PM97", L"", L"", L"Home"}, StationField::Grid,
       IDS_STATION_GRID_LINE_APART},
      {"unknown prefecture", {L"JA1ABC", L"PM95", L"48", L"", L"Home"}, StationField::Prefecture,
       IDS_STATION_PREFECTURE_UNKNOWN},
      {"unknown city", {L"JA1ABC", L"PM95", L"10", L"9999", L"Home"}, StationField::City, IDS_STATION_CITY_UNKNOWN},
      {"city without prefecture", {L"JA1ABC", L"PM95", L"", L"0101", L"Home"}, StationField::Prefecture,
       IDS_STATION_CITY_NEEDS_PREFECTURE},
      {"Sapporo is not in Tokyo", {L"JA1ABC", L"PM95", L"10", L"0101", L"Home"}, StationField::City,
       IDS_STATION_CITY_ELSEWHERE},
      // TQSL lists this gun of Yamaguchi (33) under Shimane (32), and checks MY_CNTY against that.
      {"code prefix is not the prefecture", {L"JA4ABC", L"PM64", L"33", L"33001", L"Home"}, StationField::City,
       IDS_STATION_CITY_ELSEWHERE},
      {"no Station Location", {L"JA1ABC", L"PM95", L"", L"", L"   "}, StationField::StationLocation,
       IDS_STATION_LOCATION_EMPTY},
      {"line break in the location", {L"JA1ABC", L"PM95", L"", L"", L"Home\r\nx"}, StationField::StationLocation,
       IDS_STATION_LOCATION_UNPRINTABLE},
      {"tab in the location", {L"JA1ABC", L"PM95", L"", L"", L"Home\tx"}, StationField::StationLocation,
       IDS_STATION_LOCATION_UNPRINTABLE},
      {"half a surrogate pair", {L"JA1ABC", L"PM95", L"", L"", L"Home\xD83D"}, StationField::StationLocation,
       IDS_STATION_LOCATION_UNPRINTABLE},
  };
  for (const auto& row : rows) {
    const auto read = ReadStation(row.typed);
    ASSERT_TRUE(std::holds_alternative<StationFault>(read)) << row.what;
    const auto fault = std::get<StationFault>(read);
    EXPECT_EQ(fault.field, row.field) << row.what;
    EXPECT_EQ(fault.text_id, row.text_id) << row.what;
  }
}

TEST(StationTest, GoodStationsComeBackCanonical) {
  const struct {
    StationText typed;
    Station read;
  } rows[] = {
      {Good(), {L"JA1ABC/1", {L"PM95"}, L"10", L"100101", L"Home portable"}},
      {{L" ja1abc/1 ", L" pm95vr ", L" 10 ", L"", L"  東京 移動  "}, {L"JA1ABC/1", {L"PM95vr"}, L"10", L"", L"東京 移動"}},
      {{L"ＪＡ１ＡＢＣ", L"pm95，PM96", L"", L"", L"Rover"}, {L"JA1ABC", {L"PM95", L"PM96"}, L"", L"", L"Rover"}},
      {{L"JA1ABC", L"PM99 pn90、QM09\tQN00", L"01", L"0101", L"Rover"},
       {L"JA1ABC", {L"PM99", L"PN90", L"QM09", L"QN00"}, L"01", L"0101", L"Rover"}},
      // As TQSL lists it: under Shimane.
      {{L"JA4ABC", L"PM64", L"32", L"33001", L"Home"}, {L"JA4ABC", {L"PM64"}, L"32", L"33001", L"Home"}},
  };
  for (const auto& row : rows) {
    const auto read = ReadStation(row.typed);
    ASSERT_TRUE(std::holds_alternative<Station>(read)) << Utf8(row.typed.call_sign) << " "
                                                       << std::get<StationFault>(read).text_id;
    EXPECT_EQ(std::get<Station>(read), row.read) << Utf8(row.typed.call_sign);
    // Stored as text and read again, it is the same station.
    const auto again = ReadStation(ToText(std::get<Station>(read)));
    ASSERT_TRUE(std::holds_alternative<Station>(again));
    EXPECT_EQ(std::get<Station>(again), row.read);
  }
}

// A log's station line is read with the dialog's rules: what the dialog would refuse is a broken
// line, however well it keeps the line's shape.
TEST(StationTest, StationLinesAreReadWithTheDialogsRules) {
  const struct {
    const wchar_t* line;
    std::optional<Station> station;  // when the line states one
    int fault;                       // else the dialog's reason, or 0 for no station line at all
  } rows[] = {
      {L"#STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 CITY=100101 LOC=東京 移動",
       Station{L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"100101", L"東京 移動"}, 0},
      {L"#STATION JA8ABC GRID=QN02vr PREF=01 CITY=0101 LOC=Home", Station{L"JA8ABC", {L"QN02vr"}, L"01", L"0101", L"Home"},
       0},
      {L"#STATION JA1ABC GRID=PM99,PN90,QM09,QN00 LOC=Rover",
       Station{L"JA1ABC", {L"PM99", L"PN90", L"QM09", L"QN00"}, L"", L"", L"Rover"}, 0},
      {L"#STATION JA1ABC GRID=PM95 PREF=48 LOC=Home", std::nullopt, IDS_STATION_PREFECTURE_UNKNOWN},
      {L"#STATION JA1ABC GRID=PM95 PREF=10 CITY=9999 LOC=Home", std::nullopt, IDS_STATION_CITY_UNKNOWN},
      {L"#STATION JA1ABC GRID=PM95 PREF=10 CITY=0101 LOC=Home", std::nullopt, IDS_STATION_CITY_ELSEWHERE},
      {L"#STATION JA1ABC GRID=PM95,PM97 LOC=Home", std::nullopt, IDS_STATION_GRID_LINE_APART},
      {L"#STATION JA1ABC GRID=PM95,PM96,PM85 LOC=Home", std::nullopt, IDS_STATION_GRID_LINE_COUNT},
      {L"#STATION JA1ABC GRID=PM95aa,PM96aa LOC=Home", std::nullopt, IDS_STATION_GRID_LINE_SQUARES},
      {L"#STATION A1 GRID=PM95 LOC=Home", std::nullopt, IDS_STATION_CALL_BAD},
      {L"#STATION JA1ABC GRID=PM95", std::nullopt, IDS_STATION_LOCATION_EMPTY},
      {L"#STATION JA1ABC GRID=PM95 LOC=Home\tx", std::nullopt, IDS_STATION_LOCATION_UNPRINTABLE},
      // Not of the station line's shape: no station line, but a line like any other.
      {L"#STATION JA1ABC GRID=PM95 CITY=100101 LOC=Home", std::nullopt, 0},
      {L"2026/12/07 08:30J JA1ABC 59 59", std::nullopt, 0},
  };
  for (const auto& row : rows) {
    const auto read = StationOfLine(row.line);
    if (row.station) {
      ASSERT_TRUE(read && std::holds_alternative<Station>(*read)) << Utf8(row.line);
      EXPECT_EQ(std::get<Station>(*read), *row.station) << Utf8(row.line);
    } else if (row.fault) {
      ASSERT_TRUE(read && std::holds_alternative<StationFault>(*read)) << Utf8(row.line);
      EXPECT_EQ(std::get<StationFault>(*read).text_id, row.fault) << Utf8(row.line);
    } else {
      EXPECT_FALSE(read.has_value()) << Utf8(row.line);
    }
  }
}

TEST(StationTest, GridTextIsAdifsList) {
  Station s;
  s.grids = {L"PM95vr"};
  EXPECT_EQ(s.GridText(), L"PM95vr");
  s.grids = {L"PM99", L"PN90", L"QM09", L"QN00"};
  EXPECT_EQ(s.GridText(), L"PM99,PN90,QM09,QN00");
}

TEST(StationTest, TqslListsAsGenerated) {
  ASSERT_EQ(kPrefectures.size, 47u) << kJaAreasSource;
  ASSERT_EQ(kCitiesGunsKu.size, 1715u) << kJaAreasSource;
  std::set<std::string> codes;
  for (const auto& city : kCitiesGunsKu) {
    EXPECT_TRUE(codes.insert(city.code).second) << city.code << ": MY_CNTY would not say which";
    EXPECT_NE(FindPrefecture(std::wstring(city.prefecture, city.prefecture + std::strlen(city.prefecture))), nullptr)
        << city.code;
  }
  const struct {
    std::wstring code;
    const char* name;
    const char* prefecture;
  } rows[] = {
      {L"0101", "Sapporo-shi", "01"},
      {L"01001", "Akan-gun", "01"},
      {L"1001", "Tokyo 23-wards", "10"},
      {L"100101", "Chiyoda-ku", "10"},
      {L"33001", "Asa-gun", "32"},
  };
  for (const auto& row : rows) {
    const CityGunKu* city = FindCityGunKu(row.code);
    ASSERT_NE(city, nullptr) << Utf8(row.code);
    EXPECT_STREQ(city->name, row.name);
    EXPECT_STREQ(city->prefecture, row.prefecture);
  }
  EXPECT_EQ(Label(*FindPrefecture(L"10")), L"10 Tokyo-to");
  EXPECT_EQ(Label(*FindCityGunKu(L"100101")), L"100101 Chiyoda-ku");
}

TEST(StationTest, APrefecturesCitiesAreItsOwnWithWardsAfterTheirCity) {
  const auto tokyo = CitiesOf(L"10");
  ASSERT_FALSE(tokyo.empty());
  for (const auto* city : tokyo) EXPECT_STREQ(city->prefecture, "10");
  EXPECT_STREQ(tokyo[0]->code, "1001");
  EXPECT_STREQ(tokyo[1]->code, "100101");
  size_t total = 0;
  for (const auto& p : kPrefectures) total += CitiesOf(std::wstring(p.code, p.code + 2)).size();
  EXPECT_EQ(total, kCitiesGunsKu.size) << "every entry under exactly one prefecture";
}

TEST(StationStoreTest, StoredStationComesBackAtTheNextStart) {
  const Station stations[] = {
      {L"JA1ABC/1", {L"PM95vr"}, L"10", L"100101", L"東京 移動"},
      {L"JA8ABC", {L"QN02", L"QN03"}, L"", L"", L"Rover = \"north\""},
  };
  for (const Station& station : stations) {
    settings::MemoryProfileStore store;
    settings::Profile profile(store);
    CurrentStation running(profile);
    EXPECT_FALSE(running.Get()) << "nothing stored yet";
    EXPECT_TRUE(running.Set(station));
    EXPECT_EQ(running.Get(), station);
    EXPECT_EQ(CurrentStation(profile).Get(), station) << Utf8(station.call_sign);
    EXPECT_EQ(store.Get(L"Station", L"Grid", L""), station.GridText()) << "the grid line as ADIF lists it";
  }
}

TEST(StationStoreTest, WhatIsNoStationReadsAsNone) {
  const struct {
    const char* what;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> keys;
  } rows[] = {
      {"no call sign", {{L"Grid", L"PM95"}, {L"TQSLloc", L"Home"}}},
      {"a grid of three characters", {{L"Call", L"JA1ABC"}, {L"Grid", L"PM9"}, {L"TQSLloc", L"Home"}}},
      {"Sapporo in Tokyo", {{L"Call", L"JA1ABC"}, {L"Grid", L"PM95"}, {L"Pref", L"10"}, {L"City", L"0101"},
                            {L"TQSLloc", L"Home"}}},
      {"no Station Location", {{L"Call", L"JA1ABC"}, {L"Grid", L"PM95"}}},
  };
  for (const auto& row : rows) {
    settings::MemoryProfileStore store;
    for (const auto& [key, value] : row.keys) store.Put(L"Station", key, value);
    settings::Profile profile(store);
    EXPECT_FALSE(LoadStation(profile)) << row.what;
  }
}

TEST(StationStoreTest, RefusedWriteIsToldAndTheStationHoldsForTheRun) {
  settings::MemoryProfileStore store;
  store.refuse_writes = true;
  settings::Profile profile(store);
  CurrentStation running(profile);
  const Station station{L"JA1ABC", {L"PM95"}, L"", L"", L"Home"};
  EXPECT_FALSE(running.Set(station));
  EXPECT_EQ(running.Get(), station);
  EXPECT_FALSE(LoadStation(profile));
}

}  // namespace
}  // namespace zelmor::station

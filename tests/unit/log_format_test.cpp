#include "entry/log_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <optional>
#include <limits>
#include <string>

#include "entry/date_picture.h"
#include "entry/line_reader.h"
#include "printable.h"

namespace zelmor::entry {
namespace {

// 5 March 2024, 21:05:37 (a Tuesday).
LocalTime At(int year = 2024, int month = 3, int day = 5, int hour = 21, int minute = 5) {
  return LocalTime{year, month, day, hour, minute, 37};
}

struct DateRow {
  const char* why;
  std::wstring picture;
  LocalTime date;
  std::wstring text;
};

TEST(FormatShortDateTest, WindowsPictures) {
  const DateRow rows[] = {
      {"Windows ja-JP", L"yyyy/MM/dd", At(), L"2024/03/05"},
      {"Wine ja-JP", L"yyyy/M/d", At(), L"2024/3/5"},
      {"two-digit parts", L"yyyy/M/d", At(2024, 11, 25), L"2024/11/25"},
      {"short year with zero", L"dd.MM.yy", At(2005, 3, 5), L"05.03.05"},
      {"short year without zero", L"d/M/y", At(2005, 3, 5), L"5/3/5"},
      {"yyy and longer runs give the whole year", L"yyy|yyyyy", At(), L"2024|2024"},
      {"quoted text is literal", L"yyyy'年'M'月'd'日'", At(), L"2024年3月5日"},
      {"quoted picture letters are literal", L"'dd MM yy' d", At(), L"dd MM yy 5"},
      {"doubled quote inside quotes", L"'it''s' d", At(), L"it's 5"},
      {"empty quotes give nothing", L"d''d", At(), L"55"},
      {"unclosed quote runs to the end", L"d 'yy", At(), L"5 yy"},
      {"invariant day and month names", L"ddd dddd MMM MMMM", At(), L"Tue Tuesday Mar March"},
      {"day names of other weekdays", L"ddd", At(2000, 1, 1), L"Sat"},
      {"era is left out", L"gg yyyy", At(), L" 2024"},
      {"other letters are copied", L"D/m/Y hh", At(), L"D/m/Y hh"},
      {"empty picture", L"", At(), L""},
      // Dates no calendar holds must still give text, not undefined behaviour.
      {"out-of-range fields", L"yyyy yy M dddd", At(-5, 13, 0), L"-5 95 13 "},
      {"extreme year", L"y yyyy", At(std::numeric_limits<int>::min()),
       L"52 " + std::to_wstring(std::numeric_limits<int>::min())},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatShortDate(row.picture, row.date), row.text) << row.why;
  }
}

TEST(FormatTimeTest, TwoDigitTwentyFourHourClock) {
  EXPECT_EQ(FormatTime(At(2024, 3, 5, 0, 0), L":"), L"00:00");
  EXPECT_EQ(FormatTime(At(2024, 3, 5, 9, 7), L":"), L"09:07");
  EXPECT_EQ(FormatTime(At(2024, 3, 5, 23, 59), L"."), L"23.59");
}

struct FrequencyRow {
  const char* why;
  float hertz;
  std::wstring text;
};

TEST(FormatFrequencyMHzTest, PatternZeroPointThreeDecimals) {
  const FrequencyRow rows[] = {
      {"exact", 145950000.0f, L"145.950"},
      {"zero", 0.0f, L"0.000"},
      {"negative zero", -0.0f, L"0.000"},
      {"single precision of 1269.5 MHz", 1269500032.0f, L"1269.500"},
      {"half-way rounds away from zero", 62500.0f, L"0.063"},
      {"negative half-way too", -62500.0f, L"-0.063"},
      {"half-way not exact as a double", 1000500.0f, L"1.001"},
      {"just below half-way", 1000499.0f, L"1.000"},
      {"tiny negative is no negative zero", -499.0f, L"0.000"},
      {"fractional hertz", 0.5f, L"0.000"},
      {"smallest float", FLT_TRUE_MIN, L"0.000"},
      {"rounds into a new digit", 9999500.0f, L"10.000"},
      {"largest float, every digit", FLT_MAX, L"340282346638528859811704183484516.925"},
      {"not finite", std::numeric_limits<float>::infinity(), L""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatFrequencyMHz(row.hertz, L"."), row.text) << row.why;
  }
  EXPECT_EQ(FormatFrequencyMHz(145950000.0f, L","), L"145,950");
}

TEST(StationLineTest, WrittenAndReadBack) {
  const struct {
    StationLine station;
    std::wstring line;
  } rows[] = {
      {{L"JA1ABC/1", {L"PM95vr"}, L"10", L"100101", L"東京 移動"},
       L"#STATION JA1ABC/1 GRID=PM95vr PREF=10 CITY=100101 LOC=東京 移動"},
      {{L"JA8ABC", {L"QN02", L"QN03"}, L"01", L"", L"Rover"}, L"#STATION JA8ABC GRID=QN02,QN03 PREF=01 LOC=Rover"},
      {{L"JA1ABC", {L"PM99", L"PN90", L"QM09", L"QN00"}, L"", L"", L""}, L"#STATION JA1ABC GRID=PM99,PN90,QM09,QN00"},
      // The location runs to the end of the line: blanks, "=" and the other fields' names in it stay.
      {{L"KH6/JA1ABC", {L"BL11"}, L"", L"", L"Home  = CITY=1 GRID=X　"},
       L"#STATION KH6/JA1ABC GRID=BL11 LOC=Home  = CITY=1 GRID=X　"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatStationLine(row.station), row.line) << test_support::Utf8(row.line);
    EXPECT_EQ(ReadStationLine(row.line), row.station) << test_support::Utf8(row.line);
    EXPECT_EQ(ReadStationLine(row.line + L"   "), row.station) << "spaces after the line's end";
  }
}

TEST(StationLineTest, OtherLinesAreNoStationLines) {
  const wchar_t* const rows[] = {
      L"",
      L"#STATION",
      L"#STATION ",
      L"#station JA1ABC GRID=PM95",                    // the mark is in capitals
      L" #STATION JA1ABC GRID=PM95",                   // and begins the line
      L"#STATION JA1ABC",                              // no grid
      L"#STATION ja1abc GRID=PM95",                    // the writer's capitals
      L"#STATION JA1 ABC GRID=PM95",
      L"#STATION JA1ABC GRID=pm95",
      L"#STATION JA1ABC GRID=PM95VR",
      L"#STATION JA1ABC GRID=SM95",                    // fields end at R
      L"#STATION JA1ABC GRID=PM95,",
      L"#STATION JA1ABC GRID=PM95,PM96,PM85,PM86,PM87",  // five
      L"#STATION JA1ABC GRID=PM95 PREF=1",
      L"#STATION JA1ABC GRID=PM95 PREF=ab",
      L"#STATION JA1ABC GRID=PM95 CITY=100101",        // a city needs its prefecture
      L"#STATION JA1ABC GRID=PM95 PREF=10 CITY=101",
      L"#STATION JA1ABC GRID=PM95 CITY=100101 PREF=10",  // the writer's order
      L"#STATION JA1ABC GRID=PM95 QTH=Tokyo",
      L"#STATION JA1ABC GRID=PM95  PREF=10",           // one blank between fields
      L"#STATION JA1ABC GRID=PM95 LOC=",
      L"#STATION JA1ABC GRID=PM95 LOC=   ",
      L"2026/12/07 08:30J #STATION JA1ABC GRID=PM95",
  };
  for (const wchar_t* line : rows) EXPECT_EQ(ReadStationLine(line), std::nullopt) << test_support::Utf8(line);
}

TEST(StationLineTest, NoTemplateReadsAStationLineAsAContact) {
  const std::wstring line = L"#STATION JA1ABC GRID=PM95 LOC=2026/12/07 08:30J QRP";
  const LocaleFormats formats{L"yyyy/MM/dd", L":", L"."};
  const LocalTime now{2026, 12, 8, 0, 0, 0};
  // This template reads the line's location as a contact; the reader takes it for the station.
  ASSERT_TRUE(ReadWithTemplate(line, L"#MM=#DT #TMJ QRP", formats, now));
  for (const wchar_t* template_text : {L"#MM=#DT #TMJ QRP", kDefaultTemplate, L"#MM #DT #TM"}) {
    EXPECT_EQ(ReadLogLine(line, template_text, formats, now), std::nullopt) << test_support::Utf8(template_text);
  }
}

}  // namespace
}  // namespace zelmor::entry

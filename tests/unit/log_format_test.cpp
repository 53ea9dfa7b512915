#include "entry/log_format.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

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

}  // namespace
}  // namespace zelmor::entry

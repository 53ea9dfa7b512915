#include "entry/log_line.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "entry/log_format.h"

namespace zelmor::entry {
namespace {

const std::wstring kDefault = entry::kDefaultTemplate;

// 5 March 2024, 21:05:37 (a Tuesday).
LocalTime At(int year = 2024, int month = 3, int day = 5, int hour = 21, int minute = 5) {
  LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = 37;
  return t;
}

LocaleFormats Japanese() { return LocaleFormats{L"yyyy/MM/dd", L":", L"."}; }
LocaleFormats German() { return LocaleFormats{L"dd.MM.yyyy", L":", L","}; }

FeedSnapshot Example() {
  return FeedSnapshot{L"SAT-1", L"435.850.000", L"145.950.000", L" 12345", L"USB"};
}

TEST(LogLineTest, WorkedExampleWithTheDefaultTemplate) {
  const auto line = LogLine(kDefault, Example(), L" CQ 599 ", At(), Japanese());
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, L"2024/03/05 21:05J CQ 599 %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850");
}

TEST(LogLineTest, FallbackLineKeepsTheMemoAsTyped) {
  EXPECT_EQ(FallbackLine(L" CQ 599 ", At(), Japanese()), L"2024/03/05 21:05J  CQ 599 ");
  EXPECT_EQ(FallbackLine(L"", At(2024, 12, 31, 0, 0), Japanese()), L"2024/12/31 00:00J ");
  EXPECT_EQ(FallbackLine(L"#TX", At(), German()), L"05.03.2024 21:05J #TX") << "no token expands";
}

struct LineRow {
  const char* why;
  std::wstring template_text;
  FeedSnapshot feed;
  std::wstring memo;
  std::optional<std::wstring> line;  // nothing: the composition fails
  std::wstring log_frequency = L"";  // checked when the line composes
};

TEST(LogLineTest, TokensOrderAndValues) {
  const FeedSnapshot ex = Example();
  auto with = [&](auto member, std::wstring value) {
    FeedSnapshot feed = ex;
    feed.*member = std::move(value);
    return feed;
  };
  const auto rx = &FeedSnapshot::receive_frequency;
  const auto tx = &FeedSnapshot::transmit_frequency;
  const auto sn = &FeedSnapshot::satellite_name;
  const auto md = &FeedSnapshot::mode;
  const LineRow rows[] = {
      {"empty template, empty line", L"", ex, L"x", L"", L"145/435"},
      {"no tokens: copied", L"50% = a/b: J", ex, L"x", L"50% = a/b: J", L"145/435"},
      {"tokens match case-sensitively", L"#dt #Tm #mm #Lf", ex, L"x", L"#dt #Tm #mm #Lf", L"145/435"},
      {"every occurrence, adjacent ones too", L"#MD#MD-#MD", ex, L"", L"SSBSSB-SSB"},
      {"a lone # before a token stays", L"##TX#", ex, L"", L"#145.950#"},
      {"memo with later tokens is expanded", L"#MM", ex, L"test #TX #RX #LF #MD",
       L"test 145.950 435.850 145/435 SSB"},
      {"memo with earlier tokens keeps them", L"#MM", ex, L"#DT #TM #SN #RV", L"#DT #TM #SN #RV"},
      {"satellite name expands #RV and #MM, not #DT", L"#SN", with(sn, L"#DT/#RV/#MM"), L"m",
       L"#DT/12345/m"},
      {"satellite name keeps its spaces", L"[#SN]", with(sn, L"  SAT 1 "), L"", L"[  SAT 1 ]"},
      {"empty memo: two spaces after the J", L"#TMJ #MM %", ex, L"", L"21:05J  %"},
      {"memo trimmed of spaces only", L"[#MM]", ex, L" \tCQ\u3000 ", L"[\tCQ\u3000]"},
      {"mode LSB with spaces becomes SSB", L"#MD", with(md, L"  LSB "), L"", L"SSB"},
      {"mode usb stays", L"#MD", with(md, L"usb"), L"", L"usb"},
      {"mode FM stays", L"#MD", with(md, L"FM"), L"", L"FM"},
      {"mode USB-D stays", L"#MD", with(md, L"USB-D"), L"", L"USB-D"},
      {"frequency 0", L"#TX #LF", with(tx, L"0"), L"", L"0.000 0/435", L"0/435"},
      {"single precision holds 435,123,488", L"#RX", with(rx, L"435.123.501"), L"", L"435.123"},
      {"#RX rounds up where #LF truncates", L"#RX #LF", with(rx, L"435.999.999"), L"",
       L"436.000 145/435", L"145/435"},
      {"largest 32-bit frequency", L"#TX #LF", with(tx, L"2.147.483.647"), L"", L"2147.484 2147/435"},
      // 64-bit LOG frequency: microwave satellites compose.
      {"one above 32 bits composes", L"#TX #LF", with(tx, L"2.147.483.648"), L"", L"2147.484 2147/435"},
      {"2400 MHz up, 10489 MHz down", L"Up=#TX/Down=#RX #LF",
       FeedSnapshot{L"QO-100", L"10.489.750.000", L"2.400.250.000", L"0", L"USB"}, L"",
       L"Up=2400.250/Down=10489.750 2400/10489", L"2400/10489"},
      {"spaces around digits are read", L"#TX #LF", with(tx, L" 145950000 "), L"", L"145.950 145/435"},
      {"negative frequency keeps its sign", L"#TX #LF", with(tx, L"-145.950.000"), L"",
       L"-145.950 -145/435"},
      {"largest 64-bit frequency", L"#LF", with(tx, L"9.223.372.036.854.775.807"), L"",
       L"9223372036854/435"},
      {"receive not a number", L"#MM", with(rx, L"abc"), L"", std::nullopt},
      {"receive empty", L"#MM", with(rx, L""), L"", std::nullopt},
      {"transmit only dots", L"#MM", with(tx, L"..."), L"", std::nullopt},
      {"transmit with a unit", L"#MM", with(tx, L"145950000Hz"), L"", std::nullopt},
      {"no exponent form", L"#MM", with(tx, L"1e8"), L"", std::nullopt},
      {"no hexadecimal", L"#MM", with(tx, L"0x10"), L"", std::nullopt},
      {"no full-width digits", L"#MM", with(tx, L"１４５"), L"", std::nullopt},
      {"a comma is no decimal mark in this locale", L"#MM", with(tx, L"145950000,5"), L"", std::nullopt},
      {"beyond 64 bits", L"#MM", with(tx, L"9.223.372.036.854.775.808"), L"", std::nullopt},
      {"beyond single precision", L"#MM", with(rx, std::wstring(40, L'9')), L"", std::nullopt},
  };
  for (const auto& row : rows) {
    const auto line = LogLine(row.template_text, row.feed, row.memo, At(), Japanese());
    EXPECT_EQ(line, row.line) << row.why;
    if (line && !row.log_frequency.empty()) {
      EXPECT_EQ(LogFrequencyText(row.feed.transmit_frequency, row.feed.receive_frequency, L"."), row.log_frequency)
          << row.why;
    }
  }
}

TEST(LogLineTest, LocaleShapesDateTimeAndNumbers) {
  LocaleFormats locale = German();
  locale.time_separator = L".";
  FeedSnapshot feed = Example();
  feed.receive_frequency = L"435850000,5";  // a decimal comma where the locale has one
  const auto line = LogLine(kDefault, feed, L"CQ", At(), locale);
  EXPECT_EQ(line, L"05.03.2024 21.05J CQ %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145,950/Down=435,850");
}

TEST(LogLineTest, RunawayExpansionFailsInsteadOfGrowingWithoutBound) {
  auto repeat = [](const std::wstring& piece, int times) {
    std::wstring text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
  };
  FeedSnapshot feed = Example();
  feed.satellite_name = repeat(L"#MM", 2048);
  feed.mode = std::wstring(1000, L'x');
  // 2048 memos of 1000 modes of 1000 characters would be two billion characters.
  EXPECT_EQ(LogLine(L"#SN", feed, repeat(L"#MD", 1000), At(), Japanese()), std::nullopt);
  // The same shape at a sensible size composes.
  feed.mode = L"FM";
  const auto line = LogLine(L"#SN", feed, L"#MD", At(), Japanese());
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(*line, repeat(L"FM", 2048));
}

struct ParseRow {
  const char* why;
  std::wstring text;
  std::wstring decimal_mark;
  std::optional<int64_t> integer;
  std::optional<float> single;
};

TEST(ParseFrequencyTest, StrictNumbersInBothForms) {
  const auto kMax = std::numeric_limits<int64_t>::max();
  const auto kMin = std::numeric_limits<int64_t>::min();
  const ParseRow rows[] = {
      {"dots are group marks", L"435.850.000", L".", 435850000, 435849984.0f},
      {"dots anywhere", L".4.3.5.", L".", 435, 435.0f},
      {"ASCII white space around", L"\t 145 \r\n", L".", 145, 145.0f},
      {"plus sign", L"+7", L".", 7, 7.0f},
      {"minus sign", L"-7", L".", -7, -7.0f},
      {"leading zeros", L"000012", L".", 12, 12.0f},
      {"space after the sign", L"- 7", L".", std::nullopt, std::nullopt},
      {"space inside", L"1 2", L".", std::nullopt, std::nullopt},
      {"sign alone", L"-", L".", std::nullopt, std::nullopt},
      {"two signs", L"+-1", L".", std::nullopt, std::nullopt},
      {"trailing sign", L"5-", L".", std::nullopt, std::nullopt},
      {"ideographic space is not white space here", L"\u30005", L".", std::nullopt, std::nullopt},
      {"NUL inside", std::wstring(L"1\0" L"2", 3), L".", std::nullopt, std::nullopt},
      {"decimal comma, tie to even", L"2,5", L",", 2, 2.5f},
      {"decimal comma, tie to even upward", L"3,5", L",", 4, 3.5f},
      {"decimal comma, above half", L"2,5001", L",", 3, 2.5001f},
      {"fraction only", L",75", L",", 1, 0.75f},
      {"mark without fraction digits", L"4,", L",", 4, 4.0f},
      {"mark alone", L",", L",", std::nullopt, std::nullopt},
      {"two marks", L"1,2,3", L",", std::nullopt, std::nullopt},
      {"a mark made of digits is no mark", L"105", L"0", 105, 105.0f},
      {"empty mark", L"1", L"", 1, 1.0f},
      {"largest 64-bit", L"9223372036854775807", L".", kMax, 9223372036854775808.0f},
      {"smallest 64-bit", L"-9223372036854775808", L".", kMin, -9223372036854775808.0f},
      {"one beyond, either side", L"9223372036854775808", L".", std::nullopt, 9223372036854775808.0f},
      {"rounding up past 64 bits", L"9223372036854775807,5", L",", std::nullopt, 9223372036854775808.0f},
      {"beyond unsigned 64 bits", L"99999999999999999999", L".", std::nullopt, 1e20f},
      {"too small for a float reads as zero", L"0," + std::wstring(60, L'0') + L"1", L",", 0, 0.0f},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ParseFrequencyInteger(row.text, row.decimal_mark), row.integer) << row.why;
    EXPECT_EQ(ParseFrequencySingle(row.text, row.decimal_mark), row.single) << row.why;
  }
}

TEST(LogLineTrimTest, OnlyAsciiSpaces) {
  EXPECT_EQ(TrimSpaces(L"  a b  "), L"a b");
  EXPECT_EQ(TrimSpaces(L"   "), L"");
  EXPECT_EQ(TrimSpaces(L"\t a \u3000"), L"\t a \u3000");
}

TEST(ReplaceTokenTest, LeftToRightWithoutRescanningInsertedText) {
  EXPECT_EQ(ReplaceToken(L"#A#A#", L"#A", L"#A#A"), L"#A#A#A#A#");
  EXPECT_EQ(ReplaceToken(L"###", L"##", L"x"), L"x#");
  EXPECT_EQ(ReplaceToken(L"abc", L"", L"x"), L"abc");
  EXPECT_EQ(ReplaceToken(L"#A#A", L"#A", L"12345", 9), std::nullopt) << "10 characters";
  EXPECT_EQ(ReplaceToken(L"#A#A", L"#A", L"1234", 9), L"12341234");
}

}  // namespace
}  // namespace zelmor::entry

#include "contact/log_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "entry/log_line.h"
#include "settings/keys.h"

namespace zelmor::contact {
namespace {

const std::wstring kDefault = settings::kDefaultTemplate;

LineFormats Japanese() { return LineFormats{L"yyyy/MM/dd", L":", L"."}; }
LineFormats Wine() { return LineFormats{L"yyyy/M/d", L":", L"."}; }
LineFormats German() { return LineFormats{L"dd.MM.yyyy", L":", L","}; }

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

// One line per contact, so that a failing row shows every value at once.
std::string Describe(const std::optional<Contact>& c) {
  if (!c) return "unreadable";
  const char* shapes[] = {"current", "default", "fallback"};
  char when[64];
  std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d", c->year, c->month, c->day, c->hour, c->minute);
  std::string text = std::string(shapes[static_cast<int>(c->shape)]) + " " + when + Narrow(c->zone);
  auto add = [&](const char* name, const std::optional<std::wstring>& value) {
    if (value) text += std::string(" ") + name + "=[" + Narrow(*value) + "]";
  };
  add("memo", c->memo);
  add("sn", c->satellite_name);
  add("rv", c->rev);
  if (c->log_frequency) {
    text += " lf=" + std::to_string(c->log_frequency->uplink_mhz) + "/" + std::to_string(c->log_frequency->downlink_mhz);
  }
  add("md", c->mode);
  if (c->uplink) text += " up=" + std::to_string(c->uplink->kilohertz);
  if (c->downlink) text += " down=" + std::to_string(c->downlink->kilohertz);
  return text;
}

struct ReadRow {
  const char* why;
  std::wstring template_text;  // the current template
  std::wstring line;
  std::string read;
  LineFormats formats = Japanese();
};

TEST(ReadLogLineTest, ShapesTriedInTurn) {
  const std::wstring worked = L"2024/03/05 21:05J CQ 599 %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850";
  const std::string worked_read =
      " 2024-03-05 21:05J memo=[CQ 599] sn=[SAT-1] rv=[12345] lf=145/435 md=[SSB] up=145950 down=435850";
  const ReadRow rows[] = {
      {"composed with the current (default) template", kDefault, worked, "current" + worked_read},
      {"template changed since: the default reads it", L"#DT #TM #MM", worked, "default" + worked_read},
      {"a current template that reads it as one memo: the default explains more", L"#DT #TMJ #MM", worked,
       "default" + worked_read},
      {"a tie goes to the current template", L"#DT #TMJ #MM", L"2024/03/05 21:05J JA1ABC",
       "current 2024-03-05 21:05J memo=[JA1ABC]"},
      {"composed with a changed template", L"#DT #TM #MM #SN #MD", L"2024/03/05 21:05 JA1ABC 59 59 RS-44 SSB",
       "current 2024-03-05 21:05 memo=[JA1ABC 59 59] sn=[RS-44] md=[SSB]"},
      {"fallback line keeps the memo as typed", kDefault, L"2024/03/05 21:05J  CQ 599 ",
       "fallback 2024-03-05 21:05J memo=[ CQ 599 ]"},
      {"fallback line with an empty memo", kDefault, L"2024/12/31 00:00J ", "fallback 2024-12-31 00:00J memo=[]"},
      {"edited memo", kDefault,
       L"2024/03/05 21:05J JA1ABC 55 57 PM95 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640",
       "current 2024-03-05 21:05J memo=[JA1ABC 55 57 PM95] sn=[RS-44] rv=[21847] lf=145/435 md=[SSB] up=145965 "
       "down=435640"},
      {"empty memo", kDefault, L"2024/03/05 21:05J  %Sat=ISS/Rev:1% 145/437 FM Up=145.990/Down=437.800",
       "current 2024-03-05 21:05J memo=[] sn=[ISS] rv=[1] lf=145/437 md=[FM] up=145990 down=437800"},
      {"memo holding the next literal stays whole", kDefault,
       L"2024/03/05 21:05J a %Sat=b %Sat=SO-50/Rev:9% 145/436 FM Up=145.850/Down=436.795",
       "current 2024-03-05 21:05J memo=[a %Sat=b] sn=[SO-50] rv=[9] lf=145/436 md=[FM] up=145850 down=436795"},
      {"satellite name with spaces", kDefault,
       L"2024/03/05 21:05J JA1ABC %Sat=AO-7 B/Rev:1% 145/29 SSB Up=145.900/Down=29.450",
       "current 2024-03-05 21:05J memo=[JA1ABC] sn=[AO-7 B] rv=[1] lf=145/29 md=[SSB] up=145900 down=29450"},
      {"microwave and negative frequencies", L"#DT #TM #TX #RX #LF", L"2024/03/05 21:05 2400.250 -10489.750 2400/-10489",
       "current 2024-03-05 21:05 lf=2400/-10489 up=2400250 down=-10489750"},
      {"Wine's short date", kDefault, L"2024/3/5 09:07J JA1ABC %Sat=RS-44/Rev:1% 145/435 SSB Up=145.965/Down=435.640",
       "current 2024-03-05 09:07J memo=[JA1ABC] sn=[RS-44] rv=[1] lf=145/435 md=[SSB] up=145965 down=435640",
       Wine()},
      {"two-digit days and months with Wine's picture", L"#DT #TM", L"2024/11/25 23:59",
       "current 2024-11-25 23:59", Wine()},
      {"decimal comma and day first", kDefault,
       L"05.03.2024 21:05J CQ %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145,950/Down=435,850",
       "current 2024-03-05 21:05J memo=[CQ] sn=[SAT-1] rv=[12345] lf=145/435 md=[SSB] up=145950 down=435850",
       German()},
      {"two-digit year in this century", L"#DT #TM", L"24/03/05 21:05", "current 2024-03-05 21:05",
       LineFormats{L"yy/MM/dd", L":", L"."}},
      {"names of day and month", L"#DT #TM", L"Tue 5 March 2024 21:05", "current 2024-03-05 21:05",
       LineFormats{L"ddd d MMMM yyyy", L":", L"."}},
      {"leap day", L"#DT #TM", L"2024/02/29 12:00", "current 2024-02-29 12:00"},
      {"a number right after free text stays whole", L"#DT #TM #MM#LF", L"2024/03/05 21:05 CQ 145/435",
       "current 2024-03-05 21:05 memo=[CQ ] lf=145/435"},
      {"a template without date and time is not tried", L"#MM", L"2024/03/05 21:05J JA1ABC",
       "fallback 2024-03-05 21:05J memo=[JA1ABC]"},
      {"no date: unreadable", kDefault, L"21:05J JA1ABC", "unreadable"},
      {"no calendar date: unreadable", kDefault, L"2023/02/29 21:05J JA1ABC", "unreadable"},
      {"no clock time: unreadable", kDefault, L"2024/03/05 24:00J JA1ABC", "unreadable"},
      {"a note: unreadable", kDefault, L"--- pass 2 ---", "unreadable"},
      {"empty: unreadable", kDefault, L"", "unreadable"},
      {"a piece of a line: unreadable", kDefault, L"/03/05 21:05J JA1ABC", "unreadable"},
      {"a picture without a year reads nothing", kDefault, L"03/05 21:05J x", "unreadable",
       LineFormats{L"MM/dd", L":", L"."}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Describe(ReadLogLine(row.line, row.template_text, row.formats)), row.read) << row.why;
  }
}

// Whatever the composition writes, the reader gives back: the values of the default template's
// worked example, with the memos that make splitting hard.
TEST(ReadLogLineTest, ComposedLinesReadBack) {
  const entry::FeedSnapshot feed{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  LocalTime now;
  now.year = 2026, now.month = 12, now.day = 7, now.hour = 8, now.minute = 30;
  const std::wstring memos[] = {L"JA1ABC 59 59 PM95", L"", L"x/Rev:1% 1/2 FM Up=1.000/Down=2.000", L"%Sat=", L"145/435"};
  const std::wstring templates[] = {kDefault, L"#DT #TM #MM #SN #LF #MD", L"[#TM #DT] #MM|#SN|#RV|#TX|#RX|#MD"};
  for (const auto& t : templates) {
    for (const auto& memo : memos) {
      const auto line = entry::LogLine(t, feed, memo, now, entry::LocaleFormats{});
      ASSERT_TRUE(line.has_value());
      const auto c = ReadLogLine(*line, t, Japanese());
      ASSERT_TRUE(c.has_value()) << Narrow(*line);
      EXPECT_EQ(c->shape, LineShape::Current);
      EXPECT_EQ(std::make_tuple(c->year, c->month, c->day, c->hour, c->minute), std::make_tuple(2026, 12, 7, 8, 30));
      EXPECT_EQ(c->memo, memo) << Narrow(*line);
      EXPECT_EQ(c->satellite_name, L"RS-44") << Narrow(*line);
      if (c->uplink) {
        EXPECT_EQ(c->uplink->kilohertz, 145965);
      }
      if (c->log_frequency) {
        EXPECT_EQ(c->log_frequency->text, L"145/435");
      }
    }
  }
}

TEST(ReadLogLineTest, LongLinesAreReadWithoutRunningAway) {
  // Lots of the literal that follows the memo: every one is a place to split, and trying each
  // against every other would not end.
  std::wstring memo;
  for (int i = 0; i < 20000; ++i) memo += L" %Sat=x/Rev:";
  const std::wstring line = L"2024/03/05 21:05J " + memo + L" %Sat=ISS/Rev:1% 145/437 FM Up=145.990/Down=437.800";
  const auto c = ReadLogLine(line, kDefault, Japanese());
  ASSERT_TRUE(c.has_value());
  EXPECT_EQ(c->memo, memo);
  EXPECT_EQ(c->satellite_name, L"ISS");
}

struct WordsRow {
  std::wstring memo;
  std::wstring classes;  // one letter a word: C call, S sent, R received, G grid, - remark
};

TEST(ClassifyMemoTest, WordClasses) {
  const WordsRow rows[] = {
      {L"JA1ABC 59 59 PM95", L"CSRG"},
      {L"ja1abc/1 599 5nn pm95sq QRP", L"CSRG-"},
      {L"KH6/JA1ABC/P -10 +05 QM05", L"CSRG"},
      {L"JA1ABC 59", L"CS"},
      {L"JA1ABC PM95 59", L"CG-"},       // reports come right after the call sign
      {L"JA1ABC 59 59 60 PM95 PM96", L"CSR-G-"},  // one grid; 60 is no report
      {L"CQ 599", L"--"},                 // no digit: no call sign, so no reports
      {L"59 59", L"--"},                  // no letter
      {L"JA1ABC\u300059\t59", L"CSR"},    // full-width space and tab separate words too
      {L"JA1-ABC 59", L"--"},
      {L"A/B/C1/D 59", L"--"},
      {L"JA1ABC 69 5N", L"C--"},
      {L"JA1ABC SS99", L"C-"},            // S beyond R: no locator
      {L"5NN 5NN", L"--"},                // no call sign's shape
      {L"PM95 JA1ABC", L"G-"},
      {L"3D2AG 599", L"CS"},
      {L"2E0ABC/P 59", L"CS"},
      {L"", L""},
  };
  for (const auto& row : rows) {
    std::wstring classes;
    for (const auto& w : ClassifyMemo(row.memo).words) {
      const wchar_t letters[] = L"CSRG-";
      classes += letters[static_cast<int>(w.kind)];
    }
    EXPECT_EQ(Narrow(classes), Narrow(row.classes)) << Narrow(row.memo);
  }
  const auto words = ClassifyMemo(L"JA1ABC 59 59 QRP PM95 tnx");
  EXPECT_EQ(words.Remarks(true), L"QRP PM95 tnx");
  EXPECT_EQ(words.Remarks(false), L"QRP tnx");
}

TEST(FirstReadableLineTest, SkipsWhatCannotBeRead) {
  const std::wstring first = L"2024/03/05 21:05J JA1ABC";
  EXPECT_EQ(Describe(FirstReadableLine(L"notes\r\n  " + first + L"  \r\n2024/03/05 21:06J JA2XYZ", kDefault,
                                       Japanese())),
            "fallback 2024-03-05 21:05J memo=[JA1ABC]");
  EXPECT_EQ(Describe(FirstReadableLine(L"\n\r\n" + first, kDefault, Japanese())), "fallback 2024-03-05 21:05J memo=[JA1ABC]");
  EXPECT_EQ(FirstReadableLine(L"21:05J JA1ABC", kDefault, Japanese()), std::nullopt);
  EXPECT_EQ(FirstReadableLine(L"", kDefault, Japanese()), std::nullopt);
}

TEST(SplitLinesTest, EveryLineEnd) {
  using Lines = std::vector<std::wstring>;
  EXPECT_EQ(SplitLines(L"a\r\nb\nc\rd"), (Lines{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitLines(L"a\r\n"), (Lines{L"a"}));
  EXPECT_EQ(SplitLines(L"\r\n\r\n"), (Lines{L"", L""}));
  EXPECT_EQ(SplitLines(L""), Lines{});
}

}  // namespace
}  // namespace zelmor::contact

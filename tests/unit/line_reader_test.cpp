#include "entry/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "entry/log_format.h"
#include "entry/log_line.h"
#include "line_values_text.h"
#include "printable.h"

namespace zelmor::entry {
namespace {

const std::wstring kDefault = kDefaultTemplate;

LocaleFormats Japanese() { return LocaleFormats{L"yyyy/MM/dd", L":", L"."}; }
LocaleFormats Wine() { return LocaleFormats{L"yyyy/M/d", L":", L"."}; }
LocaleFormats German() { return LocaleFormats{L"dd.MM.yyyy", L":", L","}; }
LocaleFormats Picture(const wchar_t* short_date) { return LocaleFormats{short_date, L":", L"."}; }

// The day after the contacts of these tests.
const LocalTime kNow{2024, 3, 6, 12, 0, 0};

using test_support::Describe;
using test_support::Utf8;

// The date read ("2026-03-07", with the time when asked), or "-" for a line that was not read.
std::string DateRead(const std::optional<LineValues>& c, bool with_time = false) {
  if (!c) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", c->date.year, c->date.month, c->date.day);
  if (with_time) std::snprintf(text + 10, sizeof text - 10, " %02d:%02d", c->hour, c->minute);
  return text;
}

struct ReadRow {
  const char* why;
  std::wstring template_text;  // the current template
  std::wstring line;
  std::string read;
  LocaleFormats formats = Japanese();
  LocalTime now = kNow;
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
       LocaleFormats{L"yy/MM/dd", L":", L"."}},
      {"names of day and month", L"#DT #TM", L"Tue 5 March 2024 21:05", "current 2024-03-05 21:05",
       LocaleFormats{L"ddd d MMMM yyyy", L":", L"."}},
      {"leap day", L"#DT #TM", L"2024/02/29 12:00", "current 2024-02-29 12:00"},
      {"a number right after free text stays whole", L"#DT #TM #MM#LF", L"2024/03/05 21:05 CQ 145/435",
       "current 2024-03-05 21:05 memo=[CQ ] lf=145/435"},
      {"a LOG frequency has no more digits than the writer writes, when digits follow it", L"#DT #TM #LF2#TX",
       L"2024/03/05 21:05 154990000111/4372154989993729.720",
       "current 2024-03-05 21:05 lf=154990000111/437 up=154989993729720"},
      {"longer ones are still read, when nothing else reads the line", L"#DT #TM #LF", L"2024/03/05 21:05 1/12345678901234",
       "current 2024-03-05 21:05 lf=1/12345678901234"},
      {"a template without date and time is not tried", L"#MM", L"2024/03/05 21:05J JA1ABC",
       "fallback 2024-03-05 21:05J memo=[JA1ABC]"},
      {"no date: unreadable", kDefault, L"21:05J JA1ABC", "unreadable"},
      {"no calendar date: unreadable", kDefault, L"2023/02/29 21:05J JA1ABC", "unreadable"},
      {"no clock time: unreadable", kDefault, L"2024/03/05 24:00J JA1ABC", "unreadable"},
      {"a note: unreadable", kDefault, L"--- pass 2 ---", "unreadable"},
      {"empty: unreadable", kDefault, L"", "unreadable"},
      {"a piece of a line: unreadable", kDefault, L"/03/05 21:05J JA1ABC", "unreadable"},
      {"a picture without a year: the latest year not after the clock", kDefault, L"03/05 21:05J x",
       "fallback 2024-03-05 21:05J memo=[x]", LocaleFormats{L"MM/dd", L":", L"."}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Describe(ReadLogLine(row.line, row.template_text, row.formats, row.now)), row.read) << row.why;
  }
}

// Whatever the composition writes, the reader gives back: the values of the default template's
// worked example, with the memos that make splitting hard.
TEST(ReadLogLineTest, ComposedLinesReadBack) {
  const FeedSnapshot feed{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  LocalTime now;
  now.year = 2026, now.month = 12, now.day = 7, now.hour = 8, now.minute = 30;
  const std::wstring memos[] = {L"JA1ABC 59 59 PM95", L"", L"x/Rev:1% 1/2 FM Up=1.000/Down=2.000", L"%Sat=", L"145/435"};
  const std::wstring templates[] = {kDefault, L"#DT #TM #MM #SN #LF #MD", L"[#TM #DT] #MM|#SN|#RV|#TX|#RX|#MD"};
  for (const auto& t : templates) {
    for (const auto& memo : memos) {
      const auto line = LogLine(t, feed, memo, now, LocaleFormats{});
      ASSERT_TRUE(line.has_value());
      const auto c = ReadLogLine(*line, t, Japanese(), now);
      ASSERT_TRUE(c.has_value()) << Utf8(*line);
      EXPECT_EQ(c->shape, LineShape::Current);
      EXPECT_EQ(std::make_tuple(c->date.year, c->date.month, c->date.day, c->hour, c->minute), std::make_tuple(2026, 12, 7, 8, 30));
      EXPECT_EQ(c->memo, memo) << Utf8(*line);
      EXPECT_EQ(c->satellite_name, L"RS-44") << Utf8(*line);
      // A value the template writes is read back; one it does not write is not made up.
      const bool writes_uplink = t.find(L"#TX") != std::wstring::npos;
      ASSERT_EQ(c->uplink.has_value(), writes_uplink) << Utf8(*line);
      if (writes_uplink) {
        EXPECT_EQ(c->uplink->kilohertz, 145965) << Utf8(*line);
      }
      const bool writes_log_frequency = t.find(L"#LF") != std::wstring::npos;
      ASSERT_EQ(c->log_frequency.has_value(), writes_log_frequency) << Utf8(*line);
      if (writes_log_frequency) {
        EXPECT_EQ(c->log_frequency->text, L"145/435") << Utf8(*line);
      }
    }
  }
}

// A date of 7 March 2026 in the forms a log may hold, read on a machine of each picture (on
// 8 December 2026): the machine's own picture with and without leading zeros, Japanese Windows'
// default, ISO, a date without its year, and what an era picture writes. "-": unreadable.
struct DateFormsRow {
  const wchar_t* picture;
  std::wstring padded, unpadded;  // the picture's own form, with and without leading zeros
  const char* read[6];            // padded, unpadded, Windows, ISO, no year, era
};

TEST(ReadLogLineTest, DatesReadWhateverWroteThem) {
  const LocalTime now{2026, 12, 8, 12, 0, 0};
  const char* kMarch7 = "2026-03-07";
  const char* no = "-";
  const DateFormsRow rows[] = {
      {L"yyyy/MM/dd", L"2026/03/07", L"2026/3/7", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      {L"yyyy/M/d", L"2026/03/07", L"2026/3/7", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      {L"dd.MM.yyyy", L"07.03.2026", L"7.3.2026", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      {L"M/d/yyyy", L"03/07/2026", L"3/7/2026", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      {L"d-MMM-yy", L"07-Mar-26", L"7-Mar-26", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      {L"yy/MM/dd", L"26/03/07", L"26/3/7", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      // Without a year: the latest 7 March that is not after the clock.
      {L"M/d", L"03/07", L"3/7", {kMarch7, kMarch7, kMarch7, kMarch7, kMarch7, no}},
      // The era is written as nothing, so the line holds what the rest of the picture writes.
      {L"gg y/M/d", L" 26/03/07", L" 26/3/7", {kMarch7, kMarch7, kMarch7, kMarch7, no, kMarch7}},
      {L"ggyy/MM/dd", L"26/03/07", L"26/3/7", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
      {L"yyyy'年'M'月'd'日'", L"2026年03月07日", L"2026年3月7日", {kMarch7, kMarch7, kMarch7, kMarch7, no, no}},
  };
  for (const auto& row : rows) {
    const std::wstring forms[6] = {row.padded, row.unpadded, L"2026/03/07", L"2026-03-07", L"3/7", L" 26/3/7"};
    for (int f = 0; f < 6; ++f) {
      EXPECT_EQ(DateRead(ReadLogLine(forms[f] + L" 08:30J JA1ABC", kDefault, Picture(row.picture), now)), row.read[f])
          << Utf8(row.picture) << " reading " << Utf8(forms[f]);
    }
  }
}

struct YearRow {
  const char* why;
  const wchar_t* picture;
  std::wstring date_and_time;
  const char* read;
};

TEST(ReadLogLineTest, DatesWithoutTheirYearTakeTheLatestYearNotInTheFuture) {
  const LocalTime now{2026, 12, 8, 10, 0, 0};  // 8 December 2026, 10:00
  const YearRow rows[] = {
      {"earlier today", L"M/d", L"12/8 09:59", "2026-12-08 09:59"},
      {"this very minute", L"M/d", L"12/8 10:00", "2026-12-08 10:00"},
      {"a minute ahead of the clock: a year ago", L"M/d", L"12/8 10:01", "2025-12-08 10:01"},
      {"later in the year: last year", L"M/d", L"12/31 23:59", "2025-12-31 23:59"},
      {"a leap day: the last leap year", L"M/d", L"2/29 12:00", "2024-02-29 12:00"},
      {"no 30 February in any year", L"M/d", L"2/30 12:00", "-"},
      {"two digits of the year: this century", L"yy/M/d", L"26/12/8 09:00", "2026-12-08 09:00"},
      {"two digits of the year: the last century", L"yy/M/d", L"99/1/1 00:00", "1999-01-01 00:00"},
      {"two digits, tomorrow: a century ago", L"yy/M/d", L"26/12/9 00:00", "1926-12-09 00:00"},
      {"a leap day of 00 is 2000's", L"yy/M/d", L"00/2/29 00:00", "2000-02-29 00:00"},
      {"no year ending in 01 has a leap day", L"yy/M/d", L"01/2/29 00:00", "-"},
      {"four digits are the year, even ahead of the clock", L"yyyy/M/d", L"2027/1/1 00:00", "2027-01-01 00:00"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DateRead(ReadWithTemplate(row.date_and_time, L"#DT #TM", Picture(row.picture), now), true), row.read)
        << row.why;
  }
}

struct UnseparatedRow {
  const wchar_t* picture;
  std::wstring text;
  const char* read;
};

// Without separators a number of one or two digits can end in two places; of two readings of the
// same length the one this picture writes wins.
TEST(ReadLogLineTest, UnseparatedDatesPreferWhatThePictureWrites) {
  const UnseparatedRow rows[] = {
      {L"yyyyMdd", L"2026107", "2026-01-07"},   // M=1 dd=07 as written, not M=10 dd=7
      {L"yyyyMMd", L"2026127", "2026-12-07"},   // MM=12 d=7, not MM=1 d=27
      {L"yyyyMMdd", L"20260307", "2026-03-07"},
      {L"yyyyMMdd", L"202637", "2026-03-07"},    // the only reading
      {L"yyMd", L"26127", "2026-12-07"},         // both as written: the longer month first
  };
  for (const auto& row : rows) {
    EXPECT_EQ(DateRead(ReadWithTemplate(row.text + L" 08:30", L"#DT #TM", Picture(row.picture), LocalTime{2026, 12, 8})),
              row.read)
        << Utf8(row.picture) << " " << Utf8(row.text);
  }
}

TEST(ReadLogLineTest, LongLinesAreReadWithoutRunningAway) {
  // Lots of the literal that follows the memo: every one is a place to split, and trying each
  // against every other would not end.
  std::wstring memo = L"CQ";
  for (int i = 0; i < 20000; ++i) memo += L" %Sat=x/Rev:";
  const std::wstring line = L"2024/03/05 21:05J " + memo + L" %Sat=ISS/Rev:1% 145/437 FM Up=145.990/Down=437.800";
  const auto c = ReadLogLine(line, kDefault, Japanese(), kNow);
  ASSERT_TRUE(c.has_value());
  EXPECT_TRUE(c->memo == memo) << "a memo of " << (c->memo ? c->memo->size() : 0) << " characters";
  EXPECT_EQ(c->satellite_name, L"ISS");
}

TEST(SplitAtEveryLineEndTest, EveryLineEnd) {
  using Lines = std::vector<std::wstring>;
  EXPECT_EQ(SplitAtEveryLineEnd(L"a\r\nb\nc\rd"), (Lines{L"a", L"b", L"c", L"d"}));
  EXPECT_EQ(SplitAtEveryLineEnd(L"a\r\n"), (Lines{L"a"}));
  EXPECT_EQ(SplitAtEveryLineEnd(L"\r\n\r\n"), (Lines{L"", L""}));
  EXPECT_EQ(SplitAtEveryLineEnd(L""), Lines{});
}

}  // namespace
}  // namespace zelmor::entry

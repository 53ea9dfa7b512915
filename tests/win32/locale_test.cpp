// Dates and locale settings of log lines against the platform's own formatting. The end-to-end
// tests take their expected dates from GetDateFormatW, so our short date must agree with it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "base/clock_win.h"
#include "entry/date_picture.h"
#include "entry/locale_win.h"
#include "entry/log_line.h"

namespace zelmor::entry {
namespace {

bool RunningOnWine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

SYSTEMTIME Date(WORD year, WORD month, WORD day) {
  SYSTEMTIME st{};
  st.wYear = year;
  st.wMonth = month;
  st.wDay = day;
  return st;
}

LocalTime FromSystemTime(const SYSTEMTIME& st) {
  LocalTime t;
  t.year = st.wYear, t.month = st.wMonth, t.day = st.wDay;
  t.hour = st.wHour, t.minute = st.wMinute, t.second = st.wSecond;
  return t;
}

// The platform's formatting; "(failed, error N)" when it refuses.
std::wstring PlatformDate(LCID locale, DWORD flags, const SYSTEMTIME& st, const wchar_t* picture) {
  wchar_t text[256] = L"sentinel";
  SetLastError(0xdeadbeef);
  if (GetDateFormatW(locale, flags, &st, picture, text, 256) == 0) {
    return L"(failed, error " + std::to_wstring(GetLastError()) + L")";
  }
  return text;
}

const SYSTEMTIME kDates[] = {Date(2024, 3, 5), Date(2024, 12, 25), Date(2005, 1, 9), Date(1999, 10, 1),
                             Date(2030, 7, 31)};

TEST(LocaleWinTest, ShortDateMatchesGetDateFormat) {
  const LocaleFormats formats = CurrentLocaleFormats();
  for (const auto& st : kDates) {
    EXPECT_EQ(FormatShortDate(formats.short_date, FromSystemTime(st)),
              PlatformDate(LOCALE_USER_DEFAULT, DATE_SHORTDATE, st, nullptr))
        << "short-date picture: " << ::testing::PrintToString(formats.short_date);
  }
}

struct PictureRow {
  const char* why;
  const wchar_t* picture;
};

// Pictures a user may set as the short date, through both formatters. Names use the invariant
// locale, whose names are ours.
TEST(LocaleWinTest, PicturesMatchGetDateFormat) {
  const PictureRow rows[] = {
      {"Windows ja-JP", L"yyyy/MM/dd"},
      {"Wine ja-JP", L"yyyy/M/d"},
      {"en-GB", L"dd/MM/yyyy"},
      {"en-US", L"M/d/yyyy"},
      {"de-DE", L"dd.MM.yyyy"},
      {"two-digit year", L"yy-MM-dd"},
      {"quoted literals", L"yyyy'年'M'月'd'日'"},
      {"doubled quote inside quotes", L"'it''s' d"},
      {"empty quotes", L"d''M"},
      {"unclosed quote", L"d 'yy"},
      {"names", L"ddd, dddd d MMM MMMM yyyy"},
      {"long runs", L"yyyyy ddddd MMMMM"},
      {"letters that are no date pictures", L"D/m/Y hh:mm tt"},
  };
  for (const auto& row : rows) {
    for (const auto& st : kDates) {
      EXPECT_EQ(FormatShortDate(row.picture, FromSystemTime(st)),
                PlatformDate(LOCALE_INVARIANT, 0, st, row.picture))
          << row.why;
    }
  }
}

TEST(LocaleWinTest, SingleYearLetterIsTheYearWithinTheCentury) {
  if (RunningOnWine()) {
    GTEST_SKIP() << "Wine 8 writes \"y\" as \"yy\" (2005 as 05); we follow d and M, and Wine's "
                    "earlier formatter: no leading zero";
  }
  EXPECT_EQ(FormatShortDate(L"y", FromSystemTime(Date(2005, 3, 5))),
            PlatformDate(LOCALE_INVARIANT, 0, Date(2005, 3, 5), L"y"));
}

TEST(LocaleWinTest, JapaneseUserLocale) {
  if (PRIMARYLANGID(LANGIDFROMLCID(GetUserDefaultLCID())) != LANG_JAPANESE) {
    GTEST_SKIP() << "run with LC_ALL=ja_JP.UTF-8";
  }
  const LocaleFormats formats = CurrentLocaleFormats();
  EXPECT_TRUE(formats.short_date == L"yyyy/M/d" || formats.short_date == L"yyyy/MM/dd")
      << ::testing::PrintToString(formats.short_date);
  EXPECT_EQ(formats.time_separator, L":");
  EXPECT_EQ(formats.decimal_mark, L".");
}

// The numbers go through the C++ runtime (from_chars, to_wstring); mingw's must agree with glibc's.
TEST(LocaleWinTest, WorkedExampleComposesAsOnLinux) {
  const FeedSnapshot feed{L"SAT-1", L"435.123.501", L"2.400.250.000", L" 12345", L"USB"};
  LocaleFormats formats;
  formats.short_date = L"yyyy/MM/dd";
  const auto line = LogLine(L"#DT #TMJ #MM #LF #MD Up=#TX/Down=#RX", feed, L" CQ 599 ",
                            FromSystemTime(Date(2024, 3, 5)), formats);
  EXPECT_EQ(line, L"2024/03/05 00:00J CQ 599 2400/435 SSB Up=2400.250/Down=435.123");
  EXPECT_EQ(FormatFrequencyMHz(1000500.0f, L"."), L"1.001");
  EXPECT_EQ(ParseFrequencySingle(L"0,5", L","), 0.5f);
}

TEST(LocaleWinTest, SystemClockReadsLocalTime) {
  auto key = [](const LocalTime& t) {
    return std::make_tuple(t.year, t.month, t.day, t.hour, t.minute, t.second);
  };
  SYSTEMTIME before{}, after{};
  GetLocalTime(&before);
  const LocalTime now = base::SystemClock().Now();
  GetLocalTime(&after);
  EXPECT_LE(key(FromSystemTime(before)), key(now));
  EXPECT_LE(key(now), key(FromSystemTime(after)));
}

}  // namespace
}  // namespace zelmor::entry

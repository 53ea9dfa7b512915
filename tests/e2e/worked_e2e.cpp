// Worked before, seen from outside: logs in the log folder, a call typed into the entry box (with
// real key events through the X display, and as characters), the hint read from its window; a
// dupe of the same pass, another form of the same call, a new grid; typing and logging while a
// folder of 100,000 contacts is read; the summary "交信集計" of a known folder, following an
// Enter, LOG Open and the folder of LOG Save; and the hint turned off in "Zelmor.ini".

#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/codepage_win.h"
#include "base/resource.h"
#include "base/time_zone_win.h"
#include "confirmations/lotw_report.h"
#include "entry/log_format.h"
#include "entry_support.h"
#include "harness.h"
#include "files_win.h"
#include "logfiles_support.h"
#include "lotw_answers.h"
#include "worked/grid_map.h"
#include "worked/worked_source.h"
#include "worked_logs.h"
#include "worked_support.h"

namespace e2e {
namespace {

using namespace logging_loop;
using namespace worked;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

FeedSnapshot Serving(const std::wstring& satellite) {
  return {satellite, L"435.640.120", L"145.964.880", L"21847", L"USB"};
}

// "2026/12/01", as the hint writes a date.
std::wstring HintDate(const LocalTime& t) {
  wchar_t text[16];
  swprintf(text, 16, L"%04d/%02d/%02d", t.year, t.month, t.day);
  return text;
}

// "10:14J", as the hint writes the time of a contact of this pass.
std::wstring HintTime(const LocalTime& t) {
  wchar_t text[16];
  swprintf(text, 16, L"%02d:%02dJ", t.hour, t.minute);
  return text;
}

std::wstring Lines(const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
  return text;
}

// The number right after `label` in the summary's text; 0 when there is none.
size_t Number(const std::wstring& text, const std::wstring& label) {
  const size_t at = text.find(label);
  return at == std::wstring::npos ? 0 : std::wcstoul(text.c_str() + at + label.size(), nullptr, 10);
}

// Types `memo` into the entry box as characters, each handled before the next.
void Type(Zelmor& app, const std::wstring& memo) {
  SetWindowTextW(app.entry_box(), L"");
  SendChars(app.entry_box(), memo);
}

TEST(WorkedE2E, RealKeysShowTheHintBesideTheBoxWithoutTakingAKey) {
  TempFolder folder, logs;
  // Days before the test's own clock reading: never this pass, whatever the hour.
  const LocalTime first = Shifted(Now(), -3 * 24 * 60);
  WriteLog(logs.File(L"Zelmor261201.TXT"),
           {LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", first),
            LogLineAt(L"7K1XYZ/1 59 57 QM06", L"SO-50", Shifted(first, 3))});
  TrackerSim tracker(ServedValues(folder, Serving(L"RS-44")), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  WriteSettings(app, {L"LOGfol=" + logs.path()});
  ASSERT_TRUE(app.Start());
  if (!OnXDisplay(app.window())) GTEST_SKIP() << "no X display behind the windows";

  // The second contact with JA1ABC on RS-44, from a grid never worked.
  ASSERT_TRUE(TypeThroughDisplay(app.entry_box(), "JA1ABC 59 59 PM96"));
  const std::wstring expected =
      Lines({L"RS-44で交信済み " + HintDate(first) + L" (2回目)", L"PM96: 新グリッド"});
  EXPECT_TRUE(WaitForHint(app, expected)) << "hint " << (HintShown(app) ? "shown: " : "hidden: ")
                                          << Utf8(TextOf(HintWindow(app))) << "; box: " << Utf8(app.EntryText());
  EXPECT_EQ(app.EntryText(), L"JA1ABC 59 59 PM96") << "every key reached the entry box";
  EXPECT_EQ(GetForegroundWindow(), app.window()) << "the hint took the activation";
  // Beside the entry box: under it, or above it where the screen ends.
  const RECT box = WindowRectOf(app.entry_box()), hint = WindowRectOf(HintWindow(app));
  EXPECT_TRUE(hint.top >= box.bottom || hint.bottom <= box.top) << Describe(box) << " " << Describe(hint);

  // Esc takes the hint away, and typing brings it back; Enter takes it away and logs the line.
  ASSERT_TRUE(TypeThroughDisplay(app.entry_box(), "", {"Escape"}, false));
  EXPECT_TRUE(WaitUntil([&] { return !HintShown(app); })) << "Esc left the hint";
  const std::wstring memo = L"JA1ABC 59 59 PM96 QRP";
  ASSERT_TRUE(TypeThroughDisplay(app.entry_box(), " QRP", {}, false));
  // Each xdotool is a process of its own: the next one starts once this one's keys are in.
  ASSERT_TRUE(WaitUntil([&] { return app.EntryText() == memo; }, 20000)) << Utf8(app.EntryText());
  EXPECT_TRUE(WaitForHint(app, expected)) << "hint: " << Utf8(TextOf(HintWindow(app)));
  const LocalTime before = Now();
  ASSERT_TRUE(TypeThroughDisplay(app.entry_box(), "", {"Return"}, false));
  ASSERT_TRUE(WaitUntil([&] { return !app.PaneText().empty(); }, 20000));
  Settle(app.window());
  EXPECT_TRUE(AppendedOneOf(app.PaneText(), L"", ComposedLine(Serving(L"RS-44"), memo, before),
                            ComposedLine(Serving(L"RS-44"), memo, Now())));
  EXPECT_FALSE(HintShown(app)) << "the hint outlived the entry";
}

// Each row: what the log folder holds, the dupe window in "Zelmor.ini", what is typed, and the
// hint. Times are minutes before the test's own clock reading, so no row depends on the hour.
TEST(WorkedE2E, HintSpeaksOfThisPassOtherFormsAndNewGrids) {
  const LocalTime now = Now();
  const LocalTime ten_ago = Shifted(now, -10), forty_ago = Shifted(now, -40), a_year_ago = Shifted(now, -365 * 24 * 60);
  struct Row {
    const char* what;
    std::vector<std::wstring> log;
    const wchar_t* dupe_minutes;  // null: the default
    const wchar_t* typed;
    std::wstring hint;
  };
  const Row rows[] = {
      {"a dupe within the window, logged as another form",
       {LogLineAt(L"JA1ABC/1 59 59 PM95", L"RS-44", ten_ago)},
       nullptr,
       L"ja1abc 59",
       Lines({L"同じパスで交信済み " + HintTime(ten_ago), L"JA1ABC/1として交信済み"})},
      {"outside a dupe window of 5 minutes",
       {LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", ten_ago)},
       L"5",
       L"JA1ABC",
       Lines({L"RS-44で交信済み " + HintDate(ten_ago) + L" (2回目)"})},
      {"outside the default 30 minutes, the grid worked on another satellite",
       {LogLineAt(L"JA2DEF 59 59 PM95", L"RS-44", forty_ago), LogLineAt(L"JA3GHI 59 59 QM06", L"SO-50", a_year_ago)},
       nullptr,
       L"JA2DEF 59 59 QM06",
       Lines({L"RS-44で交信済み " + HintDate(forty_ago) + L" (2回目)", L"QM06: RS-44で新"})},
      {"worked on another satellite only, a grid already worked here",
       {LogLineAt(L"JA4JKL 59 59 PM95", L"SO-50", a_year_ago), LogLineAt(L"JA5MNO 59 59 PM95", L"RS-44", a_year_ago)},
       nullptr,
       L"JA4JKL 59 59 PM95",
       Lines({L"RS-44では初"})},
      {"a station never worked",
       {LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", a_year_ago)},
       nullptr,
       L"JH1ZZZ",
       Lines({L"初めての局"})},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    TrackerSim tracker(ServedValues(folder, Serving(L"RS-44")), folder.path());
    ASSERT_TRUE(tracker.ready());
    Zelmor app(folder);
    // The program's own folder is the log folder when "LOGfol" is missing.
    WriteLog(folder.File(L"Zelmor000000.TXT"), row.log);
    std::vector<std::wstring> settings;
    if (row.dupe_minutes) settings.push_back(L"DupeMinutes=" + std::wstring(row.dupe_minutes));
    WriteSettings(app, settings);
    ASSERT_TRUE(app.Start());
    Type(app, row.typed);
    EXPECT_TRUE(WaitForHint(app, row.hint)) << "hint: " << Utf8(TextOf(HintWindow(app)));
  }
}

// The satellite asker reads SatPC32 and Orbitron as it reads CSATmate, and the index reads their
// lines, which have no Rev.
TEST(WorkedE2E, HintNamesTheSatelliteOfSatPc32AndOrbitron) {
  const LocalTime a_year_ago = Shifted(Now(), -365 * 24 * 60);
  struct Row {
    const OtherTracker& tracker;
    const wchar_t* text;
  };
  const Row rows[] = {
      {kSatPc32, L"SNFO-29 AZ56.7 EL6.8 UP145951275 UMLSB DN435853062 DMUSB MA52.6"},
      {kOrbitron, L"SN\"FO-29\" AZ56.7 EL6.8 DN435853062 UP145951275 DMUSB UMLSB TU20240305120000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tracker.name);
    TempFolder folder;
    const auto tracker = StartTracker(row.tracker, folder.File(L"values.txt"), row.text);
    ASSERT_TRUE(tracker->ready());
    Zelmor app(folder);
    // Logged a year ago from the same program: a line without a Rev.
    WriteLog(folder.File(L"Zelmor000000.TXT"),
             {ComposedLine({L"FO-29", L"435.853.062", L"145.951.275", L"", L"USB"}, L"JA1ABC 59 59 PM95", a_year_ago)});
    WriteSettings(app, {});
    ASSERT_TRUE(app.Start());
    Type(app, L"JA1ABC");
    const std::wstring hint = Lines({L"FO-29で交信済み " + HintDate(a_year_ago) + L" (2回目)"});
    EXPECT_TRUE(WaitForHint(app, hint)) << "hint: " << Ansi(TextOf(HintWindow(app)));
  }
}

// The hint asks the tracking program on a conversation of its own: each Enter still gets the
// answer to its own request. The tracker answers Label1 with how often it was asked for it.
TEST(WorkedE2E, TheHintsOwnRequestsLeaveTheEntrysAnswersAlone) {
  TempFolder folder;
  FeedSnapshot counted = Serving(L"@count");
  TrackerSim tracker(ServedValues(folder, counted), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  WriteLog(folder.File(L"Zelmor000000.TXT"), {LogLineAt(L"JA1ABC 59 59", L"1", Shifted(Now(), -24 * 60))});
  ASSERT_TRUE(app.Start());
  Type(app, L"JA1ABC");
  // The hint's one question was the first request for Label1.
  ASSERT_TRUE(WaitForHint(app, L"1で交信済み " + HintDate(Shifted(Now(), -24 * 60)) + L" (2回目)"))
      << "hint: " << Utf8(TextOf(HintWindow(app)));
  const LocalTime before = Now();
  ASSERT_TRUE(SendEnter(app.entry_box()));
  counted.satellite_name = L"2";
  EXPECT_TRUE(AppendedOneOf(app.PaneText(), L"", ComposedLine(counted, L"JA1ABC", before),
                            ComposedLine(counted, L"JA1ABC", Now())));
}

// While the folder is read, keys go on arriving and an Enter logs them; the hint comes once the
// whole folder is in. (The summary, asked for right after the entry, tells whether the reading was
// still going on then: printed, since a fast machine may have finished.)
TEST(WorkedE2E, TypingGoesOnWhileAHundredThousandContactsAreRead) {
  TempFolder folder, logs;
  const LocalTime start = test_support::At(2020, 1, 1, 0, 0);
  for (int f = 0; f < 200; ++f) {
    WriteBytes(logs.File(L"Zelmor" + std::to_wstring(100000 + f) + L".TXT"),
               Ansi(test_support::SampleLog(500, static_cast<unsigned>(f), Shifted(start, f * 1500))));
  }
  const LocalTime known = Shifted(Now(), -2 * 24 * 60);
  WriteLog(logs.File(L"Zelmor999999.TXT"), {LogLineAt(L"JA1KNW 59 59 PM95", L"RS-44", known)});
  TrackerSim tracker(ServedValues(folder, Serving(L"RS-44")), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  WriteSettings(app, {L"LOGfol=" + logs.path()});
  ASSERT_TRUE(app.Start());

  const std::wstring memo = L"JA9TYP 59 59 typed while the logs are read";
  const LocalTime before = Now();
  PostChars(app.entry_box(), memo + L"\r");
  ASSERT_TRUE(WaitUntil([&] { return !app.PaneText().empty(); }, 60000)) << "entry box: " << Utf8(app.EntryText());
  Settle(app.window());
  EXPECT_TRUE(AppendedOneOf(app.PaneText(), L"", ComposedLine(Serving(L"RS-44"), memo, before),
                            ComposedLine(Serving(L"RS-44"), memo, Now())));
  EXPECT_EQ(app.EntryText(), L"");
  bool was_reading = false;
  const std::wstring summary = SummaryText(app, 120000, &was_reading);
  std::printf("[ figure   ] the logs were %s when the entry was made\n", was_reading ? "still being read" : "read");
  // Every line of the folder and the pane is a contact, whatever date picture wrote it.
  EXPECT_EQ(Number(summary, L"合計\t"), 100002u) << Utf8(summary);
  EXPECT_EQ(Number(summary, L"読めなかった行: "), 0u) << Utf8(summary);

  Type(app, L"JA1KNW");
  EXPECT_TRUE(WaitForHint(app, L"RS-44で交信済み " + HintDate(known) + L" (2回目)", 60000))
      << "hint: " << Utf8(TextOf(HintWindow(app)));
}

// A known folder counted: per satellite and in total, contacts, distinct operators and grids; a
// line that is no log line and one without a call are counted apart, the operator's station line
// is neither; a contact in two files counts once; the safety copy in the program's folder is the
// pane, not another log. Then an Enter, the folder that LOG Save moves to, and a log opened from a
// third folder, each in the count.
TEST(WorkedE2E, SummaryCountsAKnownFolderAndFollowsTheLog) {
  TempFolder folder, elsewhere;
  const LocalTime t = test_support::At(2026, 11, 3, 21, 5);
  const std::wstring shared = LogLineAt(L"JA2DEF 59 59 QM06", L"SO-50", Shifted(t, 6));
  WriteLog(folder.File(L"Zelmor261103.TXT"),
           {zelmor::entry::FormatStationLine({L"JA1ZZZ/1", {L"PM95"}, L"10", L"100101", L"Home"}),
            LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", t), LogLineAt(L"JA1ABC/P 59 59 PM95", L"RS-44", Shifted(t, 3)),
            shared, L"a line that is no log line", LogLineAt(L"CQ", L"", Shifted(t, 9)),
            LogLineAt(L"JA4JKL 59", L"", Shifted(t, 12))});
  WriteLog(folder.File(L"Zelmor261104.TXT"), {shared, LogLineAt(L"JA3GHI 59 59 PM96", L"ISS", Shifted(t, 24 * 60))});
  WriteLog(folder.File(L"Zelmor_temp.txt"), {LogLineAt(L"JA9TMP 59 59 PM97", L"RS-44", t)});
  WriteLog(elsewhere.File(L"Zelmor261001.TXT"), {LogLineAt(L"JA7OLD 59 59 PM85", L"AO-7", Shifted(t, -31 * 24 * 60))});
  // The tracker's values file is a *.txt too: it stays out of the log folder.
  TempFolder served;
  TrackerSim tracker(ServedValues(served, Serving(L"RS-44")), served.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  const std::wstring heading = L"衛星\tQSO\t局数\tグリッド\t確認QSO\t確認グリッド\r\n";
  EXPECT_EQ(SummaryText(app), heading +
                                  L"RS-44\t2\t1\t1\t0\t0\r\n"
                                  L"ISS\t1\t1\t1\t0\t0\r\n"
                                  L"SO-50\t1\t1\t1\t0\t0\r\n"
                                  L"(衛星名なし)\t1\t1\t0\t0\t0\r\n"
                                  L"合計\t5\t4\t3\t0\t0\r\n"
                                  L"\r\n"
                                  L"VUCC: 確認 0 / 交信 3\r\n"
                                  L"読めなかった行: 1行\r\n"
                                  L"コールサインで始まらない行: 1行\r\n");

  // An entry: the operator's third contact on RS-44, a new operator and a new grid.
  MakeEntry(app, L"JA5NEW 59 59 PM97");
  EXPECT_TRUE(WaitUntil([&] { return SummaryText(app).find(L"RS-44\t3\t2\t2\t0\t0\r\n") != std::wstring::npos; }))
      << Utf8(SummaryText(app));

  // LOG Save into another folder: that folder's logs are read from now on, and the first folder's
  // are let go (the saved file holds the pane's contacts, which the pane counts already).
  ASSERT_TRUE(SaveLog(app, elsewhere.File(L"Zelmor261201.TXT")));
  std::wstring summary;
  EXPECT_TRUE(WaitUntil(
      [&] {
        summary = SummaryText(app);
        return summary.find(L"AO-7\t1\t1\t1\t0\t0\r\n") != std::wstring::npos &&
               summary.find(L"合計\t2\t2\t2\t0\t0\r\n") != std::wstring::npos;
      },
      30000))
      << Utf8(summary);

  // LOG Open of a log in a third folder: the pane is that log now, and that folder is read.
  TempFolder third;
  WriteLog(third.File(L"Zelmor261002.TXT"), {LogLineAt(L"JR6PQR 59 59 PL36", L"FO-29", Shifted(t, -32 * 24 * 60))});
  ASSERT_TRUE(OpenLog(app, third.File(L"Zelmor261002.TXT")));
  EXPECT_TRUE(WaitUntil(
      [&] {
        summary = SummaryText(app);
        return summary == heading + L"FO-29\t1\t1\t1\t0\t0\r\n合計\t1\t1\t1\t0\t0\r\n\r\nVUCC: 確認 0 / 交信 1\r\n読めなかった行: 0行\r\n";
      },
      30000))
      << Utf8(summary);
}

// The summary's map, copied as a picture: the squares of the folder's contacts worked, the rest not.
TEST(WorkedE2E, SummaryMapShowsTheWorkedSquaresInTheirColour) {
  TempFolder folder;
  const LocalTime t = test_support::At(2026, 11, 3, 21, 5);
  WriteLog(folder.File(L"Zelmor261103.TXT"),
           {LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", t), LogLineAt(L"JA2DEF 59 59 QM06", L"SO-50", Shifted(t, 3)),
            LogLineAt(L"BV2JKL 59 59 PL05", L"RS-44", Shifted(t, 6))});
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const CopiedMap copied = CopySummaryMap(app);
  ASSERT_GT(copied.map_height, 0) << copied.width << "x" << copied.height;

  using zelmor::worked::GridNumber;
  const zelmor::worked::MapSquares squares{{GridNumber(L"PM95"), GridNumber(L"QM06"), GridNumber(L"PL05")}, {}, {}};
  using zelmor::worked::SquareStatus;
  const auto worked = zelmor::worked::StatusColour(SquareStatus::WorkedOnly);
  const auto not_worked = zelmor::worked::StatusColour(SquareStatus::NotWorked);
  for (const wchar_t* grid : {L"PM95", L"QM06", L"PL05"}) {
    EXPECT_EQ(copied.SquareColour(squares, grid), worked) << Utf8(grid);
  }
  for (const wchar_t* grid : {L"PM96", L"PM85", L"QM05"}) {
    EXPECT_EQ(copied.SquareColour(squares, grid), not_worked) << Utf8(grid);
  }
}

// LoTW's confirmations kept beside the logs, as a fetch leaves them: the summary counts what they
// confirm (a suffix logged, a grid line confirmed, one confirmation 31 minutes off), and the hint
// says of a square worked but not confirmed.
TEST(WorkedE2E, KeptConfirmationsShowInTheSummaryAndTheHint) {
  TempFolder folder, logs;
  const LocalTime t = Shifted(Now(), -3 * 24 * 60);
  WriteLog(logs.File(L"Zelmor261201.TXT"),
           {LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", t), LogLineAt(L"JA2XYZ/P 59 59 PM85", L"SO-50", Shifted(t, 10)),
            LogLineAt(L"JA3QRP 59 59 QM06", L"RS-44", Shifted(t, 20))});
  // LoTW's times are UTC: this machine's rules, as Zelmor's own.
  const zelmor::ComputerTimeZone zone;
  const auto qsl = [&](const char* call, const char* satellite, const LocalTime& local) {
    const auto utc = zone.ToUtc({local.year, local.month, local.day, local.hour, local.minute, 0});
    test_support::LotwQsl q;
    q.call = call, q.satellite = satellite;
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", utc->year, utc->month, utc->day);
    q.date = text;
    std::snprintf(text, sizeof text, "%02d%02d00", utc->hour, utc->minute);
    q.time = text;
    return q;
  };
  test_support::LotwQsl abc = qsl("JA1ABC", "RS-44", t), xyz = qsl("JA2XYZ", "SO-50", Shifted(t, 12)),
                        qrp = qsl("JA3QRP", "RS-44", Shifted(t, 20 + 31));
  abc.grid = "PM95", xyz.vucc = "PM85,PM86", qrp.grid = "QM06";
  const auto report = zelmor::confirmations::ReadReport(test_support::LotwAnswer({abc, xyz, qrp}));
  ASSERT_EQ(report.satellite.size(), 3u);
  test_support::WriteBytes(logs.File(zelmor::confirmations::kKeptFileName), zelmor::confirmations::Merge("", report).text);
  TrackerSim tracker(ServedValues(folder, Serving(L"RS-44")), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  WriteSettings(app, {L"LOGfol=" + logs.path()});
  ASSERT_TRUE(app.Start());

  EXPECT_EQ(SummaryText(app), L"衛星\tQSO\t局数\tグリッド\t確認QSO\t確認グリッド\r\n"
                              L"RS-44\t2\t2\t2\t1\t1\r\n"
                              L"SO-50\t1\t1\t1\t1\t2\r\n"
                              L"合計\t3\t3\t3\t2\t3\r\n"
                              L"\r\n"
                              L"VUCC: 確認 3 / 交信 3\r\n"
                              L"読めなかった行: 0行\r\n");
  Type(app, L"JA9NEW 59 59 QM06");
  EXPECT_TRUE(WaitForHint(app, L"初めての局\r\nQM06: 交信済み・未確認"));
  Type(app, L"JA9NEW 59 59 PM86");
  EXPECT_TRUE(WaitForHint(app, L"初めての局\r\nPM86: 新グリッド")) << "confirmed, but never worked";
  Type(app, L"JA9NEW 59 59 PM95");
  EXPECT_TRUE(WaitForHint(app, L"初めての局")) << "worked and confirmed";

  // The map: the confirmed squares (a grid line's both), the one worked only, one neither.
  Type(app, L"");
  const CopiedMap copied = CopySummaryMap(app);
  ASSERT_GT(copied.map_height, 0) << copied.width << "x" << copied.height;
  using zelmor::worked::GridNumber;
  const zelmor::worked::MapSquares on_map{{GridNumber(L"PM95"), GridNumber(L"PM85"), GridNumber(L"QM06")},
                                          {GridNumber(L"PM95"), GridNumber(L"PM85"), GridNumber(L"PM86")},
                                          {}};
  using zelmor::worked::SquareStatus;
  const struct {
    const wchar_t* grid;
    SquareStatus status;
  } squares[] = {{L"PM95", SquareStatus::Confirmed},
                 {L"PM85", SquareStatus::Confirmed},
                 {L"PM86", SquareStatus::Confirmed},
                 {L"QM06", SquareStatus::WorkedOnly},
                 {L"PM96", SquareStatus::NotWorked}};
  for (const auto& square : squares) {
    EXPECT_EQ(copied.SquareColour(on_map, square.grid), zelmor::worked::StatusColour(square.status))
        << Utf8(square.grid);
  }
}

TEST(WorkedE2E, HintsOffInTheSettingsShowNoHintButTheSummaryCounts) {
  TempFolder folder;
  WriteLog(folder.File(L"Zelmor000000.TXT"), {LogLineAt(L"JA1ABC 59 59 PM95", L"RS-44", Shifted(Now(), -5))});
  TrackerSim tracker(ServedValues(folder, Serving(L"RS-44")), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  WriteSettings(app, {L"Hints=0"});
  ASSERT_TRUE(app.Start());
  // The summary reads the folder once asked for: from then on the index is whole.
  EXPECT_NE(SummaryText(app).find(L"合計\t1\t1\t1\t0\t0\r\n"), std::wstring::npos);
  Type(app, L"JA1ABC 59 59 PM96");
  Settle(app.window());
  Settle(app.window());
  EXPECT_FALSE(HintShown(app));
  EXPECT_EQ(HintWindow(app), nullptr) << "no hint window is made at all";
}

}  // namespace
}  // namespace e2e

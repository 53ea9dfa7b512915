// The ADIF export seen from outside: a log made of entries composed with the tracking-program
// simulator serving, an entry made after it was killed, a line the operator edited and one they
// typed that is no log line; the File menu's "ADIF出力(&A)", the Save dialog, the summary box, and
// the records in the file; and the question before an existing file is replaced. Zelmor runs in
// Japan's time zone, so every time in the file is nine hours behind the log's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "adif_support.h"
#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

using Record = AdifRecord;

SYSTEMTIME UtcNow() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return now;
}


// Japan Standard Time, all year.
constexpr int kJapanMinutes = 9 * 60;

LocalTime InJapan(const SYSTEMTIME& utc) {
  const SYSTEMTIME t = PlusMinutes(utc, kJapanMinutes);
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

SYSTEMTIME UtcOf(const LocalTime& japan) {
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(japan.year), t.wMonth = static_cast<WORD>(japan.month);
  t.wDay = static_cast<WORD>(japan.day), t.wHour = static_cast<WORD>(japan.hour);
  t.wMinute = static_cast<WORD>(japan.minute), t.wSecond = static_cast<WORD>(japan.second);
  return PlusMinutes(t, -kJapanMinutes);
}

std::string Digits(int value, int width) {
  std::string text = std::to_string(value);
  return std::string(text.size() < static_cast<size_t>(width) ? width - text.size() : 0, '0') + text;
}

std::string AdifDate(const SYSTEMTIME& t) { return Digits(t.wYear, 4) + Digits(t.wMonth, 2) + Digits(t.wDay, 2); }
std::string AdifTime(const SYSTEMTIME& t) { return Digits(t.wHour, 2) + Digits(t.wMinute, 2); }

// Wine takes a program's time zone from TZ, which no Windows call of a test can change for the
// programs it starts; test.sh runs everything in Japan's.
bool ComputerKeepsJapanTime() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD kind = GetTimeZoneInformation(&zone);
  return kind != TIME_ZONE_ID_INVALID && zone.Bias == -kJapanMinutes && zone.StandardDate.wMonth == 0;
}

struct Expected {
  std::string call, band, mode, sat_name;
  std::optional<Moment> at;  // for a line of a live entry, on the computer's clock (Japan's)
  std::string fixed;         // "QSO_DATE TIME_ON" for a line typed in
};

::testing::AssertionResult RecordIs(const Record& r, const Expected& e) {
  auto get = [&](const char* name) {
    const auto it = r.find(name);
    return it == r.end() ? std::string("(none)") : it->second;
  };
  auto or_none = [](const std::string& value) { return value.empty() ? std::string("(none)") : value; };
  std::string problems;
  auto check = [&](const char* name, const std::string& expected) {
    if (get(name) != expected) problems += std::string(" ") + name + "=" + get(name) + " instead of " + expected;
  };
  check("CALL", e.call);
  check("BAND", or_none(e.band));
  check("MODE", or_none(e.mode));
  check("SAT_NAME", or_none(e.sat_name));
  check("PROP_MODE", e.sat_name.empty() ? "(none)" : "SAT");
  const std::string when = get("QSO_DATE") + " " + get("TIME_ON");
  if (e.at) {
    const SYSTEMTIME first = UtcOf(e.at->before), last = UtcOf(e.at->after);
    const std::string before = AdifDate(first) + " " + AdifTime(first);
    const std::string after = AdifDate(last) + " " + AdifTime(last);
    if (when != before && when != after) problems += " at " + when + " instead of " + before + " or " + after;
  } else if (when != e.fixed) {
    problems += " at " + when + " instead of " + e.fixed;
  }
  if (problems.empty()) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << e.call << ":" << problems;
}

const FeedSnapshot kIss{L"ISS", L"437.800.000", L"145.990.000", L"45123", L"FM"};
const FeedSnapshot kGreenCube{L"GreenCube", L"435.310.000", L"435.310.000", L"1234", L"FM"};
const FeedSnapshot kUnknown{L"XW-99", L"435.500.000", L"145.900.000", L"77", L"USB"};
const FeedSnapshot kSo50{L"SO-50", L"436.795.000", L"145.850.000", L"97254", L"FM"};

TEST(AdifExportE2E, ComposedFallbackEditedAndUnreadableLinesGiveTheirRecordsAndCounts) {
  if (!ComputerKeepsJapanTime()) GTEST_SKIP() << "needs Japan's time zone (TZ=Asia/Tokyo, as test.sh sets)";
  TempFolder folder;
  // The operator's own spelling of a satellite that LoTW's list in this program lacks.
  WriteBytes(folder.File(kSettings), "[SatNames]\r\nGreenCube=IO-117\r\n");
  const std::wstring values = folder.File(L"values.txt");
  WriteTrackerValues(values, kIss);
  TrackerSim tracker(L"--values \"" + values + L"\"", folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  // Three entries with the tracker serving, one after it was killed.
  Moment iss;
  ASSERT_TRUE(TimedEnter(app, L"JA1ABC 59 55 PM95", iss));
  ASSERT_TRUE(AppendedOneOf(app.PaneText(), L"", ComposedLine(kIss, L"JA1ABC 59 55 PM95", iss.before),
                            ComposedLine(kIss, L"JA1ABC 59 55 PM95", iss.after)));
  WriteTrackerValues(values, kGreenCube);
  Moment greencube;
  ASSERT_TRUE(TimedEnter(app, L"7K1DEF 5NN 599", greencube));
  WriteTrackerValues(values, kUnknown);
  Moment unknown;
  ASSERT_TRUE(TimedEnter(app, L"JR3GHI", unknown));
  tracker.Kill();
  const std::wstring composed = app.PaneText();
  Moment fallback;
  ASSERT_TRUE(TimedEnter(app, L"JH4JKL 59 59", fallback));
  const std::wstring entered = app.PaneText();
  ASSERT_TRUE(AppendedOneOf(entered, composed, FallbackAt(L"JH4JKL 59 59", fallback.before),
                            FallbackAt(L"JH4JKL 59 59", fallback.after)));

  // In edit mode the operator corrects the first call and types two more lines: one that is no log
  // line, and a contact of the night before from their notes.
  // Sent, not posted: a posted command could still wait behind the check that follows.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(app.window(), WM_COMMAND, MAKEWPARAM(IDM_EDIT_MODE, 0), 0, SMTO_NORMAL, 15000, &ignored);
  ASSERT_TRUE(IsWindowEnabled(app.pane()));
  const size_t call_at = entered.find(L"JA1ABC");
  SendMessageW(app.pane(), EM_SETSEL, call_at, call_at + 6);
  SendChars(app.pane(), L"JA1XYZ");
  SendMessageW(app.pane(), EM_SETSEL, entered.size(), entered.size());
  const std::wstring night = ComposedLine(kSo50, L"JE1ZZZ 59 59", LocalTime{2026, 12, 7, 8, 30, 0});
  SendChars(app.pane(), L"73 TNX QRT\r" + night + L"\r");
  const std::wstring log = app.PaneText();
  ASSERT_EQ(std::count(log.begin(), log.end(), L'\n'), 6) << Utf8(log);

  // The export leaves edit mode, proposes today's file, and reports what it did.
  const SYSTEMTIME asked = UtcNow();
  SendCommand(app.window(), IDM_ADIF_EXPORT);
  HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_ADIF_TITLE));
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(IsWindowEnabled(app.pane()));
  const SYSTEMTIME shown = UtcNow();
  const std::wstring proposed = FileNameBoxText(dialog);
  auto proposal = [](const SYSTEMTIME& utc) {
    const LocalTime day = InJapan(utc);
    return L"Zelmor" + std::to_wstring(day.year % 100 * 10000 + day.month * 100 + day.day) + L".adi";
  };
  EXPECT_TRUE(proposed == proposal(asked) || proposed == proposal(shown)) << Utf8(proposed);
  const std::wstring file = folder.File(L"pass.adi");
  ASSERT_TRUE(ChooseFile(app, dialog, file));

  HWND box = app.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageText(box),
            L"ADIFファイルに出力しました。\r\n"
            L"\r\n"
            L"局情報: なし（自局のコールサインやグリッドは出力していません）\r\n"
            L"出力したQSO: 5件\r\n"
            L"　うち衛星データなし: 1件\r\n"
            L"　うちLoTWにない衛星名: 1件\r\n"
            L"　　（XW-99）\r\n"
            L"　　Zelmor.iniの[SatNames]で指定できます\r\n"
            L"読めない行（出力せず）: 1行\r\n"
            L"\r\n"
            L"出力しなかった行:\r\n"
            L"5行目: 73 TNX QRT");
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitDestroyed(box));
  EXPECT_TRUE(NoDialogOpen(app));

  const std::string adif = ReadBytes(file);
  const std::vector<Record> records = AdifRecords(adif);
  ASSERT_EQ(records.size(), 5u) << adif;
  EXPECT_TRUE(RecordIs(records[0], {"JA1XYZ", "2m", "FM", "ARISS", iss, ""}));
  EXPECT_TRUE(RecordIs(records[1], {"7K1DEF", "70cm", "FM", "IO-117", greencube, ""}));
  EXPECT_TRUE(RecordIs(records[2], {"JR3GHI", "2m", "SSB", "XW-99", unknown, ""}));
  EXPECT_TRUE(RecordIs(records[3], {"JH4JKL", "", "", "", fallback, ""}));
  EXPECT_TRUE(RecordIs(records[4], {"JE1ZZZ", "2m", "FM", "SO-50", std::nullopt, "20261206 2330"}));
  EXPECT_EQ(app.PaneText(), log) << "the export only reads the log";
}

// The issue behind this test: a log whose dates had leading zeros that this machine's picture
// (Wine's yyyy/M/d) does not write exported none of its contacts.
TEST(AdifExportE2E, ALogWrittenWithAnotherDatePictureExportsEveryContact) {
  if (!ComputerKeepsJapanTime()) GTEST_SKIP() << "needs Japan's time zone (TZ=Asia/Tokyo, as test.sh sets)";
  for (const bool mixed : {false, true}) {
    SCOPED_TRACE(mixed ? "padded and unpadded dates" : "padded dates");
    TempFolder folder;
    const std::wstring log = LogOfDecember7(mixed);
    WriteBytes(folder.File(L"field.txt"), Ansi(log));
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(OpenLog(app, folder.File(L"field.txt")));
    ASSERT_EQ(app.PaneText(), log);

    SendCommand(app.window(), IDM_ADIF_EXPORT);
    HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_ADIF_TITLE));
    ASSERT_TRUE(dialog);
    const std::wstring file = folder.File(L"field.adi");
    ASSERT_TRUE(ChooseFile(app, dialog, file));
    HWND box = app.WaitForMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(MessageText(box),
              L"ADIFファイルに出力しました。\r\n"
              L"\r\n"
              L"局情報: なし（自局のコールサインやグリッドは出力していません）\r\n"
              L"出力したQSO: 8件\r\n"
              L"　うち衛星データなし: 1件\r\n"
              L"　うちLoTWにない衛星名: 0件\r\n"
              L"読めない行（出力せず）: 0行");
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitDestroyed(box));

    const std::string adif = ReadBytes(file);
    const std::vector<Record> records = AdifRecords(adif);
    ASSERT_EQ(records.size(), 8u) << adif;
    // Japan's 08:30 on 7 December is 23:30 UTC on the 6th.
    EXPECT_TRUE(RecordIs(records[0], {"JA1ABC", "2m", "SSB", "RS-44", std::nullopt, "20261206 2330"}));
    EXPECT_TRUE(RecordIs(records[2], {"7K1QQQ", "2m", "CW", "RS-44", std::nullopt, "20261206 2338"}));
    EXPECT_TRUE(RecordIs(records[3], {"JE4BBB", "2m", "FM", "ARISS", std::nullopt, "20261207 0005"}));
    EXPECT_TRUE(RecordIs(records[6], {"JF7DDD", "2m", "FM", "SO-50", std::nullopt, "20261207 0114"}));
    EXPECT_TRUE(RecordIs(records[7], {"JL8EEE", "", "", "", std::nullopt, "20261207 0120"}));
  }
}

TEST(AdifExportE2E, AnExistingFileIsReplacedOnlyAfterTheOperatorSaysSo) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  MakeEntry(app, L"JR2XYZ 59 59");
  const std::wstring file = folder.File(L"pass.adi");
  WriteBytes(file, "an earlier export");

  const auto choose = [&](int answer) {
    SendCommand(app.window(), IDM_ADIF_EXPORT);
    HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_ADIF_TITLE));
    if (!dialog) return std::wstring(L"(no dialog)");
    SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()));
    PressButton(dialog, IDOK);
    HWND question = WaitForWindow([&] { return VisibleDialogOtherThan(app.pid(), dialog); });
    if (!question) return std::wstring(L"(no question)");
    const std::wstring text = MessageText(question);
    PressButton(question, answer);
    WaitDestroyed(question);
    if (answer == IDNO) {
      // The Save dialog stays for another name; the operator gives up.
      if (!IsWindow(dialog) || !CancelDialog(app, dialog)) return std::wstring(L"(the dialog did not stay)");
    } else if (!WaitDestroyed(dialog)) {
      return std::wstring(L"(the dialog did not close)");
    }
    return text;
  };

  // Windows names the file in its question; Wine asks without naming it.
  const std::wstring asked = choose(IDNO);
  EXPECT_FALSE(asked.empty() || asked[0] == L'(') << Utf8(asked);
  EXPECT_EQ(ReadBytes(file), "an earlier export");
  EXPECT_TRUE(NoDialogOpen(app)) << "No replaced nothing and reported nothing";

  choose(IDYES);
  HWND summary = app.WaitForMessageBox();
  ASSERT_TRUE(summary);
  PressButton(summary, IDOK);
  ASSERT_TRUE(WaitDestroyed(summary));
  EXPECT_EQ(AdifRecords(ReadBytes(file)).size(), 1u);
}

}  // namespace
}  // namespace e2e

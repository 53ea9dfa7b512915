// Edit mode and the transfer of copied text to the logging program, seen from outside: the real
// Zelmor.exe against logbook-sim, which journals every WM_COPYDATA it gets.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[3];
  for (unsigned char b : bytes) {
    std::snprintf(two, sizeof two, "%02X", b);
    out += two;
  }
  return out;
}

std::string JournalLine(unsigned dwData, const std::string& bytes, HWND sender) {
  char line[128];
  std::snprintf(line, sizeof line, "dwData=0x%X cbData=%u bytes=", dwData, static_cast<unsigned>(bytes.size()));
  char tail[40];
  std::snprintf(tail, sizeof tail, " wParam=0x%llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(sender)));
  return line + Hex(bytes) + tail;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// A notice that should not come needs time to have had its chance: let the window handle what is
// queued, give the clipboard's notices a moment, and let it handle those too.
bool NoMenuComes(DWORD pid, HWND window) {
  Settle(window);
  Sleep(400);
  Settle(window);
  return VisibleMenu(pid) == nullptr;
}

// Menu items in order; the number is how many times Down picks it.
enum Item { kDate = 1, kTime, kCall, kHis, kMy, kMode, kFreq, kCode, kName, kRem1, kRem2, kWholeContact };

class Session {
 public:
  Session() : app_(folder_) {}
  ::testing::AssertionResult Start() { return app_.Start(); }
  // logbook-sim comes up without taking the activation: a window that activates while the
  // transfer menu is open closes the menu, as it would on any desktop.
  ::testing::AssertionResult StartLogbook(const std::wstring& more = L"") {
    logbook_ = std::make_unique<LogbookSim>(L"--journal \"" + journal() + L"\" " + more, folder_.path());
    if (::testing::AssertionResult started = logbook_->ready(); !started) return started;
    // Out of the way of the log window, where real clicks go.
    SetWindowPos(logbook_->window(), nullptr, 720, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Settle(window());
    return ::testing::AssertionSuccess();
  }
  std::wstring journal() const { return folder_.File(L"journal.txt"); }
  std::vector<std::string> JournalLines() const { return Lines(ReadBytes(journal())); }
  bool WaitJournal(size_t count, DWORD ms = 10000) const {
    return WaitUntil([&] { return JournalLines().size() >= count; }, ms);
  }
  Zelmor& app() { return app_; }
  HWND window() const { return app_.window(); }
  DWORD pid() const { return app_.pid(); }
  bool PaneEnabled() const { return IsWindowEnabled(app_.pane()) != FALSE; }
  // Sent, not posted: a sent message overtakes everything posted, so a posted command followed by
  // a WM_NULL could still be waiting when the WM_NULL came back.
  void ToggleEditMode() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window(), WM_COMMAND, MAKEWPARAM(IDM_EDIT_MODE, 0), 0, SMTO_NORMAL, 15000, &ignored);
  }
  // Copy, wait for the menu and choose an item; false when no menu came.
  bool Transfer(const std::wstring& text, int item) {
    if (!PutClipboardText(text)) return false;
    HWND menu = WaitForMenu(pid());
    if (!menu) return false;
    PickMenuItem(menu, item);
    return WaitNoMenu(pid());
  }

 private:
  TempFolder folder_;
  Zelmor app_;
  std::unique_ptr<LogbookSim> logbook_;
};

TEST(TransferE2E, EditModeToggleEnablesThePaneAndShowsNoMenuByItself) {
  Session s;
  ASSERT_TRUE(s.Start());
  // Something is already on the clipboard: that old change must not pop the menu up on entry.
  ASSERT_TRUE(PutClipboardText(L"old"));
  EXPECT_FALSE(s.PaneEnabled());
  s.ToggleEditMode();
  EXPECT_TRUE(s.PaneEnabled());
  EXPECT_TRUE(NoMenuComes(s.pid(), s.window()));
  s.ToggleEditMode();
  EXPECT_FALSE(s.PaneEnabled());
  EXPECT_TRUE(NoMenuComes(s.pid(), s.window()));
  // And on again: the watch starts anew each time.
  s.ToggleEditMode();
  EXPECT_TRUE(s.PaneEnabled());
  ASSERT_TRUE(PutClipboardText(L"new"));
  HWND menu = WaitForMenu(s.pid());
  ASSERT_NE(menu, nullptr);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_TRUE(WaitNoMenu(s.pid()));
}

TEST(TransferE2E, ChosenItemSendsTheClipboardTextToItsField) {
  Session s;
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook());
  s.ToggleEditMode();
  struct Row {
    const wchar_t* copied;
    int item;
    unsigned dwData;
    std::string bytes;
  };
  const Row rows[] = {
      // Blanks around a call sign are the operator's selection slop: trimmed.
      {L"  ABC123  ", kCall, 0x20001, "ABC123"},
      // The date field takes the last 8 characters only.
      {L"2024/01/02", kDate, 0x20002, "24/01/02"},
      {L"01/02", kDate, 0x20002, "01/02"},
      // Japanese text goes out in Shift-JIS: two bytes a character, and the name code is bare.
      {L"東京都", kName, 0xB, "\x93\x8C\x8B\x9E\x93\x73"},
      // Only spaces are trimmed: a line break at the end stays, and so does the space before it.
      {L"JA1ABC\r\n", kCall, 0x20001, "JA1ABC\r\n"},
      {L" 5\t9 \r\n", kHis, 0x4, "5\t9 \r\n"},
      {L"599", kMy, 0x5, "599"},
      {L"12:34", kTime, 0x20003, "12:34"},
      {L"FM", kMode, 0x20007, "FM"},
      {L"435.800", kFreq, 0x20006, "435.800"},
      {L"100110", kCode, 0x20008, "100110"},
      {L"AO-91", kRem1, 0x2000D, "AO-91"},
      {L"via ISS", kRem2, 0x2000E, "via ISS"},
  };
  size_t expected = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.bytes));
    ASSERT_TRUE(s.Transfer(row.copied, row.item));
    ++expected;
    ASSERT_TRUE(s.WaitJournal(expected)) << ReadBytes(s.journal()) << " menu=" << VisibleMenu(s.pid())
                                         << " box=" << FindProcessWindow(s.pid(), L"#32770");
    Settle(s.window());
    const auto lines = s.JournalLines();
    ASSERT_EQ(lines.size(), expected);
    EXPECT_EQ(lines.back(), JournalLine(row.dwData, row.bytes, s.window()));
  }
}

TEST(TransferE2E, WithoutTheLoggingProgramTheOperatorIsToldAndNothingIsSent) {
  Session s;
  ASSERT_TRUE(s.Start());
  s.ToggleEditMode();
  ASSERT_TRUE(s.Transfer(L"ABC123", kCall));
  HWND box = s.app().WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageText(box), ZelmorText(IDS_HAMLOG_NOT_RUNNING));
  EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
  EXPECT_EQ(GetDlgItem(box, IDYES), nullptr);
  PressButton(box, IDOK);
  EXPECT_TRUE(WaitDestroyed(box));

  // Started now, the logging program must not get anything left over from the refused send.
  ASSERT_TRUE(s.StartLogbook());
  Settle(s.window());
  Sleep(300);
  EXPECT_TRUE(s.JournalLines().empty());
  // And the next choice reaches it: every send looks the program up again.
  ASSERT_TRUE(s.Transfer(L"JA1ZZZ", kCall));
  ASSERT_TRUE(s.WaitJournal(1));
  EXPECT_EQ(s.JournalLines()[0], JournalLine(0x20001, "JA1ZZZ", s.window()));
}

TEST(TransferE2E, NoMenuOutsideEditModeAndEscapeSendsNothing) {
  Session s;
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook());
  ASSERT_TRUE(PutClipboardText(L"before"));
  EXPECT_TRUE(NoMenuComes(s.pid(), s.window()));

  s.ToggleEditMode();
  ASSERT_TRUE(PutClipboardText(L"JA1ESC"));
  HWND menu = WaitForMenu(s.pid());
  ASSERT_NE(menu, nullptr);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(WaitNoMenu(s.pid()));
  Settle(s.window());
  Sleep(300);
  EXPECT_TRUE(s.JournalLines().empty());

  // Left again, the watch is gone.
  s.ToggleEditMode();
  ASSERT_TRUE(PutClipboardText(L"after"));
  EXPECT_TRUE(NoMenuComes(s.pid(), s.window()));
  EXPECT_TRUE(s.JournalLines().empty());
}

TEST(TransferE2E, LogCommandsLeaveEditModeEvenWhenTheirDialogIsCancelled) {
  Session s;
  ASSERT_TRUE(s.Start());
  for (const int command : {IDM_LOG_SAVE, IDM_LOG_OPEN, IDM_VIEW_SAFETY_COPY}) {
    SCOPED_TRACE(command);
    s.ToggleEditMode();
    ASSERT_TRUE(s.PaneEnabled());
    HWND dialog = ShowFileDialog(s.app(), command);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(s.PaneEnabled());
    ASSERT_TRUE(CancelDialog(s.app(), dialog));
    EXPECT_FALSE(s.PaneEnabled());
    // Left for good: a copy now shows no menu.
    ASSERT_TRUE(PutClipboardText(L"x"));
    EXPECT_TRUE(NoMenuComes(s.pid(), s.window()));
  }
}

TEST(TransferE2E, TypingIntoThePaneInEditModeMakesTheLogUnsaved) {
  Session s;
  ASSERT_TRUE(s.Start());
  s.ToggleEditMode();
  SendChars(s.app().pane(), L"JA1EDIT");
  EXPECT_NE(s.app().PaneText().find(L"JA1EDIT"), std::wstring::npos);
  s.ToggleEditMode();
  EXPECT_TRUE(ClosesAfterQuestion(s.app()));
}

TEST(TransferE2E, AHungLoggingProgramDoesNotFreezeTheWindow) {
  Session s;
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook(L"--hang-ms 20000"));
  s.ToggleEditMode();
  ASSERT_TRUE(PutClipboardText(L"JA1HUNG"));
  HWND menu = WaitForMenu(s.pid());
  ASSERT_NE(menu, nullptr);
  PickMenuItem(menu, kCall);
  ASSERT_TRUE(s.WaitJournal(1));  // the logging program has the message and now sleeps in it
  // A thread waiting in a send still answers sent messages, so the proof that the window is back
  // is a posted keystroke reaching the entry box.
  const DWORD start = GetTickCount();
  PostChars(s.app().entry_box(), L"Q");
  const bool back = WaitUntil([&] { return s.app().EntryText().find(L'Q') != std::wstring::npos; }, 19000);
  const DWORD took = GetTickCount() - start;
  EXPECT_TRUE(back);
  EXPECT_LT(took, 15000u);
  std::printf("hung logging program: the window took keys again after %lu ms\n", static_cast<unsigned long>(took));
  EXPECT_EQ(s.JournalLines()[0], JournalLine(0x20001, "JA1HUNG", s.window()));
}

TEST(TransferE2E, CopyingFromTheLogPaneWithRealKeysReachesTheLoggingProgram) {
  if (RunUnix("xdotool getmouselocation") != 0) GTEST_SKIP() << "no xdotool on an X display";
  Session s;
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook());
  // No tracking program: Enter writes the fallback line into the pane.
  SendChars(s.app().entry_box(), L"JA1XDO\r");
  ASSERT_NE(s.app().PaneText().find(L"JA1XDO"), std::wstring::npos);
  s.ToggleEditMode();

  const RECT r = WindowRectOf(s.app().pane());
  const std::string x = std::to_string((r.left + r.right) / 2), y = std::to_string((r.top + r.bottom) / 2);
  ASSERT_EQ(RunUnix("xdotool mousemove " + x + " " + y + " click 1"), 0);
  Settle(s.window());
  ASSERT_EQ(RunUnix("xdotool key --delay 50 ctrl+Home shift+End ctrl+c"), 0);
  HWND menu = WaitForMenu(s.pid());
  ASSERT_NE(menu, nullptr);
  // A picture of the menu over the pane, for a person to look at: ZELMOR_E2E_POPUP_SHOT=/tmp/x.png
  if (const char* shot = std::getenv("ZELMOR_E2E_POPUP_SHOT")) {
    Sleep(300);
    RunUnix(std::string("import -window root ") + shot);
  }
  // REM-1 is the tenth item.
  ASSERT_EQ(RunUnix("xdotool key --delay 50 Down Down Down Down Down Down Down Down Down Down Return"), 0);
  ASSERT_TRUE(s.WaitJournal(1));

  // What was copied is the first line of the pane, without its line break.
  const std::wstring text = s.app().PaneText();
  std::wstring first = text.substr(0, text.find(L'\r'));
  first = first.substr(first.find_first_not_of(L' '));
  first = first.substr(0, first.find_last_not_of(L' ') + 1);
  EXPECT_NE(first.find(L"JA1XDO"), std::wstring::npos);
  EXPECT_EQ(s.JournalLines()[0], JournalLine(0x2000D, Ansi(first), s.window()));
}

// The date and time of a composed line as the whole contact sends them: "yy/MM/dd" whatever the
// locale's picture, and the time with the zone letter that follows it in the default template.
std::string DateAndTimeFields(const std::wstring& line, std::string& time) {
  int y = 0, m = 0, d = 0, hh = 0, mm = 0;
  std::swscanf(line.c_str(), L"%d/%d/%d %d:%d", &y, &m, &d, &hh, &mm);
  char date[16], clock[16];
  std::snprintf(date, sizeof date, "%02d/%02d/%02d", y % 100, m, d);
  std::snprintf(clock, sizeof clock, "%02d:%02dJ", hh, mm);
  time = clock;
  return date;
}

// The first line of the pane after one entry of "JA1ABC 59 57 PM95 tnx", sent whole: the logging
// program gets its nine fields in order, FREQ, MODE and the satellite as given.
void ExpectEntrySentWhole(Session& s, const std::string& freq, const std::string& mode, const std::string& satellite) {
  const std::wstring pane = s.app().PaneText();
  const std::wstring line = pane.substr(0, pane.find(L"\r\n"));
  s.ToggleEditMode();
  ASSERT_TRUE(s.Transfer(line, kWholeContact));
  ASSERT_TRUE(s.WaitJournal(9)) << ReadBytes(s.journal());
  std::string time;
  const std::string date = DateAndTimeFields(line, time);
  const HWND from = s.window();
  EXPECT_EQ(s.JournalLines(), (std::vector<std::string>{
                                  JournalLine(0x20001, "JA1ABC", from),
                                  JournalLine(0x20002, date, from),
                                  JournalLine(0x20003, time, from),
                                  JournalLine(4, "59", from),
                                  JournalLine(5, "57", from),
                                  JournalLine(0x20006, freq, from),
                                  JournalLine(0x20007, mode, from),
                                  JournalLine(0x2000D, satellite, from),
                                  JournalLine(0x2000E, "PM95 tnx", from),
                              }))
      << Utf8(line);
}

TEST(TransferE2E, WholeContactSendsEveryFieldOfTheCopiedLineInOrder) {
  Session s;
  TempFolder served;
  const std::wstring args = logging_loop::ServedValues(
      served, zelmor::entry::FeedSnapshot{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"});
  TrackerSim tracker(args, served.path());
  ASSERT_TRUE(tracker.ready());
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook());
  MakeEntry(s.app(), L"JA1ABC 59 57 PM95 tnx");
  const std::wstring pane = s.app().PaneText();
  const std::wstring line = pane.substr(0, pane.find(L"\r\n"));
  ASSERT_NE(line.find(L"RS-44"), std::wstring::npos) << Utf8(line);
  ExpectEntrySentWhole(s, "145/435", "SSB", "RS-44");
}

// A line of SatPC32's or Orbitron's values, without a Rev, sends whole as CSATmate's does.
TEST(TransferE2E, WholeContactSendsALineOfTheOtherTrackers) {
  struct Row {
    const logging_loop::OtherTracker& tracker;
    const wchar_t* text;
    const char *freq, *mode, *satellite;
  };
  const Row rows[] = {
      {logging_loop::kSatPc32, L"SNFO-29 AZ56,7 EL6,8 UP145951275 UMLSB DN435853062 DMUSB MA52,6", "145/435", "SSB",
       "FO-29"},
      {logging_loop::kOrbitronPlain, L"SNAO_7 AZ123.4 EL12.3 DN29450000 UP145900000 DMUSB UMLSB", "145/29", "SSB",
       "AO 7"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tracker.name);
    Session s;
    TempFolder served;
    const auto tracker = logging_loop::StartTracker(row.tracker, served.File(L"values.txt"), row.text);
    ASSERT_TRUE(tracker->ready());
    ASSERT_TRUE(s.Start());
    ASSERT_TRUE(s.StartLogbook());
    MakeEntry(s.app(), L"JA1ABC 59 57 PM95 tnx");
    const std::wstring pane = s.app().PaneText();
    const std::wstring line = pane.substr(0, pane.find(L"\r\n"));
    ASSERT_NE(line.find(L"/Rev:%"), std::wstring::npos) << Utf8(line);
    ExpectEntrySentWhole(s, row.freq, row.mode, row.satellite);
  }
}

// Every line of a log written with another date picture (padded and unpadded days, where this
// machine writes yyyy/M/d) sends whole: the whole-contact item is not greyed, and the logging
// program gets every field, the date as yy/MM/dd.
TEST(TransferE2E, WholeContactSendsEachLineOfALogFromAnotherMachine) {
  Session s;
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook());
  const std::wstring log = LogOfDecember7(true);
  WriteBytes(s.app().File(L"field.txt"), Ansi(log));
  ASSERT_TRUE(OpenLog(s.app(), s.app().File(L"field.txt")));
  ASSERT_EQ(s.app().PaneText(), log);

  struct Sent {
    std::string call, time, his, my, freq, mode, sat, rem2;
  };
  const Sent sent[] = {
      {"JA1ABC", "08:30J", "59", "57", "145/435", "SSB", "RS-44", "PM95"},
      {"JR2XYZ", "08:34J", "59", "59", "145/435", "SSB", "RS-44", ""},
      {"7K1QQQ", "08:38J", "5NN", "599", "145/435", "CW", "RS-44", ""},
      {"JE4BBB", "09:05J", "59", "59", "145/437", "FM", "ISS", "QM05"},
      {"JH3AAA", "09:07J", "59", "59", "145/437", "FM", "ISS", ""},
      {"JA6CCC", "10:12J", "59", "55", "145/436", "FM", "SO-50", ""},
      {"JF7DDD", "10:14J", "55", "59", "145/436", "FM", "SO-50", ""},
      {"JL8EEE", "10:20J", "59", "59", "", "", "", ""},  // the fallback line
  };
  s.ToggleEditMode();
  const HWND from = s.window();
  std::vector<std::string> expected;
  size_t line_start = 0;
  for (const Sent& contact : sent) {
    const size_t line_end = log.find(L"\r\n", line_start);
    const std::wstring line = log.substr(line_start, line_end - line_start);
    line_start = line_end + 2;
    SCOPED_TRACE(Utf8(line));
    for (const auto& [code, text] : std::vector<std::pair<unsigned, std::string>>{
             {0x20001, contact.call}, {0x20002, "26/12/07"}, {0x20003, contact.time}, {4, contact.his},
             {5, contact.my}, {0x20006, contact.freq}, {0x20007, contact.mode}, {0x2000D, contact.sat},
             {0x2000E, contact.rem2}}) {
      if (!text.empty()) expected.push_back(JournalLine(code, text, from));
    }
    ASSERT_TRUE(s.Transfer(line, kWholeContact));
    ASSERT_TRUE(s.WaitJournal(expected.size())) << ReadBytes(s.journal());
  }
  Settle(s.window());
  EXPECT_EQ(s.JournalLines(), expected);
}

TEST(TransferE2E, WholeContactOfTextThatIsNoLogLineSendsNothing) {
  Session s;
  ASSERT_TRUE(s.Start());
  ASSERT_TRUE(s.StartLogbook());
  s.ToggleEditMode();
  ASSERT_TRUE(PutClipboardText(L"JA1ABC 599"));
  HWND menu = WaitForMenu(s.pid());
  ASSERT_TRUE(menu);
  // The item is greyed: Enter on it chooses nothing, and Escape closes the menu.
  PickMenuItem(menu, kWholeContact);
  Settle(s.window());
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 1);
  ASSERT_TRUE(WaitNoMenu(s.pid()));
  Settle(s.window());
  EXPECT_TRUE(s.JournalLines().empty()) << ReadBytes(s.journal());
}

}  // namespace
}  // namespace e2e

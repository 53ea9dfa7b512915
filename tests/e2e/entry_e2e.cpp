// The logging loop seen from outside: Enter in the entry box with the tracking-program simulator
// serving, missing, late, gone or hung; the safety copy beside the program; the close question; the
// viewer of the safety copy; and real key presses through the X display.

#include <gtest/gtest.h>

#include "app/resource.h"
#include "entry_support.h"
#include "harness.h"

namespace e2e {
namespace {

using namespace logging_loop;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

const wchar_t kTempLog[] = L"Zelmor_temp.txt";
const wchar_t kCloseQuestion[] = L"LOGデータが未保存ですが\r\n終了してよろしいですか？";
const wchar_t kOpenQuestion[] = L"LOGデータが未保存ですが\r\n開いてよろしいですか？";
const wchar_t kViewerTitle[] = L"非常用LOGﾃﾞｰﾀ閲覧";
const wchar_t kViewerFailed[] = L"非常用LOGがOPEN出来ませんでした。";

const FeedSnapshot kServed{L"FO-29 ふじ", L"435.640.120", L"145.964.880", L" 21847", L"USB"};

std::wstring Pane(const Zelmor& app) { return TextOf(app.control(IDC_TEXT1)); }
std::wstring EntryBox(const Zelmor& app) { return TextOf(app.control(IDC_TEXT2)); }
std::string TempLog(const Zelmor& app) { return ReadBytes(app.File(kTempLog)); }

// The clock readings around one Enter: the line carries one of them.
struct Moment {
  LocalTime before, after;
};

Moment Enter(Zelmor& app, const std::wstring& memo) {
  HWND box = app.control(IDC_TEXT2);
  SendChars(box, memo);
  Moment m;
  m.before = Now();
  EXPECT_TRUE(SendEnter(box));
  m.after = Now();
  return m;
}

// Checks that `pane` is `before` plus one of the two candidate lines and CR LF.
::testing::AssertionResult AppendedOneOf(const std::wstring& pane, const std::wstring& before,
                                         const std::wstring& line1, const std::wstring& line2) {
  if (pane == before + line1 + L"\r\n" || pane == before + line2 + L"\r\n")
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pane: " << Ansi(pane) << "\nexpected after: " << Ansi(before)
                                       << "\n  " << Ansi(line1) << "\nor " << Ansi(line2);
}

::testing::AssertionResult Composed(const std::wstring& pane, const std::wstring& before,
                                    const FeedSnapshot& values, const std::wstring& memo, const Moment& m) {
  return AppendedOneOf(pane, before, ComposedLine(values, memo, m.before), ComposedLine(values, memo, m.after));
}

::testing::AssertionResult FellBack(const std::wstring& pane, const std::wstring& before, const std::wstring& memo,
                                    const Moment& m) {
  return AppendedOneOf(pane, before, FallbackAt(memo, m.before), FallbackAt(memo, m.after));
}

std::wstring Labels(const Zelmor& app) {
  std::wstring all;
  for (int id = IDC_LABEL1; id <= IDC_LABEL5; ++id) all += TextOf(app.control(id)) + L"|";
  return all;
}

// A visible #32770 of the process, whatever its caption.
HWND AnyDialog(DWORD pid) {
  HWND w = FindProcessWindow(pid, L"#32770");
  return (w && IsWindowVisible(w)) ? w : nullptr;
}

bool WaitGone(HWND window) {
  return WaitForWindow([window] { return IsWindow(window) && IsWindowVisible(window) ? nullptr : window; }) != nullptr;
}

TEST(EntryE2E, EnterComposesTheLineKeepsTheSafetyCopyAndTheLabels) {
  TempFolder folder;
  WriteTrackerValues(folder.File(L"values.txt"), kServed);
  Tracker tracker;
  ASSERT_TRUE(tracker.Start(folder, L"--values \"" + folder.File(L"values.txt") + L"\""));
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  // Two entries: a Japanese memo with spaces around it, then an empty box.
  const std::wstring memo = L" CQ 599 こんにちは ";
  const Moment first = Enter(app, memo);
  const std::wstring after_first = Pane(app);
  EXPECT_TRUE(Composed(after_first, L"", kServed, memo, first));
  EXPECT_EQ(EntryBox(app), L"");
  EXPECT_EQ(TempLog(app), Ansi(after_first + L"\r\n"));
  EXPECT_EQ(Labels(app), L"FO-29 ふじ|435.640.120|145.964.880| 21847|USB|");

  const Moment second = Enter(app, L"");
  EXPECT_TRUE(Composed(Pane(app), after_first, kServed, L"", second));
  EXPECT_EQ(TempLog(app), Ansi(Pane(app) + L"\r\n"));
  // The caret stands after the last CR LF, so the newest line is in view.
  DWORD start = 0, end = 0;
  SendMessageW(app.control(IDC_TEXT1), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, Pane(app).size());
}

TEST(EntryE2E, WithoutTheTrackerEnterWritesTheFallbackLineToPaneAndSafetyCopy) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring memo = L" 移動運用 JA1ZZZ ";
  const Moment m = Enter(app, memo);
  const std::wstring pane = Pane(app);
  EXPECT_TRUE(FellBack(pane, L"", memo, m));
  EXPECT_EQ(EntryBox(app), L"");
  // Fallback entries reach the safety copy as well.
  EXPECT_EQ(TempLog(app), Ansi(pane + L"\r\n"));
  EXPECT_EQ(Labels(app), L"Label1|Label2|Label3|Label4|Label5|");
}

TEST(EntryE2E, TrackerStartedLateOrAgainIsUsedFromTheNextEntry) {
  // How the tracking program comes late: started only after Zelmor, or closed by its user or
  // killed while Zelmor runs, and started again.
  struct Way {
    const char* what;
    bool there_at_start, killed;
  };
  for (const Way& way : {Way{"started after Zelmor", false, false}, Way{"closed", true, false},
                         Way{"killed", true, true}}) {
    SCOPED_TRACE(way.what);
    TempFolder folder;
    WriteTrackerValues(folder.File(L"values.txt"), kServed);
    const std::wstring args = L"--values \"" + folder.File(L"values.txt") + L"\"";
    Tracker tracker;
    if (way.there_at_start) {
      ASSERT_TRUE(tracker.Start(folder, args));
    }
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());

    std::wstring p1;
    if (way.there_at_start) {
      const Moment m1 = Enter(app, L"one");
      p1 = Pane(app);
      EXPECT_TRUE(Composed(p1, L"", kServed, L"one", m1));
      if (way.killed) {
        tracker.Kill();
      } else {
        ASSERT_TRUE(tracker.Close());
      }
    }
    const Moment m2 = Enter(app, L"two");
    const std::wstring p2 = Pane(app);
    EXPECT_TRUE(FellBack(p2, p1, L"two", m2));

    Tracker again;
    ASSERT_TRUE(again.Start(folder, args));
    const Moment m3 = Enter(app, L"three");
    EXPECT_TRUE(Composed(Pane(app), p2, kServed, L"three", m3));
    EXPECT_EQ(Labels(app), L"FO-29 ふじ|435.640.120|145.964.880| 21847|USB|");
    EXPECT_EQ(TempLog(app), Ansi(Pane(app) + L"\r\n"));
  }
}

TEST(EntryE2E, FrequencyThatIsNotANumberFallsBackAndGigahertzValuesCompose) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  FeedSnapshot bad = kServed;
  bad.receive_frequency = L"abc";
  WriteTrackerValues(values, bad);
  Tracker tracker;
  ASSERT_TRUE(tracker.Start(folder, L"--values \"" + values + L"\""));
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  const Moment m1 = Enter(app, L"x");
  const std::wstring p1 = Pane(app);
  EXPECT_TRUE(FellBack(p1, L"", L"x", m1));
  // The requests stop at the value that cannot be read: the later labels were never asked.
  EXPECT_EQ(Labels(app), L"FO-29 ふじ|abc|Label3|Label4|Label5|");

  // A 10 GHz downlink and a 2.4 GHz uplink: beyond 32 bits in hertz, still a good line.
  FeedSnapshot ghz = kServed;
  ghz.receive_frequency = L"10.489.000.000";
  ghz.transmit_frequency = L"2.400.000.000";
  WriteTrackerValues(values, ghz);
  const Moment m2 = Enter(app, L"QO-100");
  const std::wstring p2 = Pane(app);
  EXPECT_TRUE(Composed(p2, p1, ghz, L"QO-100", m2));
  EXPECT_NE(p2.find(L" 2400/10489 "), std::wstring::npos) << Ansi(p2);
  EXPECT_NE(p2.find(L"Up=2400.000/Down=10489.000"), std::wstring::npos) << Ansi(p2);
}

TEST(EntryE2E, CloseAfterAnEntryAsksAndNoKeepsTheLog) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  Enter(app, L"memo");
  const std::wstring pane = Pane(app);

  app.RequestClose();
  HWND box = WaitForDialog(app.process().pid(), L"Zelmor");
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageText(box), kCloseQuestion);
  PressButton(box, IDNO);
  ASSERT_TRUE(WaitGone(box));
  Settle(app.window());
  EXPECT_TRUE(IsWindow(app.window()));
  EXPECT_TRUE(app.process().running());
  EXPECT_EQ(Pane(app), pane);

  app.RequestClose();
  box = WaitForDialog(app.process().pid(), L"Zelmor");
  ASSERT_TRUE(box);
  PressButton(box, IDYES);
  EXPECT_TRUE(app.WaitExit());
}

// Opens the viewer's dialog, types `path` into its file-name box and presses `button`.
HWND OpenViewer(Zelmor& app) {
  SendCommand(app.window(), IDM_LOGEFOPEN);
  return WaitForDialog(app.process().pid(), kViewerTitle);
}

void ChooseFile(HWND dialog, const std::wstring& path, int button) {
  SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressButton(dialog, button);
}

TEST(EntryE2E, ViewerLoadsASafetyCopyCancelKeepsThePaneAndAMissingFileIsReported) {
  TempFolder folder, other;
  const std::wstring copy = other.File(kTempLog);
  WriteBytes(copy, "L1\r\nL2\r\n\r\n");  // what the writer leaves for a pane of L1 and L2
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const DWORD pid = app.process().pid();

  HWND dialog = OpenViewer(app);
  ASSERT_TRUE(dialog);
  ChooseFile(dialog, copy, IDOK);
  ASSERT_TRUE(WaitGone(dialog));
  Settle(app.window());
  EXPECT_EQ(Pane(app), L"L1\r\nL2\r\n\r\n");
  EXPECT_FALSE(FileExists(app.File(kTempLog)));  // viewing writes no safety copy

  // Cancel: nothing changes and nothing is reported.
  dialog = OpenViewer(app);
  ASSERT_TRUE(dialog);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog));
  Settle(app.window());
  EXPECT_EQ(WaitForWindow([pid] { return AnyDialog(pid); }, 300), nullptr);
  EXPECT_EQ(Pane(app), L"L1\r\nL2\r\n\r\n");

  // A file that is not there: the pane is emptied and the failure shown.
  dialog = OpenViewer(app);
  ASSERT_TRUE(dialog);
  ChooseFile(dialog, other.File(L"nothing-here.txt"), IDOK);
  HWND box = WaitForWindow([pid, dialog] {
    HWND w = AnyDialog(pid);
    return (w && w != dialog && MessageText(w) == kViewerFailed) ? w : nullptr;
  });
  ASSERT_TRUE(box);
  EXPECT_EQ(TextOf(box), L"Zelmor");
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitGone(box));
  Settle(app.window());
  EXPECT_EQ(Pane(app), L"");

  // Closing asks nothing: viewing never marks the log unsaved.
  app.RequestClose();
  EXPECT_TRUE(app.WaitExit());
}

TEST(EntryE2E, ViewerAsksFirstWhenTheLogIsUnsaved) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const DWORD pid = app.process().pid();
  Enter(app, L"keep me");
  const std::wstring pane = Pane(app);

  SendCommand(app.window(), IDM_LOGEFOPEN);
  HWND box = WaitForDialog(pid, L"Zelmor");
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageText(box), kOpenQuestion);
  PressButton(box, IDNO);
  ASSERT_TRUE(WaitGone(box));
  Settle(app.window());
  EXPECT_EQ(WaitForWindow([pid] { return AnyDialog(pid); }, 300), nullptr);
  EXPECT_EQ(Pane(app), pane);

  // Yes goes on to the dialog.
  SendCommand(app.window(), IDM_LOGEFOPEN);
  box = WaitForDialog(pid, L"Zelmor");
  ASSERT_TRUE(box);
  PressButton(box, IDYES);
  HWND dialog = WaitForDialog(pid, kViewerTitle);
  ASSERT_TRUE(dialog);
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitGone(dialog));
  Settle(app.window());
  EXPECT_EQ(Pane(app), pane);
}

TEST(EntryE2E, HungTrackerDoesNotHoldTheWindowForLong) {
  TempFolder folder;
  const std::wstring hang = folder.File(L"hang");
  WriteTrackerValues(folder.File(L"values.txt"), kServed);
  Tracker tracker;
  ASSERT_TRUE(tracker.Start(folder, L"--values \"" + folder.File(L"values.txt") + L"\" --hang-file \"" + hang + L"\""));
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  WriteBytes(hang, "");
  HWND box = app.control(IDC_TEXT2);
  SendChars(box, L"hung");
  const LocalTime before = Now();
  const bool answered = SendEnter(box, 15000);
  const LocalTime after = Now();
  DeleteFileW(hang.c_str());
  ASSERT_TRUE(answered) << "the window did not answer within 15 s";
  const std::wstring p1 = Pane(app);
  EXPECT_TRUE(FellBack(p1, L"", L"hung", Moment{before, after}));

  // Once the tracker answers again, the next entry is composed (its late answer is not taken
  // for the new one).
  const Moment m = Enter(app, L"back");
  EXPECT_TRUE(Composed(Pane(app), p1, kServed, L"back", m));
}

TEST(EntryE2E, RealKeysThroughTheDisplayMakeAnEntry) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  if (!GetPropW(app.window(), L"__wine_x11_whole_window")) GTEST_SKIP() << "no X display behind the windows";
  // A click into the entry box gives it the keyboard, as the operator would do it; then the memo
  // and Enter, one xdotool after the other so that the events keep their order.
  const RECT r = WindowRectOf(app.control(IDC_TEXT2));
  const std::wstring click =
      std::to_wstring((r.left + r.right) / 2) + L" " + std::to_wstring((r.top + r.bottom) / 2) + L" click 1";
  const LocalTime before = Now();
  ASSERT_TRUE(StartUnix(L"Z:\\bin\\sh -c \"xdotool mousemove " + click +
                        L" && sleep 0.3 && xdotool type --delay 20 'CQ de JA1ZZZ 599' && xdotool key Return\""));
  HWND pane = app.control(IDC_TEXT1);
  ASSERT_TRUE(WaitForWindow([pane] { return TextOf(pane).empty() ? nullptr : pane; }, 20000))
      << "entry box: " << Ansi(EntryBox(app));
  Settle(app.window());
  const LocalTime after = Now();
  EXPECT_TRUE(FellBack(Pane(app), L"", L"CQ de JA1ZZZ 599", Moment{before, after}));
  EXPECT_EQ(EntryBox(app), L"");
  EXPECT_EQ(TempLog(app), Ansi(Pane(app) + L"\r\n"));
}

}  // namespace
}  // namespace e2e

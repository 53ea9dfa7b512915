// The logging loop seen from outside: Enter in the entry box with the tracking-program simulator
// serving, missing, late, gone or hung; the safety copy beside the program; the close question; the
// viewer of the safety copy; and real key presses through the X display.

#include <gtest/gtest.h>

#include <optional>

#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

const FeedSnapshot kServed{L"FO-29 ふじ", L"435.640.120", L"145.964.880", L" 21847", L"USB"};

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
  for (int id = IDC_FEED_LABEL1; id <= IDC_FEED_LABEL5; ++id) all += TextOf(app.control(id)) + L"|";
  return all;
}

TEST(EntryE2E, EnterComposesTheLineKeepsTheSafetyCopyAndTheLabels) {
  TempFolder folder;
  TrackerSim tracker(ServedValues(folder, kServed), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  // Two entries: a Japanese memo with spaces around it, then an empty box.
  const std::wstring memo = L" CQ 599 こんにちは ";
  Moment first;
  ASSERT_TRUE(TimedEnter(app, memo, first));
  const std::wstring after_first = app.PaneText();
  EXPECT_TRUE(Composed(after_first, L"", kServed, memo, first));
  EXPECT_EQ(app.EntryText(), L"");
  EXPECT_EQ(app.SafetyCopy(), Ansi(after_first + L"\r\n"));
  EXPECT_EQ(Labels(app), L"FO-29 ふじ|435.640.120|145.964.880| 21847|USB|");

  Moment second;
  ASSERT_TRUE(TimedEnter(app, L"", second));
  EXPECT_TRUE(Composed(app.PaneText(), after_first, kServed, L"", second));
  EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
  // The caret stands after the last CR LF, so the newest line is in view.
  DWORD start = 0, end = 0;
  SendMessageW(app.pane(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, app.PaneText().size());
}

TEST(EntryE2E, WithoutTheTrackerEnterWritesTheFallbackLineToPaneAndSafetyCopy) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring memo = L" 移動運用 JA1ZZZ ";
  Moment m;
  ASSERT_TRUE(TimedEnter(app, memo, m));
  const std::wstring pane = app.PaneText();
  EXPECT_TRUE(FellBack(pane, L"", memo, m));
  EXPECT_EQ(app.EntryText(), L"");
  // Fallback entries reach the safety copy as well.
  EXPECT_EQ(app.SafetyCopy(), Ansi(pane + L"\r\n"));
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
    const std::wstring args = ServedValues(folder, kServed);
    std::optional<TrackerSim> tracker;
    if (way.there_at_start) {
      tracker.emplace(args, folder.path());
      ASSERT_TRUE(tracker->ready());
    }
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());

    std::wstring p1;
    if (way.there_at_start) {
      Moment m1;
      ASSERT_TRUE(TimedEnter(app, L"one", m1));
      p1 = app.PaneText();
      EXPECT_TRUE(Composed(p1, L"", kServed, L"one", m1));
      if (way.killed) {
        tracker->Kill();
      } else {
        ASSERT_TRUE(tracker->Close());
      }
    }
    Moment m2;
    ASSERT_TRUE(TimedEnter(app, L"two", m2));
    const std::wstring p2 = app.PaneText();
    EXPECT_TRUE(FellBack(p2, p1, L"two", m2));

    TrackerSim again(args, folder.path());
    ASSERT_TRUE(again.ready());
    Moment m3;
    ASSERT_TRUE(TimedEnter(app, L"three", m3));
    EXPECT_TRUE(Composed(app.PaneText(), p2, kServed, L"three", m3));
    EXPECT_EQ(Labels(app), L"FO-29 ふじ|435.640.120|145.964.880| 21847|USB|");
    EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
  }
}

TEST(EntryE2E, FrequencyThatIsNotANumberFallsBackAndGigahertzValuesCompose) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  FeedSnapshot bad = kServed;
  bad.receive_frequency = L"abc";
  WriteTrackerValues(values, bad);
  TrackerSim tracker(L"--values \"" + values + L"\"", folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  Moment m1;
  ASSERT_TRUE(TimedEnter(app, L"x", m1));
  const std::wstring p1 = app.PaneText();
  EXPECT_TRUE(FellBack(p1, L"", L"x", m1));
  // The requests stop at the value that cannot be read: the later labels were never asked.
  EXPECT_EQ(Labels(app), L"FO-29 ふじ|abc|Label3|Label4|Label5|");

  // A 10 GHz downlink and a 2.4 GHz uplink: beyond 32 bits in hertz, still a good line.
  FeedSnapshot ghz = kServed;
  ghz.receive_frequency = L"10.489.000.000";
  ghz.transmit_frequency = L"2.400.000.000";
  WriteTrackerValues(values, ghz);
  Moment m2;
  ASSERT_TRUE(TimedEnter(app, L"QO-100", m2));
  const std::wstring p2 = app.PaneText();
  EXPECT_TRUE(Composed(p2, p1, ghz, L"QO-100", m2));
  EXPECT_NE(p2.find(L" 2400/10489 "), std::wstring::npos) << Utf8(p2);
  EXPECT_NE(p2.find(L"Up=2400.000/Down=10489.000"), std::wstring::npos) << Utf8(p2);
}

TEST(EntryE2E, CloseAfterAnEntryAsksAndNoKeepsTheLog) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  Moment entered;
  ASSERT_TRUE(TimedEnter(app, L"memo", entered));
  const std::wstring pane = app.PaneText();

  app.RequestClose();
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_CLOSE_QUESTION, IDNO));
  Settle(app.window());
  EXPECT_TRUE(IsWindow(app.window()));
  EXPECT_TRUE(app.process().Running());
  EXPECT_EQ(app.PaneText(), pane);
  EXPECT_TRUE(ClosesAfterQuestion(app));
}

TEST(EntryE2E, ViewerLoadsASafetyCopyCancelKeepsThePaneAndAMissingFileIsReported) {
  TempFolder folder, other;
  const std::wstring copy = other.File(kSafetyCopy);
  WriteBytes(copy, "L1\r\nL2\r\n\r\n");  // what the writer leaves for a pane of L1 and L2
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  HWND dialog = ShowFileDialog(app, IDM_VIEW_SAFETY_COPY);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(ChooseFile(app, dialog, copy));
  EXPECT_EQ(app.PaneText(), L"L1\r\nL2\r\n\r\n");
  EXPECT_FALSE(FileExists(app.File(kSafetyCopy)));  // viewing writes no safety copy

  // Cancel: nothing changes and nothing is reported.
  dialog = ShowFileDialog(app, IDM_VIEW_SAFETY_COPY);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  EXPECT_EQ(WaitForAnyDialog(app.pid(), 300), nullptr);
  EXPECT_EQ(app.PaneText(), L"L1\r\nL2\r\n\r\n");

  // A file that is not there: the pane is emptied and the failure shown.
  dialog = ShowFileDialog(app, IDM_VIEW_SAFETY_COPY);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(ChooseFile(app, dialog, other.File(L"nothing-here.txt")));
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_SAFETY_COPY_OPEN_FAILED, IDOK));
  Settle(app.window());
  EXPECT_EQ(app.PaneText(), L"");

  // Closing asks nothing: viewing never marks the log unsaved.
  EXPECT_TRUE(ClosesWithoutQuestion(app));
}

TEST(EntryE2E, ViewerAsksFirstWhenTheLogIsUnsaved) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  Moment entered;
  ASSERT_TRUE(TimedEnter(app, L"keep me", entered));
  const std::wstring pane = app.PaneText();

  SendCommand(app.window(), IDM_VIEW_SAFETY_COPY);
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_OPEN_UNSAVED_QUESTION, IDNO));
  Settle(app.window());
  EXPECT_EQ(WaitForAnyDialog(app.pid(), 300), nullptr);
  EXPECT_EQ(app.PaneText(), pane);

  // Yes goes on to the dialog.
  SendCommand(app.window(), IDM_VIEW_SAFETY_COPY);
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_OPEN_UNSAVED_QUESTION, IDYES));
  HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_SAFETY_COPY_TITLE));
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  EXPECT_EQ(app.PaneText(), pane);
}

TEST(EntryE2E, HungTrackerDoesNotHoldTheWindowForLong) {
  TempFolder folder;
  const std::wstring hang = folder.File(L"hang");
  TrackerSim tracker(ServedValues(folder, kServed) + L" --hang-file \"" + hang + L"\"", folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());

  WriteBytes(hang, "");
  HWND box = app.entry_box();
  SendChars(box, L"hung");
  const LocalTime before = Now();
  const bool answered = SendEnter(box, 15000);
  const LocalTime after = Now();
  DeleteFileW(hang.c_str());
  ASSERT_TRUE(answered) << "the window did not answer within 15 s";
  const std::wstring p1 = app.PaneText();
  EXPECT_TRUE(FellBack(p1, L"", L"hung", Moment{before, after}));

  // Once the tracker answers again, the next entry is composed (its late answer is not taken
  // for the new one).
  Moment m;
  ASSERT_TRUE(TimedEnter(app, L"back", m));
  EXPECT_TRUE(Composed(app.PaneText(), p1, kServed, L"back", m));
}

// Where the first character of a line of the pane stands in its client area.
POINT LineStart(const Zelmor& app, DWORD_PTR line) {
  const DWORD_PTR at = Ask(app.pane(), EM_POSFROMCHAR, Ask(app.pane(), EM_LINEINDEX, line));
  return {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
}

TEST(EntryE2E, EntryShowsTheNewestLineFromItsStartAfterThePaneWasScrolledSideways) {
  TempFolder folder;
  TrackerSim tracker(ServedValues(folder, kServed), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  // Lines wider than the pane, and more of them than it shows.
  for (int i = 0; i < 20; ++i) MakeEntry(app, L"JA1ABC 59 59 QSL via bureau, tnx fer QSO " + std::to_wstring(i));

  // In edit mode the operator goes to the first line and to its end: the pane scrolls up and
  // sideways to show the caret, and stays so when edit mode is left.
  const auto toggle_edit_mode = [&] { Ask(app.window(), WM_COMMAND, MAKEWPARAM(IDM_EDIT_MODE, 0)); };
  toggle_edit_mode();
  Ask(app.pane(), EM_SETSEL, 0, 0);
  Ask(app.pane(), WM_KEYDOWN, VK_END, 1);
  Ask(app.pane(), WM_KEYUP, VK_END, 1);
  // A line start left of the client area is scrolled out of view.
  ASSERT_LT(LineStart(app, 0).x, 0) << "the pane did not scroll sideways";
  toggle_edit_mode();

  MakeEntry(app, L"JA1NEW");
  const DWORD_PTR lines = Ask(app.pane(), EM_GETLINECOUNT);
  ASSERT_EQ(lines, 22u) << "twenty-one lines and the empty one after the last line end";
  const POINT newest = LineStart(app, lines - 2);
  const RECT client = ClientRectOf(app.pane());
  EXPECT_GE(newest.x, 0) << "the lines are not shown from their start";
  EXPECT_TRUE(newest.y >= 0 && newest.y < client.bottom)
      << "the newest line stands at y " << newest.y << ", outside the pane's " << client.bottom << " pixels";
}

TEST(EntryE2E, RealKeysThroughTheDisplayMakeAnEntry) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  if (!OnXDisplay(app.window())) GTEST_SKIP() << "no X display behind the windows";
  const LocalTime before = Now();
  ASSERT_TRUE(TypeThroughDisplay(app.entry_box(), "CQ de JA1ZZZ 599", {"Return"}));
  ASSERT_TRUE(WaitUntil([&] { return !app.PaneText().empty(); }, 20000)) << "entry box: " << Utf8(app.EntryText());
  Settle(app.window());
  const LocalTime after = Now();
  EXPECT_TRUE(FellBack(app.PaneText(), L"", L"CQ de JA1ZZZ 599", Moment{before, after}));
  EXPECT_EQ(app.EntryText(), L"");
  EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
}

}  // namespace
}  // namespace e2e

// The two outside programs stopping dead (SIGSTOP) or vanishing (SIGKILL) while Zelmor waits on
// them: Enter still ends with the fallback line within the request time-out, a transfer within
// its own, and the window then repaints and takes the next command. The times are printed as
// figures; the bounds asserted are generous, since they must hold on a slow machine too.

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"

namespace e2e {
namespace {

using namespace logging_loop;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

const FeedSnapshot kServed{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
// Far beyond the 5 s time-outs of a request and of a transfer, far below "frozen".
constexpr DWORD kBoundMs = 20000;

void Figure(const char* what, DWORD ms) {
  std::printf("[ figure   ] %s: %lu ms\n", what, static_cast<unsigned long>(ms));
  std::fflush(stdout);
}

// The served values with the satellite name standing for the tracker's n-th answer to it.
FeedSnapshot Answer(int n) {
  FeedSnapshot values = kServed;
  values.satellite_name = std::to_wstring(n);
  return values;
}

// A window that waits inside a handler cannot paint: mark all of it for repainting, and the
// marks go only once it is back at its message loop.
void MarkForRepaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

bool NeedsPaint(HWND window, HWND pane) {
  return GetUpdateRect(window, nullptr, FALSE) || GetUpdateRect(pane, nullptr, FALSE);
}

// Milliseconds from `start` until `done` holds, or kBoundMs + 1 when it never did.
template <typename Done>
DWORD MsUntil(DWORD start, Done done) {
  for (;;) {
    if (done()) return GetTickCount() - start;
    if (GetTickCount() - start > kBoundMs) return kBoundMs + 1;
    Sleep(5);
  }
}

// Edit mode on or off by its menu command, sent: how long the window took to answer it.
DWORD ToggleEditMode(Zelmor& app) {
  const DWORD start = GetTickCount();
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(app.window(), WM_COMMAND, MAKEWPARAM(IDM_EDIT_MODE, 0), 0, SMTO_NORMAL, kBoundMs, &ignored);
  return GetTickCount() - start;
}

std::vector<int> PeerProcess(const wchar_t* exe, const TempFolder& folder) {
  return UnixProcessIds(exe, LeafName(folder.path()));
}

// A stopped process ignores TerminateProcess until it runs again: a test that ends early must not
// leave one behind.
struct KilledAtExit {
  std::vector<int> pids;
  ~KilledAtExit() {
    if (!pids.empty()) SignalUnixProcesses(pids, "KILL");
  }
};

TEST(PeersE2E, StoppedTrackerCostsOneTimeOutAndItsLateAnswerLandsNowhere) {
  TempFolder folder;
  // Each answer names itself: an answer taken for the wrong request shows in the line.
  FeedSnapshot counted = kServed;
  counted.satellite_name = L"@count";
  TrackerSim tracker(ServedValues(folder, counted), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND box = app.entry_box();

  SendChars(box, L"one");
  LocalTime before = Now();
  ASSERT_TRUE(SendEnter(box));
  const std::wstring p1 = app.PaneText();
  ASSERT_TRUE(AppendedOneOf(p1, L"", ComposedLine(Answer(1), L"one", before), ComposedLine(Answer(1), L"one", Now())));

  const std::vector<int> tracker_pid = PeerProcess(L"tracker-sim.exe", folder);
  ASSERT_EQ(tracker_pid.size(), 1u);
  const KilledAtExit guard{tracker_pid};
  ASSERT_TRUE(SignalUnixProcesses(tracker_pid, "STOP"));

  // Enter posted, then the window marked: the entry is taken before any paint.
  SendChars(box, L"stopped");
  before = Now();
  const DWORD start = GetTickCount();
  PressEnter(box);
  MarkForRepaint(app.window());
  const bool marked = NeedsPaint(app.window(), app.pane());
  const DWORD line_ms = MsUntil(start, [&] { return app.PaneText() != p1; });
  const DWORD paint_ms = MsUntil(start, [&] { return !NeedsPaint(app.window(), app.pane()); });
  const LocalTime after = Now();
  const std::wstring p2 = app.PaneText();
  EXPECT_TRUE(AppendedOneOf(p2, p1, FallbackAt(L"stopped", before), FallbackAt(L"stopped", after)));
  EXPECT_TRUE(marked) << "the window was not waiting for a paint while stuck";
  EXPECT_LE(line_ms, kBoundMs);
  EXPECT_LE(paint_ms, kBoundMs);
  Figure("tracker stopped (SIGSTOP): Enter to fallback line", line_ms);
  Figure("tracker stopped (SIGSTOP): Enter to repainted window", paint_ms);

  // The next command is answered at once, the tracker still stopped.
  const DWORD command_ms = ToggleEditMode(app);
  EXPECT_TRUE(IsWindowEnabled(app.pane()));
  ToggleEditMode(app);
  EXPECT_LE(command_ms, kBoundMs);
  Figure("tracker stopped (SIGSTOP): next command answered", command_ms);

  // Running again, it answers the abandoned request (its 2nd answer) and then this one (3rd):
  // the line must carry the 3rd.
  ASSERT_TRUE(SignalUnixProcesses(tracker_pid, "CONT"));
  SendChars(box, L"again");
  before = Now();
  const DWORD again_start = GetTickCount();
  ASSERT_TRUE(SendEnter(box, kBoundMs));
  Figure("tracker resumed (SIGCONT): next Enter", GetTickCount() - again_start);
  EXPECT_TRUE(
      AppendedOneOf(app.PaneText(), p2, ComposedLine(Answer(3), L"again", before), ComposedLine(Answer(3), L"again", Now())));
}

TEST(PeersE2E, TrackerKilledInsideARequestGivesTheFallbackLineAtOnce) {
  TempFolder folder;
  const std::wstring hang = folder.File(L"hang");
  TrackerSim tracker(ServedValues(folder, kServed) + L" --hang-file \"" + hang + L"\"", folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND box = app.entry_box();
  const std::vector<int> tracker_pid = PeerProcess(L"tracker-sim.exe", folder);
  ASSERT_EQ(tracker_pid.size(), 1u);

  WriteBytes(hang, "");
  SendChars(box, L"vanished");
  const LocalTime before = Now();
  const DWORD start = GetTickCount();
  PressEnter(box);
  MarkForRepaint(app.window());
  const bool marked = NeedsPaint(app.window(), app.pane());
  // The tracker has the request once its own window stops answering.
  const DWORD stuck_ms = MsUntil(start, [&] {
    DWORD_PTR ignored = 0;
    return !SendMessageTimeoutW(tracker.window(), WM_NULL, 0, 0, SMTO_NORMAL, 100, &ignored);
  });
  ASSERT_LE(stuck_ms, kBoundMs) << "the tracker never took the request";
  // Timed from before the kill command, so the figure includes its own delay.
  const DWORD killed = GetTickCount();
  ASSERT_TRUE(SignalUnixProcesses(tracker_pid, "KILL"));
  const DWORD line_ms = MsUntil(killed, [&] { return !app.PaneText().empty(); });
  const DWORD paint_ms = MsUntil(killed, [&] { return !NeedsPaint(app.window(), app.pane()); });
  const LocalTime after = Now();
  const std::wstring p1 = app.PaneText();
  EXPECT_TRUE(AppendedOneOf(p1, L"", FallbackAt(L"vanished", before), FallbackAt(L"vanished", after)));
  EXPECT_TRUE(marked) << "the window was not waiting for a paint while stuck";
  EXPECT_LE(line_ms, kBoundMs);
  EXPECT_LE(paint_ms, kBoundMs);
  Figure("tracker killed inside a request: kill command to fallback line", line_ms);
  Figure("tracker killed inside a request: kill command to repainted window", paint_ms);

  // With the tracker gone, the next Enter falls back without waiting for anything.
  SendChars(box, L"next");
  const LocalTime next_before = Now();
  const DWORD next_start = GetTickCount();
  ASSERT_TRUE(SendEnter(box, kBoundMs));
  const DWORD next_ms = GetTickCount() - next_start;
  EXPECT_TRUE(AppendedOneOf(app.PaneText(), p1, FallbackAt(L"next", next_before), FallbackAt(L"next", Now())));
  EXPECT_LE(next_ms, kBoundMs);
  Figure("tracker gone: next Enter", next_ms);
  DeleteFileW(hang.c_str());
}

TEST(PeersE2E, StoppedOrVanishingLoggingProgramGivesTheWindowBackWithinTheTimeOut) {
  struct Row {
    const char* what;
    const char* before_transfer;  // signal sent to the logging program before the transfer
    const char* in_handler;       // signal sent once it sits in its WM_COPYDATA handler
  };
  const Row rows[] = {
      // Stopped before the send: nothing answers until the send's time-out.
      {"logging program stopped (SIGSTOP)", "STOP", nullptr},
      // Killed while it holds the message: the send ends with the process.
      {"logging program killed in its handler", nullptr, "KILL"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    const DWORD pid = app.pid();
    const std::wstring journal = folder.File(L"journal.txt");
    LogbookSim logbook(L"--journal \"" + journal + L"\" --hang-ms 60000", folder.path());
    ASSERT_TRUE(logbook.ready());
    const std::vector<int> logbook_unix = PeerProcess(L"logbook-sim.exe", folder);
    ASSERT_EQ(logbook_unix.size(), 1u);
    const KilledAtExit guard{logbook_unix};
    Settle(app.window());

    ToggleEditMode(app);
    ASSERT_TRUE(IsWindowEnabled(app.pane()));
    if (row.before_transfer) {
      ASSERT_TRUE(SignalUnixProcesses(logbook_unix, row.before_transfer));
    }
    ASSERT_TRUE(PutClipboardText(L"JA1PEER"));
    HWND menu = WaitForMenu(pid);
    ASSERT_NE(menu, nullptr);
    PickMenuItem(menu, 3);  // "to HL CALL"
    DWORD start = GetTickCount();
    // Until the menu has gone, a posted key would be the menu's.
    ASSERT_LE(MsUntil(start, [pid] { return VisibleMenu(pid) == nullptr; }), kBoundMs);
    if (row.in_handler) {
      ASSERT_LE(MsUntil(start, [&] { return !ReadBytes(journal).empty(); }), kBoundMs)
          << "the logging program never got the field";
    }
    // A thread waiting in a send still answers sent messages: a posted key reaching the entry box,
    // and a paint, show that it is back at its message loop.
    MarkForRepaint(app.window());
    EXPECT_TRUE(NeedsPaint(app.window(), app.pane())) << "the window was not waiting for a paint";
    HWND entry = app.entry_box();
    PostMessageW(entry, WM_CHAR, L'Q', 1);
    if (row.in_handler) {
      // Timed from before the kill command, so the figure includes its own delay.
      start = GetTickCount();
      ASSERT_TRUE(SignalUnixProcesses(logbook_unix, row.in_handler));
    }
    const DWORD back_ms = MsUntil(start, [&] { return TextOf(entry).find(L'Q') != std::wstring::npos; });
    const DWORD paint_ms = MsUntil(start, [&] { return !NeedsPaint(app.window(), app.pane()); });
    EXPECT_LE(back_ms, kBoundMs);
    EXPECT_LE(paint_ms, kBoundMs);
    const std::string label = row.what;
    Figure((label + (row.in_handler ? ": kill command" : ": transfer") + " to a key taken").c_str(), back_ms);
    Figure((label + (row.in_handler ? ": kill command" : ": transfer") + " to repainted window").c_str(), paint_ms);

    // And it takes the next command: edit mode off.
    const DWORD command_ms = ToggleEditMode(app);
    EXPECT_FALSE(IsWindowEnabled(app.pane()));
    EXPECT_LE(command_ms, kBoundMs);
    Figure((label + ": next command answered").c_str(), command_ms);
  }
}

}  // namespace
}  // namespace e2e

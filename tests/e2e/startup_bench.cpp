// Benchmark, not a test (disabled; scripts/bench.sh runs it): the time from CreateProcess until
// the window is ready for input, for Zelmor.exe beside the tracking-program simulator, Zelmor.exe
// without it, and bare-window.exe (a window program that does nothing else), each started the same
// way from a fresh folder, in turns, in the same run.

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"

namespace e2e {
namespace {

using namespace logging_loop;

double MillisecondsSince(LARGE_INTEGER from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool NothingToPaint(HWND window) { return GetUpdateRect(window, nullptr, FALSE) == FALSE; }

// Ready for input: the window is shown, the keyboard focus is where typing should go, nothing of
// it waits to be painted, and its thread answers a sent message.
bool ReadyForInput(HWND window, HWND focus_wanted) {
  if (!IsWindowVisible(window)) return false;
  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui) || gui.hwndFocus != focus_wanted) return false;
  if (!NothingToPaint(window) || !NothingToPaint(focus_wanted)) return false;
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored) != 0;
}

// Starts `exe` (copied into a fresh folder first) and returns the milliseconds until it is ready
// for input, or a negative number when it never was.
double StartToReady(const wchar_t* exe, const wchar_t* window_class, bool focus_on_entry_box) {
  TempFolder folder;
  const std::wstring copy = folder.File(exe);
  if (!CopyFileW((BuildFolder() + L"\\" + exe).c_str(), copy.c_str(), FALSE)) return -1;
  Child child;
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!child.Start(copy, L"", folder.path())) return -1;
  const DWORD pid = child.pid();
  double took = -1;
  HWND window = nullptr;
  for (;;) {
    if (!window) window = FindProcessWindow(pid, window_class);
    if (window && ReadyForInput(window, focus_on_entry_box ? GetDlgItem(window, IDC_ENTRY_BOX) : window)) {
      took = MillisecondsSince(start);
      break;
    }
    if (MillisecondsSince(start) > 20000) break;
    Sleep(1);
  }
  if (window) PostMessageW(window, WM_CLOSE, 0, 0);
  child.WaitExit(10000);
  return took;
}

TEST(StartupBenchmark, DISABLED_StartToReadyForInput) {
  constexpr int kRuns = 11;
  std::vector<double> beside_tracker, alone, bare;
  TempFolder tracker_folder;
  for (int run = 0; run < kRuns; ++run) {
    {
      TrackerSim tracker(L"", tracker_folder.path());
      ASSERT_TRUE(tracker.ready());
      beside_tracker.push_back(StartToReady(L"Zelmor.exe", L"ZelmorMainWindow", true));
      ASSERT_TRUE(tracker.Close());
    }
    alone.push_back(StartToReady(L"Zelmor.exe", L"ZelmorMainWindow", true));
    bare.push_back(StartToReady(L"bare-window.exe", L"BareWindow", false));
    ASSERT_GT(beside_tracker.back(), 0) << "Zelmor beside the tracker never became ready";
    ASSERT_GT(alone.back(), 0) << "Zelmor alone never became ready";
    ASSERT_GT(bare.back(), 0) << "the bare window never became ready";
  }
  std::printf("start to ready for input, median of %d (ms):\n", kRuns);
  std::printf("  %-34s %8.1f\n", "Zelmor.exe beside tracker-sim", Median(beside_tracker));
  std::printf("  %-34s %8.1f\n", "Zelmor.exe, no tracking program", Median(alone));
  std::printf("  %-34s %8.1f\n", "bare-window.exe", Median(bare));
  std::fflush(stdout);
}

}  // namespace
}  // namespace e2e

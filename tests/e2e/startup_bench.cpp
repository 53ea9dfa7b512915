// Benchmark, not a test (disabled; scripts/bench.sh runs it): the time from CreateProcess until
// the window is ready for input, for Zelmor.exe beside the tracking-program simulator (standing in
// for CSATmate, SatPC32 and Orbitron in turn), Zelmor.exe
// without it, bare-window.exe (a window program that does nothing else) and same-look-window.exe
// (one that shows what Zelmor's window shows, and does nothing else), each started the same way
// from a fresh folder, in turns, in the same run.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>
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

// Starts `exe` (copied into a fresh folder first, from `from` or else the build folder) and returns
// the milliseconds until it is ready for input, or a negative number when it never was.
double StartToReady(const wchar_t* exe, const wchar_t* window_class, bool focus_on_entry_box,
                    const std::wstring& from = {}) {
  TempFolder folder;
  const std::wstring copy = folder.File(exe);
  const std::wstring source = from.empty() ? BuildFolder() + L"\\" + exe : from;
  if (!CopyFileW(source.c_str(), copy.c_str(), FALSE)) return -1;
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
  // ZELMOR_STARTUP_RUNS asks for more starts, for a median that holds on a busy machine.
  wchar_t asked[16] = L"";
  const int kRuns = GetEnvironmentVariableW(L"ZELMOR_STARTUP_RUNS", asked, 16) ? std::max(1, _wtoi(asked)) : 11;
  // tracker-sim standing in for each tracking program, with its simulated pass.
  const struct {
    const char* name;
    const wchar_t* arguments;
    const wchar_t* window_class;
  } programs[] = {{"CSATmate", L"", L"CSATmateSimulator"},
                  {"SatPC32", L"--program satpc32", L"SatPC32Simulator"},
                  {"Orbitron", L"--program orbitron", L"OrbitronSimulator"}};
  // ZELMOR_STARTUP_COMPARE names another build's Zelmor.exe, started in turns with this one's,
  // start by start, so that both meet the same load on a busy machine.
  wchar_t other_exe[MAX_PATH] = L"";
  const bool compare = GetEnvironmentVariableW(L"ZELMOR_STARTUP_COMPARE", other_exe, MAX_PATH) != 0;
  std::vector<double> beside_tracker[std::size(programs)], alone, bare, same_look;
  std::vector<double> other_beside_tracker[std::size(programs)], other_alone;
  TempFolder tracker_folder;
  for (int run = 0; run < kRuns; ++run) {
    for (size_t p = 0; p < std::size(programs); ++p) {
      TrackerSim tracker(programs[p].arguments, tracker_folder.path(), programs[p].window_class);
      ASSERT_TRUE(tracker.ready());
      beside_tracker[p].push_back(StartToReady(L"Zelmor.exe", L"ZelmorMainWindow", true));
      if (compare) other_beside_tracker[p].push_back(StartToReady(L"Zelmor.exe", L"ZelmorMainWindow", true, other_exe));
      ASSERT_TRUE(tracker.Close());
      ASSERT_GT(beside_tracker[p].back(), 0) << "Zelmor beside " << programs[p].name << " never became ready";
    }
    alone.push_back(StartToReady(L"Zelmor.exe", L"ZelmorMainWindow", true));
    if (compare) other_alone.push_back(StartToReady(L"Zelmor.exe", L"ZelmorMainWindow", true, other_exe));
    bare.push_back(StartToReady(L"bare-window.exe", L"BareWindow", false));
    same_look.push_back(StartToReady(L"same-look-window.exe", L"SameLookWindow", true));
    ASSERT_GT(alone.back(), 0) << "Zelmor alone never became ready";
    ASSERT_GT(bare.back(), 0) << "the bare window never became ready";
    ASSERT_GT(same_look.back(), 0) << "the same-look window never became ready";
  }
  std::printf("start to ready for input, median of %d (ms):\n", kRuns);
  for (size_t p = 0; p < std::size(programs); ++p) {
    const std::string what = std::string("Zelmor.exe beside ") + programs[p].name + "'s simulator";
    std::printf("  %-34s %8.1f\n", what.c_str(), Median(beside_tracker[p]));
  }
  std::printf("  %-34s %8.1f\n", "Zelmor.exe, no tracking program", Median(alone));
  std::printf("  %-34s %8.1f\n", "bare-window.exe", Median(bare));
  std::printf("  %-34s %8.1f\n", "same-look-window.exe", Median(same_look));
  if (compare) {
    std::printf("the other build (%ls):\n", other_exe);
    for (size_t p = 0; p < std::size(programs); ++p) {
      const std::string what = std::string("Zelmor.exe beside ") + programs[p].name + "'s simulator";
      std::printf("  %-34s %8.1f\n", what.c_str(), Median(other_beside_tracker[p]));
    }
    std::printf("  %-34s %8.1f\n", "Zelmor.exe, no tracking program", Median(other_alone));
  }
  std::fflush(stdout);
}

}  // namespace
}  // namespace e2e

// Benchmark, not a test (disabled; run with --gtest_also_run_disabled_tests
// --gtest_filter='FeedBenchmark.*'): what an Enter costs when no tracking program runs, medians of
// 20, once from this program through the feed alone and once as the operator's Enter in
// Zelmor.exe (key to fallback line and safety copy), the feed alone once with CSATmate only and once
// looking for the three programs; and the Enter that finds the tracking program
// started again and connects to it, next to an ordinary one. The number of top-level windows is
// printed with it, since every connect attempt is a broadcast to all of them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/resource.h"
#include "entry/dde_feed_links_win.h"
#include "entry/feed.h"
#include "entry/log_line.h"
#include "trackers/dde_trackers_win.h"
#include "entry_support.h"
#include "harness.h"

namespace e2e {
namespace {

using namespace logging_loop;

constexpr int kRuns = 20;

void Report(const char* what, std::vector<double> ms) {
  std::sort(ms.begin(), ms.end());
  std::printf("[ bench    ] %s: median %.3f ms, min %.3f, max %.3f (%zu runs)\n", what, ms[ms.size() / 2],
              ms.front(), ms.back(), ms.size());
  std::fflush(stdout);
}

// kRuns compositions by `feed` with no tracking program to answer: each gives no line.
void ComposeWithoutTracker(zelmor::entry::Feed& feed, std::vector<double>& ms) {
  for (int run = 0; run < kRuns; ++run) {
    const LARGE_INTEGER start = Tick();
    const auto line =
        zelmor::entry::ComposeEntry(L"#SN", feed, L"memo", zelmor::LocalTime{}, zelmor::entry::LocaleFormats{});
    ms.push_back(Milliseconds(start, Tick()));
    ASSERT_FALSE(line.has_value());
  }
}

int TopLevelWindows() {
  int count = 0;
  EnumWindows(
      [](HWND, LPARAM counter) -> BOOL {
        ++*reinterpret_cast<int*>(counter);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

TEST(FeedBenchmark, DISABLED_EnterWithoutTracker) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  std::printf("[ bench    ] top-level windows: %d\n", TopLevelWindows());

  {
    zelmor::entry::DdeFeedLinks links;
    zelmor::entry::Feed feed(links);
    ASSERT_FALSE(feed.SetUp());
    std::vector<double> ms;
    ComposeWithoutTracker(feed, ms);
    Report("composition without a tracker, CSATmate alone (feed only, this process)", ms);
  }
  {
    // As Zelmor looks: CSATmate, SatPC32 and Orbitron, one broadcast each.
    zelmor::trackers::DdeTrackerSet trackers(zelmor::entry::DdeFeedLinks::kDefaultRequestTimeoutMs, false);
    zelmor::entry::TrackerSetting any;
    zelmor::entry::Feed feed(trackers.Sources(), &any);
    ASSERT_FALSE(feed.SetUp());
    std::vector<double> ms;
    ComposeWithoutTracker(feed, ms);
    Report("composition without a tracker, the three looked for (feed only, this process)", ms);
  }

  HWND box = app.entry_box();
  std::vector<double> ms;
  for (int run = 0; run < kRuns; ++run) {
    SendChars(box, L"JA1ZZZ");
    const LARGE_INTEGER start = Tick();
    ASSERT_TRUE(SendEnter(box));
    ms.push_back(Milliseconds(start, Tick()));
  }
  Report("Enter without a tracker (Zelmor.exe, to fallback line and safety copy)", ms);

  // Leave without the close question.
  app.process().Kill();
}

TEST(FeedBenchmark, DISABLED_EnterThatConnectsAgain) {
  constexpr int kRestarts = 10;
  TempFolder folder;
  const std::wstring args =
      ServedValues(folder, zelmor::entry::FeedSnapshot{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"});
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND box = app.entry_box();
  auto timed_enter = [box] {
    SendChars(box, L"JA1ZZZ");
    const LARGE_INTEGER start = Tick();
    EXPECT_TRUE(SendEnter(box));
    return Milliseconds(start, Tick());
  };
  auto last_line_composed = [&app] { return TextOf(app.pane()).rfind(L"RS-44") != std::wstring::npos; };

  std::vector<double> connecting, ordinary;
  for (int run = 0; run < kRestarts; ++run) {
    TrackerSim tracker(args, folder.path());
    ASSERT_TRUE(tracker.ready());
    connecting.push_back(timed_enter());
    ASSERT_TRUE(last_line_composed());
    ordinary.push_back(timed_enter());
    tracker.Kill();
    timed_enter();  // finds the links down and nobody serving
    SetWindowTextW(app.pane(), L"");
  }
  Report("Enter that connects to the tracker started again (connect + 5 requests)", connecting);
  Report("ordinary Enter (5 requests)", ordinary);
  app.process().Kill();
}

}  // namespace
}  // namespace e2e

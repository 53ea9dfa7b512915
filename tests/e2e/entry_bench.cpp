// Benchmark, not a test (disabled; scripts/bench.sh runs it): the time from Enter to the safety
// copy on disk with 1,000, 10,000 and 100,000 lines in the log pane, next to the floor measured in
// the same run: five DDE requests to the same simulator and the replacement of a file with the
// same bytes, from this small program.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/resource.h"
#include "entry/dde_feed_links_win.h"
#include "entry_support.h"
#include "harness.h"
#include "base/atomic_file_win.h"

namespace e2e {
namespace {

using namespace logging_loop;

// Loads `path` into the pane with the safety-copy viewer (a pane this large is more than one
// cross-process WM_SETTEXT can carry under Wine), saying yes to the unsaved-log question.
bool Preload(Zelmor& app, const std::wstring& path) {
  SendCommand(app.window(), IDM_VIEW_SAFETY_COPY);
  HWND dialog = WaitForAnyDialog(app.pid());
  if (dialog && TextOf(dialog) == ZelmorText(IDS_APP_TITLE)) {
    PressButton(dialog, IDYES);
    dialog = WaitForDialog(app.pid(), ZelmorText(IDS_SAFETY_COPY_TITLE));
  }
  if (!dialog) return false;
  SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressButton(dialog, IDOK);
  return WaitDestroyed(dialog, 30000) && Settle(app.window(), 120000);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

TEST(EntryBenchmark, DISABLED_EnterToSafetyCopy) {
  constexpr int kRuns = 5;
  const zelmor::entry::FeedSnapshot served{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  TempFolder folder;
  TrackerSim tracker(ServedValues(folder, served), folder.path());
  ASSERT_TRUE(tracker.ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const HWND pane = app.pane();
  HWND box = app.entry_box();

  // The floor's own links to the same simulator.
  zelmor::entry::DdeFeedLinks links;
  for (int label = 0; label < zelmor::entry::kFeedLabelCount; ++label)
    ASSERT_TRUE(links.Open(label, zelmor::entry::kFeedService, zelmor::entry::kFeedTopic,
                           zelmor::entry::FeedItem(label)));

  const std::wstring line =
      L"2026/12/7 21:05J CQ 599 移動運用 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640\r\n";
  std::printf("%10s %18s %12s\n", "lines", "Enter->copy (ms)", "floor (ms)");
  for (const int lines : {1000, 10000, 100000}) {
    std::wstring text;
    text.reserve(line.size() * static_cast<size_t>(lines));
    for (int i = 0; i < lines; ++i) text += line;
    const std::wstring preload = folder.File(L"preload.txt");
    WriteBytes(preload, Ansi(text));

    std::vector<double> entry_times, floor_times;
    for (int run = 0; run < kRuns; ++run) {
      ASSERT_TRUE(Preload(app, preload));
      DWORD_PTR length = 0;
      SendMessageTimeoutW(pane, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 30000, &length);
      ASSERT_EQ(length, text.size());
      DeleteFileW(app.File(kSafetyCopy).c_str());

      const LARGE_INTEGER start = Tick();
      ASSERT_TRUE(SendEnter(box, 120000));
      const LARGE_INTEGER done = Tick();
      const std::string copy = app.SafetyCopy();
      ASSERT_GT(copy.size(), Ansi(text).size()) << "no safety copy after Enter at " << lines << " lines";
      entry_times.push_back(Milliseconds(start, done));

      // The floor: the same requests and the same bytes, nothing else.
      const std::string bytes = copy;
      const LARGE_INTEGER floor_start = Tick();
      for (int label = 0; label < zelmor::entry::kFeedLabelCount; ++label) {
        std::wstring value;
        ASSERT_TRUE(links.Request(label, value));
      }
      ASSERT_EQ(zelmor::base::ReplaceFileContent(folder.File(L"floor.txt"), bytes), DWORD{ERROR_SUCCESS});
      floor_times.push_back(Milliseconds(floor_start, Tick()));
    }
    std::printf("%10d %18.1f %12.1f\n", lines, Median(entry_times), Median(floor_times));
    std::fflush(stdout);
  }
  for (int label = 0; label < zelmor::entry::kFeedLabelCount; ++label) links.Close(label);

  // Leave without the close question.
  app.process().Kill();
}

}  // namespace
}  // namespace e2e

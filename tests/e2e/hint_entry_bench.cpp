// Benchmark, not a test (disabled; scripts/bench.sh entry runs it): an Enter with the worked-before
// hint on screen against the same Enter with the hint turned off ("Hints=0"), two Zelmors side by
// side beside one tracking-program simulator, each with 10,000 lines in its pane and a log folder
// of 10,000 contacts, entered in turns after the same pause: from Enter to the safety copy on
// disk, until the window is repainted, and (hint on) until the hint has gone.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/codepage_win.h"
#include "entry_support.h"
#include "harness.h"
#include "worked_logs.h"
#include "worked_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

constexpr DWORD kPauseMs = 200;
constexpr int kRuns = 21;

TEST(EntryBenchmark, DISABLED_EnterWithAndWithoutTheHint) {
  const zelmor::entry::FeedSnapshot served{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  TempFolder served_folder, logs, with_hint, without_hint;
  TrackerSim tracker(ServedValues(served_folder, served), served_folder.path());
  ASSERT_TRUE(tracker.ready());
  for (int f = 0; f < 20; ++f) {
    WriteBytes(logs.File(L"Zelmor" + std::to_wstring(100000 + f) + L".TXT"),
               Ansi(test_support::SampleLog(500, static_cast<unsigned>(f))));
  }
  const std::wstring memo = L"JA1ABC 59 59 PM95";
  worked::WriteLog(logs.File(L"Zelmor999999.TXT"),
                   {worked::LogLineAt(memo, L"RS-44", worked::Shifted(Now(), -24 * 60))});

  // Side by side, so that neither repaints the other.
  const auto settings = [&](const std::wstring& left, const std::wstring& hints) {
    return Ansi(L"[LOGpos]\r\nELTop=0\r\nELLeft=" + left + L"\r\nELWidth=7110\r\nELHeight=4275\r\n[Zelmor]\r\nLOGfol=" +
                logs.path() + L"\r\nHints=" + hints + L"\r\n");
  };
  WriteBytes(with_hint.File(kSettings), settings(L"0", L"1"));
  WriteBytes(without_hint.File(kSettings), settings(L"7500", L"0"));
  Zelmor on(with_hint), off(without_hint);
  ASSERT_TRUE(on.Start());
  ASSERT_TRUE(off.Start());

  const std::wstring line =
      L"2026/12/7 21:05J CQ 599 移動運用 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640\r\n";
  std::wstring text;
  for (int i = 0; i < 10000; ++i) text += line;
  const std::wstring preload = served_folder.File(L"preload.txt");
  WriteBytes(preload, Ansi(text));
  ASSERT_TRUE(Preload(on, preload));
  ASSERT_TRUE(Preload(off, preload));
  // The index whole before the first Enter: the hint comes.
  SendChars(on.entry_box(), memo);
  ASSERT_TRUE(WaitUntil([&] { return worked::HintShown(on); }, 60000)) << "no hint";
  SetWindowTextW(on.entry_box(), L"");

  struct Times {
    std::vector<double> entry, painted, hint_gone;
  } with, without;
  for (int run = 0; run < kRuns; ++run) {
    for (Zelmor* app : {&on, &off}) {
      Times& t = app == &on ? with : without;
      SendChars(app->entry_box(), memo);
      if (app == &on) ASSERT_TRUE(WaitUntil([&] { return worked::HintShown(on); }, 10000));
      ASSERT_TRUE(Quiet(*app));
      Sleep(kPauseMs);
      const LARGE_INTEGER start = Tick();
      ASSERT_TRUE(SendEnter(app->entry_box(), 120000));
      t.entry.push_back(Milliseconds(start, Tick()));
      t.painted.push_back(UntilRepainted(*app, start));
      if (app == &on) {
        ASSERT_TRUE(WaitUntil([&] { return !worked::HintShown(on); }, 10000));
        t.hint_gone.push_back(Milliseconds(start, Tick()));
      }
    }
  }
  std::printf("Enter with 10,000 lines in the pane and 10,000 contacts in the log folder, medians of %d (ms)\n",
              kRuns);
  std::printf("%-16s %12s %10s %10s\n", "", "Enter->copy", "->painted", "hint gone");
  std::printf("%-16s %12.1f %10.1f %10.1f\n", "hint on screen", Median(with.entry), Median(with.painted),
              Median(with.hint_gone));
  std::printf("%-16s %12.1f %10.1f %10s\n", "Hints=0", Median(without.entry), Median(without.painted), "-");
  std::fflush(stdout);
  on.process().Kill();
  off.process().Kill();
}

}  // namespace
}  // namespace e2e

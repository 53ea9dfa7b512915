// Benchmark, not a test (disabled; scripts/bench.sh worked runs it): the worked-before index of a
// log folder of 10,000 contacts in 20 files and of 100,000 in 200, as Zelmor keeps it.
//   - indexing: from the start of the folder reader until the window's thread has the whole folder
//     in its index, on the reader's threads as Zelmor runs it and on one thread; and the longest the
//     window's thread spent on one of the keeper's messages (what a key could wait for);
//   - memory: the bytes in use in the process's heaps once the index is complete, against before
//     (and the working set, which holds what the allocator keeps aside);
//   - lookups: the whole hint for typed memos (call, dupe, satellite, other forms and grid): the
//     median, 99th and 99.9th percentiles and the slowest of 20,000;
//   - merging: 100,000 contacts read beforehand, merged on the window's thread alone;
//   - confirmations: LoTW's kept file of 10,000 read (off the window's thread in Zelmor), and
//     matched against 100,000 contacts on the window's thread with this computer's time-zone rules;
//   - the summary with its map: 100,000 contacts counted, the map's squares taken, fitted and drawn
//     at the summary's size for 100 % and 200 % display scaling, and zoomed out to the world.

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/codepage_win.h"
#include "base/time_zone_win.h"
#include "confirmations/lotw_report.h"
#include "entry_support.h"
#include "files_win.h"
#include "settings/keys.h"
#include "worked/grid_map_win.h"
#include "worked/worked_hint.h"
#include "worked/worked_summary.h"
#include "worked/worked_log_win.h"
#include "worked_logs.h"

namespace e2e {
namespace {

using logging_loop::Milliseconds;
using logging_loop::Tick;
using zelmor::worked::LogFolderWatcher;
using zelmor::worked::WorkedLogKeeper;

constexpr size_t kLinesPerFile = 500;

// Bytes in use in every heap of the process: what the program holds, whatever the allocator keeps
// aside. (Wine reports no private bytes; it walks its heaps as Windows does.)
double HeapMegabytes() {
  HANDLE heaps[64];
  const DWORD count = std::min<DWORD>(GetProcessHeaps(64, heaps), 64);
  size_t busy = 0;
  for (DWORD i = 0; i < count; ++i) {
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heaps[i]);
    while (HeapWalk(heaps[i], &entry)) {
      if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) busy += entry.cbData;
    }
    HeapUnlock(heaps[i]);
  }
  return static_cast<double>(busy) / (1 << 20);
}

// The process's working set: the heaps' memory, what they keep aside included.
double WorkingSetMegabytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return static_cast<double>(counters.WorkingSetSize) / (1 << 20);
}

struct Indexed {
  double total_ms = 0, longest_hand_over_ms = 0, heap_mb = 0, working_set_mb = 0;
  size_t contacts = 0;
};

// Indexes the folder as the main window will; the keeper is left running for the lookups.
Indexed IndexFolder(const std::wstring& folder, unsigned threads, std::unique_ptr<WorkedLogKeeper>& kept) {
  Indexed result;
  const double heap_before = HeapMegabytes(), working_set_before = WorkingSetMegabytes();
  auto keeper = std::make_unique<WorkedLogKeeper>();
  LogFolderWatcher::Settings settings;
  settings.folder = folder;
  settings.reading = {zelmor::entry::kDefaultTemplate, {L"yyyy/MM/dd", L":", L"."}};
  settings.threads = threads;
  const LARGE_INTEGER start = Tick();
  keeper->Watch(settings);
  while (!keeper->log().folder_read()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      const LARGE_INTEGER t = Tick();
      DispatchMessageW(&msg);
      result.longest_hand_over_ms = std::max(result.longest_hand_over_ms, Milliseconds(t, Tick()));
    }
  }
  result.total_ms = Milliseconds(start, Tick());
  result.contacts = keeper->log().index().Contacts();
  result.heap_mb = HeapMegabytes() - heap_before;
  result.working_set_mb = WorkingSetMegabytes() - working_set_before;
  kept = std::move(keeper);
  return result;
}

TEST(WorkedBenchmark, DISABLED_IndexingAndLookups) {
  for (const size_t contacts : {size_t{10000}, size_t{100000}}) {
    test_support::TempFolder folder;
    const size_t files = contacts / kLinesPerFile;
    for (size_t f = 0; f < files; ++f) {
      const auto start = test_support::At(2000 + static_cast<int>(f / 12), 1 + static_cast<int>(f % 12), 1, 0, 0);
      test_support::WriteBytes(folder.File(L"Zelmor" + std::to_wstring(100000 + f) + L".TXT"),
                               zelmor::base::ToAnsi(test_support::SampleLog(kLinesPerFile, static_cast<unsigned>(f), start)));
    }
    for (const unsigned threads : {0u, 1u}) {
      for (int run = 0; run < 3; ++run) {
        std::unique_ptr<WorkedLogKeeper> keeper;
        const Indexed done = IndexFolder(folder.path(), threads, keeper);
        std::printf("worked index: %zu contacts in %zu files, %s: %.0f ms (longest turn of the window's thread "
                    "%.1f ms); heaps %.1f MB more, working set %.1f MB more\n",
                    done.contacts, files, threads == 0 ? "threads as Zelmor runs" : "one thread", done.total_ms,
                    done.longest_hand_over_ms, done.heap_mb, done.working_set_mb);
        EXPECT_EQ(done.contacts, contacts);
        if (threads == 0 && run == 0) {
          // Memos as typed: calls in the log, other forms of them, new ones, and grids.
          std::vector<std::wstring> memos;
          for (int i = 0; i < 200; ++i) {
            const std::wstring call = L"JA" + std::to_wstring(i % 10) + static_cast<wchar_t>(L'A' + i % 26) + L"AA";
            memos.push_back(call);
            memos.push_back(call + L"/P 59 59 PM" + std::to_wstring(10 + i % 90));
            memos.push_back(L"7K" + std::to_wstring(i % 10) + L"ZZZ 59 QM06");
          }
          zelmor::worked::HintRequest request;
          request.satellite = L"RS-44";
          request.now = test_support::At(2005, 6, 1, 12, 0);
          std::vector<double> took;
          size_t lines = 0;
          for (int i = 0; i < 20000; ++i) {
            request.memo = memos[static_cast<size_t>(i) % memos.size()];
            const LARGE_INTEGER t = Tick();
            lines += zelmor::worked::WorkedHint(keeper->log().index(), request).lines.size();
            took.push_back(Milliseconds(t, Tick()));
          }
          std::sort(took.begin(), took.end());
          auto at = [&](double share) { return 1000.0 * took[static_cast<size_t>(share * (took.size() - 1))]; };
          std::printf("worked hint at %zu contacts (%zu lines shown): median %.1f us, 99%% %.1f us, 99.9%% %.1f us, "
                      "slowest %.1f us\n",
                      contacts, lines, at(0.5), at(0.99), at(0.999), at(1.0));
        }
        keeper->Stop();
      }
    }
  }

  // The window thread's share alone: 100,000 contacts read beforehand, merged into an empty index,
  // then the same again (a file written again unchanged).
  const zelmor::worked::LineReading reading{zelmor::entry::kDefaultTemplate, {L"yyyy/MM/dd", L":", L"."}};
  const auto read =
      zelmor::worked::ReadSourceLines(zelmor::worked::IndexedLines(test_support::SampleLog(100000, 5)), reading);
  for (int run = 0; run < 3; ++run) {
    zelmor::worked::WorkedIndex index;
    LARGE_INTEGER t = Tick();
    index.Replace(L"a.TXT", read);
    const double first = Milliseconds(t, Tick());
    t = Tick();
    index.Replace(L"a.TXT", read);
    std::printf("worked index merge of 100,000 contacts on the window's thread: %.1f ms into an empty index, "
                "%.1f ms over the same\n", first, Milliseconds(t, Tick()));
  }
}

TEST(WorkedBenchmark, DISABLED_SummaryWithItsMap) {
  const zelmor::worked::LineReading reading{zelmor::entry::kDefaultTemplate, {L"yyyy/MM/dd", L":", L"."}};
  zelmor::worked::WorkedIndex index;
  index.Replace(L"a.TXT",
                zelmor::worked::ReadSourceLines(zelmor::worked::IndexedLines(test_support::SampleLog(100000, 5)), reading));
  // The map's size in the summary at 96 DPI (its dialog units in pixels), and at 192.
  const struct {
    int width, height;
    UINT dpi;
    bool world;
  } views[] = {{430, 343, 96, false}, {860, 686, 192, false}, {860, 686, 192, true}};
  for (const auto& view : views) {
    std::vector<double> took, counting, taking, drawing;
    size_t squares = 0;
    for (int run = 0; run < 11; ++run) {
      const LARGE_INTEGER t = Tick();
      const auto summary = zelmor::worked::Summarize(index);
      const std::wstring text = zelmor::worked::SummaryText(summary);
      const LARGE_INTEGER written = Tick();
      auto on_map = zelmor::worked::SquaresOnMap(summary);
      const LARGE_INTEGER counted = Tick();
      zelmor::worked::GridMap map;
      map.SetClientSize(view.width, view.height);
      squares = on_map.worked.size();
      on_map.own = {zelmor::worked::GridNumber(L"PM95")};
      map.SetSquares(std::move(on_map));
      if (view.world) map.Zoom(0.001, 0, 0);
      const auto picture = zelmor::worked::RenderMap(map, {nullptr, view.dpi});
      GdiFlush();
      const LARGE_INTEGER drawn = Tick();
      took.push_back(Milliseconds(t, drawn));
      counting.push_back(Milliseconds(t, written));
      taking.push_back(Milliseconds(written, counted));
      drawing.push_back(Milliseconds(counted, drawn));
      EXPECT_TRUE(picture && !text.empty());
    }
    for (auto* v : {&took, &counting, &taking, &drawing}) std::sort(v->begin(), v->end());
    std::printf("summary with its map: 100,000 contacts, %zu squares worked, %dx%d at %u DPI%s: median %.1f ms "
                "(the text %.1f, the squares %.1f, the map drawn %.1f), slowest %.1f ms\n",
                squares, view.width, view.height, view.dpi, view.world ? ", the whole world" : "", took[took.size() / 2],
                counting[counting.size() / 2], taking[taking.size() / 2], drawing[drawing.size() / 2], took.back());
  }
}

TEST(WorkedBenchmark, DISABLED_ConfirmationsMatched) {
  const test_support::ConfirmedSample sample = test_support::ConfirmedSampleLog(100000);
  const zelmor::worked::LineReading reading{zelmor::entry::kDefaultTemplate, {L"yyyy/MM/dd", L":", L"."}};
  const auto read = zelmor::worked::ReadSourceLines(sample.lines, reading);
  const zelmor::ComputerTimeZone zone;
  for (int run = 0; run < 3; ++run) {
    zelmor::worked::WorkedIndex index({}, &zone);
    index.Replace(L"a.TXT", read);
    LARGE_INTEGER t = Tick();
    const zelmor::confirmations::KeptFile kept = zelmor::confirmations::ReadKept(sample.kept);
    const double reading_ms = Milliseconds(t, Tick());
    t = Tick();
    index.SetConfirmations(kept.confirmations);
    const double matching_ms = Milliseconds(t, Tick());
    t = Tick();
    const size_t matching = index.MatchingContacts(kept.confirmations);
    std::printf("worked confirmations: %zu read in %.1f ms, matched against %zu contacts in %.1f ms on the window's "
                "thread (%zu confirmed); counted for a report in %.1f ms\n",
                kept.confirmations.size(), reading_ms, index.Contacts(), matching_ms, index.ConfirmedContacts(),
                Milliseconds(t, Tick()));
    EXPECT_EQ(matching, sample.confirmations);
  }
}

}  // namespace
}  // namespace e2e

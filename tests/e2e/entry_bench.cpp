// Benchmark, not a test (disabled; scripts/bench.sh runs it): the time from Enter to the safety
// copy on disk with 1,000, 10,000 and 100,000 lines in the log pane, for each tracking program
// (CSATmate, SatPC32, Orbitron, each served by tracker-sim), against two floors measured in the
// same run:
//   (a) the program's DDE requests of one entry (five for CSATmate, one for the others) to the
//       same simulator and the replacement of a file with the same bytes, from this small program;
//   (b) that plus the log pane's own append: a bare EDIT control of this program, made with the
//       pane's styles, font and size under Zelmor.exe's manifest (so the same EDIT answers),
//       holding the same text and appending the same line through the same code.
// Two entries are timed after each load of the log: the first (the copy learns the loaded pane)
// and the next (the usual case while operating). Below it, the same Enter with the worked-before
// hint on screen and without (scripts/bench.sh entry runs both).

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/atomic_file_win.h"
#include "base/codepage_win.h"
#include "base/resource.h"
#include "entry/dde_feed_links_win.h"
#include "entry/log_pane_win.h"
#include "entry_support.h"
#include "harness.h"
#include "window/dpi_win.h"
#include "worked_logs.h"
#include "worked_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

// A top-level window of this program with one EDIT control made like Zelmor's log pane.
class BarePane {
 public:
  explicit BarePane(const Zelmor& app) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ZelmorBenchBarePane";
    RegisterClassW(&wc);
    const RECT pane = ChildRect(app.pane());
    const RECT outer = WindowRectOf(app.window());
    frame_.reset(CreateWindowExW(0, wc.lpszClassName, L"bare pane", WS_OVERLAPPED | WS_VISIBLE, outer.right + 10,
                                 outer.top, pane.right - pane.left + 40, pane.bottom - pane.top + 80, nullptr,
                                 nullptr, wc.hInstance, nullptr));
    // Zelmor.exe's manifest asks for the common controls 6, whose EDIT differs from user32's.
    ACTCTXW manifest{};
    manifest.cbSize = sizeof(manifest);
    manifest.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    const std::wstring exe = BuildFolder() + L"\\Zelmor.exe";
    manifest.lpSource = exe.c_str();
    manifest.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    HANDLE context = CreateActCtxW(&manifest);
    ULONG_PTR cookie = 0;
    if (context != INVALID_HANDLE_VALUE) ActivateActCtx(context, &cookie);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(app.pane(), GWL_STYLE));
    const DWORD ex_style = static_cast<DWORD>(GetWindowLongPtrW(app.pane(), GWL_EXSTYLE));
    edit_ = CreateWindowExW(ex_style, L"EDIT", L"", style, 10, 10, pane.right - pane.left, pane.bottom - pane.top,
                            frame_.get(), nullptr, wc.hInstance, nullptr);
    if (context != INVALID_HANDLE_VALUE) {
      DeactivateActCtx(0, cookie);
      ReleaseActCtx(context);
    }
    // The pane's font as the main window makes it.
    zelmor::window::FontSpec look{ZelmorText(IDS_FONT_GOTHIC), 12.0};
    look.pitch_and_family = FIXED_PITCH | FF_MODERN;
    font_ = zelmor::window::MakeFont(look, static_cast<UINT>(DpiOf(app.window())));
    SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
    pane_.set_window(edit_);
    Pump();
  }
  bool made() const { return edit_ != nullptr; }
  // The module whose EDIT this is: comctl32's when the manifest took effect.
  std::wstring Module() const {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(GetClassLongPtrW(edit_, GCLP_WNDPROC)), &module);
    wchar_t name[MAX_PATH] = L"";
    GetModuleFileNameW(module, name, MAX_PATH);
    return name;
  }

  void Load(const std::wstring& text) {
    pane_.SetText(text);
    Pump();
  }
  // Milliseconds of one append as the entry makes it (the line added, the caret to the end), and
  // until the control is repainted.
  std::pair<double, double> Append(const std::wstring& line) {
    const LARGE_INTEGER start = Tick();
    pane_.Append(line);
    pane_.CaretToEnd();
    const double took = Milliseconds(start, Tick());
    Pump();
    return {took, Milliseconds(start, Tick())};
  }
  size_t Length() { return pane_.Length(); }

 private:
  // Paints and notices done before the next measurement, as in Zelmor's own message loop.
  void Pump() {
    RedrawWindow(frame_.get(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }

  zelmor::base::UniqueFont font_;
  zelmor::base::UniqueHwnd frame_;  // after the font: the control goes before its font
  HWND edit_ = nullptr;
  zelmor::entry::EditLogPane pane_;
};

// An operator's Enter comes after a pause, and the tracking program, the disk and the caches have
// cooled down by then: each measurement, the floors' too, follows the same pause, so that none of
// them is the warm one for coming right after another.
constexpr DWORD kPauseMs = 200;

struct Times {
  std::vector<double> entry, send, floor_a, pane;
  std::vector<double> entry_painted, pane_painted;
};

void PrintRow(int lines, const char* which, const Times& t) {
  std::vector<double> floor_b, floor_b_painted;
  for (size_t i = 0; i < t.floor_a.size(); ++i) {
    floor_b.push_back(t.floor_a[i] + t.pane[i]);
    floor_b_painted.push_back(t.floor_a[i] + t.pane_painted[i]);
  }
  const double entry = Median(t.entry);
  const double b = Median(floor_b);
  std::printf("%8d  %-12s %12.1f %6.2f %9.1f %7.1f %9.1f %9.2f %10.1f %9.1f\n", lines, which, entry, Median(t.send),
              Median(t.floor_a), Median(t.pane), b, entry / b, Median(t.entry_painted), Median(floor_b_painted));
  std::fflush(stdout);
}

// One tracking program: its simulator, and the links of an entry's requests (one per request).
struct Program {
  const char* name;
  const OtherTracker* other;  // null: CSATmate
  const wchar_t* text;        // what the other program serves
  std::vector<std::array<std::wstring, 3>> links;  // service, topic, item
};

void EnterToSafetyCopy(const Program& program) {
  const zelmor::entry::FeedSnapshot served{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  TempFolder folder;
  std::unique_ptr<TrackerSim> tracker =
      program.other ? StartTracker(*program.other, folder.File(L"text.txt"), program.text)
                    : std::make_unique<TrackerSim>(ServedValues(folder, served), folder.path());
  ASSERT_TRUE(tracker->ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const HWND pane = app.pane();
  HWND box = app.entry_box();

  // The floor's own links to the same simulator.
  zelmor::entry::DdeFeedLinks links;
  const int requests = static_cast<int>(program.links.size());
  for (int label = 0; label < requests; ++label) {
    const auto& [service, topic, item] = program.links[static_cast<size_t>(label)];
    ASSERT_TRUE(links.Open(label, service, topic, item));
  }
  BarePane bare(app);
  ASSERT_TRUE(bare.made());
  std::printf("bare pane: the EDIT of %s\n", Ansi(bare.Module()).c_str());

  // Floor (a) for the copy Zelmor has just written: the same requests and the same bytes.
  const auto floor_a = [&](const std::string& bytes) {
    const LARGE_INTEGER start = Tick();
    for (int label = 0; label < requests; ++label) {
      std::wstring value;
      if (!links.Request(label, value)) return -1.0;
    }
    if (zelmor::base::ReplaceFileContent(folder.File(L"floor.txt"), bytes) != ERROR_SUCCESS) return -1.0;
    return Milliseconds(start, Tick());
  };

  // The floor replaces a file that exists, as Zelmor's copy does after its first entry.
  WriteBytes(folder.File(L"floor.txt"), "");
  const std::wstring line =
      L"2026/12/7 21:05J CQ 599 移動運用 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640\r\n";
  std::printf("%s: Enter -> safety copy on disk, medians (ms); send: a message sent to Zelmor and answered,\n"
              "part of every Enter timed here and of neither floor; floor a: %d DDE request(s) + the file replaced;\n"
              "pane: a bare EDIT appending the same line; floor b: a + pane; then both until repainted\n",
              program.name, requests);
  std::printf("%8s  %-12s %12s %6s %9s %7s %9s %9s %10s %9s\n", "lines", "Enter", "Enter->copy", "send", "floor a",
              "pane", "floor b", "x floor b", "->painted", "b painted");
  // Loading 100,000 lines takes seconds, in Zelmor and in the bare pane alike: fewer runs there.
  // The flush to disk varies most from one write to the next: more runs where they are cheap.
  const struct {
    int lines, runs;
  } sizes[] = {{1000, 21}, {10000, 21}, {100000, 7}};
  for (const auto [lines, runs] : sizes) {
    std::wstring text;
    text.reserve(line.size() * static_cast<size_t>(lines));
    for (int i = 0; i < lines; ++i) text += line;
    const std::wstring preload = folder.File(L"preload.txt");
    WriteBytes(preload, Ansi(text));

    Times first, next;
    for (int run = 0; run < runs; ++run) {
      ASSERT_TRUE(Preload(app, preload));
      ASSERT_EQ(Ask(pane, WM_GETTEXTLENGTH), text.size());
      bare.Load(text);
      ASSERT_EQ(bare.Length(), text.size());

      std::wstring pane_text = text;
      for (Times* times : {&first, &next}) {
        ASSERT_TRUE(Quiet(app));
        Sleep(kPauseMs);
        const LARGE_INTEGER sent = Tick();
        ASSERT_TRUE(Settle(app.window()));
        times->send.push_back(Milliseconds(sent, Tick()));
        const LARGE_INTEGER start = Tick();
        ASSERT_TRUE(SendEnter(box, 120000));
        times->entry.push_back(Milliseconds(start, Tick()));
        times->entry_painted.push_back(UntilRepainted(app, start));
        ASSERT_TRUE(Quiet(app));
        const std::string copy = app.SafetyCopy();
        // The copy is the pane's text and one CR LF: this Enter's copy holds one line more than the
        // pane had (the copy is replaced as a running Zelmor replaces it, over the previous one).
        const std::string known = Ansi(pane_text);
        const size_t line_end = copy.find("\r\n", known.size());
        ASSERT_TRUE(copy.compare(0, known.size(), known) == 0 && line_end != std::string::npos &&
                    copy.size() == line_end + 4 && copy.compare(line_end, 4, "\r\n\r\n") == 0)
            << "no safety copy of this Enter at " << lines << " lines";
        const std::wstring appended = FromAnsi(copy.substr(known.size(), line_end + 2 - known.size()));
        pane_text += appended;
        Sleep(kPauseMs);
        times->floor_a.push_back(floor_a(copy));
        ASSERT_GE(times->floor_a.back(), 0) << "the floor's requests or file replacement failed";
        Sleep(kPauseMs);
        const auto [pane_time, pane_painted] = bare.Append(appended);
        times->pane.push_back(pane_time);
        times->pane_painted.push_back(pane_painted);
      }
    }
    PrintRow(lines, "after a load", first);
    PrintRow(lines, "next", next);
  }
  for (int label = 0; label < requests; ++label) links.Close(label);

  // Leave without the close question.
  app.process().Kill();
}

// An Enter with the worked-before hint on screen against the same Enter with the hint turned off
// ("Hints=0"), two Zelmors side by side beside one tracking-program simulator, each with 10,000
// lines in its pane and a log folder of 10,000 contacts, entered in turns after the same pause:
// from Enter to the safety copy on disk, until the window is repainted, and (hint on) until the
// hint has gone.
constexpr int kHintRuns = 21;

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
  for (int run = 0; run < kHintRuns; ++run) {
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
              kHintRuns);
  std::printf("%-16s %12s %10s %10s\n", "", "Enter->copy", "->painted", "hint gone");
  std::printf("%-16s %12.1f %10.1f %10.1f\n", "hint on screen", Median(with.entry), Median(with.painted),
              Median(with.hint_gone));
  std::printf("%-16s %12.1f %10.1f %10s\n", "Hints=0", Median(without.entry), Median(without.painted), "-");
  std::fflush(stdout);
  on.process().Kill();
  off.process().Kill();
}

TEST(EntryBenchmark, DISABLED_EnterToSafetyCopy) {
  Program csatmate{"CSATmate", nullptr, nullptr, {}};
  for (int label = 0; label < zelmor::entry::kFeedLabelCount; ++label) {
    csatmate.links.push_back({zelmor::entry::kFeedService, zelmor::entry::kFeedTopic, zelmor::entry::FeedItem(label)});
  }
  EnterToSafetyCopy(csatmate);
}

TEST(EntryBenchmark, DISABLED_EnterToSafetyCopySatPc32) {
  EnterToSafetyCopy({"SatPC32", &kSatPc32, L"SNRS-44 AZ56,7 EL6,8 UP145964880 UMLSB DN435640120 DMUSB MA52,6",
                     {{L"SatPC32", L"SatPcDdeConv", L"SatPcDdeItem"}}});
}

TEST(EntryBenchmark, DISABLED_EnterToSafetyCopyOrbitron) {
  EnterToSafetyCopy({"Orbitron", &kOrbitron,
                     L"SN\"RS-44\" AZ56.7 EL6.8 RA1234.5 RR-2.345 LO139.7 LA35.7 AL820.3 DN435640120 UP145964880 "
                     L"DMUSB UMLSB TU20240305120000",
                     {{L"Orbitron", L"Tracking", L"TrackingDataEx"}}});
}

}  // namespace
}  // namespace e2e

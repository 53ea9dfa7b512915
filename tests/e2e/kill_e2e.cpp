// Zelmor killed outright (SIGKILL to its Wine process, as a crash or a power cut would end it) at
// random moments while it makes entries and saves the log, again and again in one folder so that
// what each kill leaves is what the next start finds. After every kill the safety copy must be
// one whole version of the log, a saved log the old or the new whole file, and the next start
// must offer the copy back.
//
// ZELMOR_KILLS sets the number of kills (100 when unset); ZELMOR_KILL_SEED replays a run.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "base/handles_win.h"
#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

const wchar_t kSavedLog[] = L"saved.txt";
const std::string kCrLf = "\r\n";

const FeedSnapshot kServed{L"FO-29 ふじ", L"435.640.120", L"145.964.880", L"21847", L"USB"};

// A new tracker now and then: every start of Zelmor opens five conversations that its kill never
// closes, and the simulator keeps a window for each.
constexpr int kCyclesPerTracker = 50;
// The kill comes this long after the work was handed over: a fixed range, wide enough to land
// before, inside and after a burst of entries or a save on any machine; the figures printed at the
// end show where the kills landed.
constexpr int kMaxKillDelayMs = 300;
constexpr int kShortKillDelayMs = 40;

int EnvironmentNumber(const wchar_t* name, int fallback) {
  wchar_t text[32] = {};
  const DWORD n = GetEnvironmentVariableW(name, text, 32);
  if (n == 0 || n >= 32) return fallback;
  try {
    return std::stoi(text);
  } catch (...) {
    return fallback;
  }
}

std::wstring Memo(int number) {
  wchar_t text[16];
  swprintf(text, 16, L"K%05d", number);
  return text;
}

LocalTime ToLocalTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

// Every minute from `from` to `to`: a line carries hours and minutes only.
std::vector<LocalTime> MinutesBetween(const SYSTEMTIME& from, const SYSTEMTIME& to) {
  std::vector<LocalTime> minutes;
  FILETIME f{}, t{};
  SystemTimeToFileTime(&from, &f);
  SystemTimeToFileTime(&to, &t);
  ULARGE_INTEGER at{{f.dwLowDateTime, f.dwHighDateTime}};
  const ULARGE_INTEGER end{{t.dwLowDateTime, t.dwHighDateTime}};
  for (;; at.QuadPart += 60ull * 10000000ull) {
    if (at.QuadPart > end.QuadPart) at = end;
    FILETIME ft{at.LowPart, at.HighPart};
    SYSTEMTIME st{};
    FileTimeToSystemTime(&ft, &st);
    minutes.push_back(ToLocalTime(st));
    if (at.QuadPart == end.QuadPart) break;
  }
  return minutes;
}

// The work of one run of Zelmor: the memos handed to it in order and the stretch of time their
// lines may carry.
struct Work {
  std::vector<std::wstring> memos;
  SYSTEMTIME from{}, to{};

  // The lines `memos[i]` may have become, in the bytes the files hold.
  std::set<std::string> LinesFor(size_t i) const {
    std::set<std::string> lines;
    for (const LocalTime& at : MinutesBetween(from, to)) lines.insert(Ansi(ComposedLine(kServed, memos[i], at)));
    return lines;
  }
};

// A log file read against the content it started from: `entries` new whole lines followed it,
// then the writer's final CR LF (`closed`), or nothing at all.
struct Reading {
  bool whole = false;
  size_t entries = 0;
  bool closed = false;
  std::string fault;
};

Reading Read(const std::string& bytes, const std::string& start, const Work& work) {
  Reading r;
  if (bytes.compare(0, start.size(), start) != 0) {
    r.fault = "does not begin with the log it started from";
    return r;
  }
  const std::string rest = bytes.substr(start.size());
  size_t at = 0;
  while (at < rest.size()) {
    const size_t end = rest.find(kCrLf, at);
    if (end == std::string::npos) {
      r.fault = "ends in the middle of a line";
      return r;
    }
    const std::string line = rest.substr(at, end - at);
    at = end + kCrLf.size();
    if (line.empty()) {
      if (at != rest.size()) {
        r.fault = "an empty line among the new entries";
        return r;
      }
      r.closed = true;
      break;
    }
    if (r.entries >= work.memos.size()) {
      r.fault = "more lines than entries were made";
      return r;
    }
    if (work.LinesFor(r.entries).count(line) == 0) {
      r.fault = "line " + std::to_string(r.entries + 1) + " is not the entry " + Ansi(work.memos[r.entries]) +
                ": " + line;
      return r;
    }
    ++r.entries;
  }
  if (r.entries > 0 && !r.closed) {
    r.fault = "the final CR LF is missing";
    return r;
  }
  r.whole = true;
  return r;
}

std::vector<std::wstring> FilesLike(const TempFolder& folder, const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW found{};
  const zelmor::base::UniqueFind search(FindFirstFileW(folder.File(pattern).c_str(), &found));
  if (!search) return names;
  do {
    names.push_back(found.cFileName);
  } while (FindNextFileW(search.get(), &found));
  return names;
}

struct Figures {
  int kills = 0, offered = 0, refused = 0, entries_posted = 0, entries_landed = 0, kills_mid_burst = 0,
      saves = 0, saves_landed = 0, saves_cut = 0, copy_writes_cut = 0, save_writes_cut = 0, settings_writes_cut = 0;
  long long kill_command_ms = 0;
};

TEST(KillE2E, RandomKillsNeverCutTheSafetyCopyOrASavedLog) {
  const int kills = EnvironmentNumber(L"ZELMOR_KILLS", 100);
  const unsigned seed = static_cast<unsigned>(EnvironmentNumber(L"ZELMOR_KILL_SEED", 20240611));
  std::printf("[ figure   ] kill run: %d kills, seed %u (ZELMOR_KILL_SEED replays it)\n", kills, seed);
  std::fflush(stdout);
  std::mt19937 random(seed);
  auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
  auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };

  TempFolder folder;
  const std::wstring leaf = LeafName(folder.path());
  const std::wstring serve = ServedValues(folder, kServed);
  std::unique_ptr<TrackerSim> tracker;

  Figures f;
  int memo_number = 0;
  // What the files held when the last kill had been checked; a missing file is an empty string.
  std::string copy;
  std::string saved;
  bool saved_exists = false;
  const auto started = std::chrono::steady_clock::now();

  for (int cycle = 0; cycle <= kills; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle) + " of seed " + std::to_string(seed));
    if (cycle % kCyclesPerTracker == 0) {
      tracker.reset();
      tracker = std::make_unique<TrackerSim>(serve, folder.path());
      ASSERT_TRUE(tracker->ready());
    }
    // Half-written copies of the safety copy or the settings that the last kill left.
    const bool had_leftovers = !FilesLike(folder, L"Zelmor*.zelmor-tmp").empty();

    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    const DWORD pid = app.pid();
    // Found now, so that the kill itself is one quick command.
    const std::vector<int> unix_pids = UnixProcessIds(L"Zelmor.exe", leaf);
    ASSERT_EQ(unix_pids.size(), 1u) << "Zelmor's Unix process not found";

    // The kill left a copy with text in it: the start must offer it back, and only then.
    std::string start;  // the pane as this run begins, in the files' bytes
    if (!copy.empty()) {
      HWND box = app.WaitForMessageBox();
      ASSERT_TRUE(box) << "no recovery question after a kill that left " << copy.size() << " bytes";
      ++f.offered;
      const bool refuse = chance(10);
      // Gone means answered; what the answer does runs before the window takes its next message.
      ASSERT_TRUE(Answer(box, IDS_RECOVERY_QUESTION, refuse ? IDNO : IDYES)) << Utf8(MessageText(box));
      Settle(app.window());
      if (refuse) {
        ++f.refused;
        ASSERT_EQ(app.PaneText(), L"");
        ASSERT_EQ(ReadBytes(folder.File(kSafetyBackup)), copy) << "the refused copy was not kept whole";
        ASSERT_FALSE(FileExists(folder.File(kSafetyCopy)));
        copy.clear();
      } else {
        start = Ansi(app.PaneText());
        ASSERT_EQ(start, copy) << "the pane is not the copy the kill left";
      }
    } else {
      ASSERT_TRUE(NoDialogOpen(app)) << "a question with nothing to recover";
    }
    if (had_leftovers) {
      EXPECT_TRUE(FilesLike(folder, L"Zelmor*.zelmor-tmp").empty())
          << "the start left the half-written files of the last run";
    }
    if (cycle == kills) {
      // The last kill has been checked by this start; a regular close ends the run.
      // Unsaved entries (a recovered log) make it ask first.
      app.RequestClose();
      HWND box = nullptr;
      WaitUntil([&] { return (box = VisibleDialog(pid)) != nullptr || !app.process().Running(); });
      if (box) PressButton(box, IDYES);
      EXPECT_TRUE(app.WaitExit());
      break;
    }

    Work work;
    GetLocalTime(&work.from);
    HWND entry_box = app.entry_box();
    // With no copy on disk, one entry made for certain first: from then on the copy must exist.
    bool made_one = false;
    if (copy.empty() && chance(50)) {
      work.memos.push_back(Memo(++memo_number));
      SendChars(entry_box, work.memos.back());
      ASSERT_TRUE(SendEnter(entry_box));
      made_one = true;
    }
    auto burst = [&](int count) {
      for (int i = 0; i < count; ++i) {
        work.memos.push_back(Memo(++memo_number));
        PostChars(entry_box, work.memos.back() + L"\r");  // Zelmor works through them while the kill comes
      }
    };
    const bool save = chance(40);
    if (save) {
      ++f.saves;
      burst(between(0, 4));
      HWND dialog = ShowFileDialog(app, IDM_LOG_SAVE);
      ASSERT_TRUE(dialog) << "no save dialog";
      const std::wstring name = folder.File(kSavedLog);
      SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
      PressButton(dialog, IDOK);
      burst(between(0, 6));
    } else {
      burst(between(1, 12));
    }
    // A save is written within milliseconds of its OK: half of them get a kill soon after it.
    Sleep(static_cast<DWORD>(between(0, save && chance(50) ? kShortKillDelayMs : kMaxKillDelayMs)));
    const auto kill_sent = std::chrono::steady_clock::now();
    ASSERT_TRUE(SignalUnixProcesses(unix_pids, "KILL"));
    f.kill_command_ms +=
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - kill_sent).count();
    ASSERT_TRUE(app.WaitExit(10000)) << "still running after the kill";
    ++f.kills;
    GetLocalTime(&work.to);
    f.entries_posted += static_cast<int>(work.memos.size());

    // The safety copy: the log this run started from, whole new entries in order, the final CR LF.
    const bool copy_exists = FileExists(folder.File(kSafetyCopy));
    const std::string now_copy = ReadBytes(folder.File(kSafetyCopy));
    if (!copy_exists) {
      ASSERT_TRUE(start.empty() && copy.empty()) << "the safety copy has gone";
      ASSERT_FALSE(made_one) << "no safety copy although an entry was made";
    } else {
      ASSERT_FALSE(now_copy.empty()) << "the safety copy is empty";
      const Reading r = Read(now_copy, start, work);
      ASSERT_TRUE(r.whole) << "the safety copy " << r.fault << "\n--- copy:\n" << now_copy;
      if (r.entries == 0) {
        ASSERT_EQ(now_copy, start) << "a copy without a new entry must be the old one";
      }
      ASSERT_TRUE(!made_one || r.entries >= 1);
      f.entries_landed += static_cast<int>(r.entries);
      if (r.entries < work.memos.size()) ++f.kills_mid_burst;
    }
    copy = now_copy;
    if (!FilesLike(folder, L"Zelmor_temp.txt.*.zelmor-tmp").empty()) ++f.copy_writes_cut;
    if (!FilesLike(folder, L"Zelmor.ini.*.zelmor-tmp").empty()) ++f.settings_writes_cut;

    // The saved log: the one before, or the pane as it stood at an entry boundary and one CR LF.
    const bool saved_now_exists = FileExists(folder.File(kSavedLog));
    const std::string now_saved = ReadBytes(folder.File(kSavedLog));
    if (saved_exists) {
      ASSERT_TRUE(saved_now_exists) << "the saved log has gone";
    }
    if (saved_now_exists && !(saved_exists && now_saved == saved)) {
      ASSERT_TRUE(save) << "the saved log changed without a save";
      const Reading r = Read(now_saved, start, work);
      ASSERT_TRUE(r.whole && r.closed) << "the saved log " << (r.fault.empty() ? "lacks its final CR LF" : r.fault)
                                       << "\n--- saved:\n" << now_saved;
      ++f.saves_landed;
    } else if (save) {
      ++f.saves_cut;
    }
    saved = now_saved;
    saved_exists = saved_now_exists;
    const auto save_leftovers = FilesLike(folder, std::wstring(kSavedLog) + L".*.zelmor-tmp");
    if (!save_leftovers.empty()) ++f.save_writes_cut;
    for (const auto& name : save_leftovers) DeleteFileW(folder.File(name).c_str());
  }

  const long long total_ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
  std::printf(
      "[ figure   ] kills: %d, recoveries offered: %d (refused %d), entries posted: %d, landed in the copy: %d, "
      "kills in the middle of a burst: %d, saves: %d (new file %d, old file kept %d), writes caught half-way: "
      "copy %d, saved log %d, settings %d\n",
      f.kills, f.offered, f.refused, f.entries_posted, f.entries_landed, f.kills_mid_burst, f.saves, f.saves_landed,
      f.saves_cut, f.copy_writes_cut, f.save_writes_cut, f.settings_writes_cut);
  std::printf("[ figure   ] kill run: %lld ms in all, %lld ms a cycle, %lld ms a kill command\n", total_ms,
              total_ms / (kills + 1), f.kills ? f.kill_command_ms / f.kills : 0);
}

}  // namespace
}  // namespace e2e

// Disk faults seen from outside: a full disk, a read-only folder and files held open by another
// program. The safety copy and saved logs keep their previous content whole, no temporary file is
// left behind, a failed save is reported and keeps the log unsaved, and Zelmor goes on as soon as
// the fault is gone.

#include <gtest/gtest.h>

#include "base/resource.h"
#include "entry_support.h"
#include "faults_support.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

using namespace logging_loop;
using namespace faults;

using zelmor::LocalTime;
using zelmor::entry::FeedSnapshot;

const FeedSnapshot kServed{L"AO-91", L"145.960.000", L"435.250.000", L" 31415", L"FM"};
// Room for Zelmor.exe, its settings, logs and a filler file.
constexpr int kDiskKib = 4096;
// Generous bound for one command: the retries on a held file take a moment, a hang takes forever.
constexpr DWORD kNoHang = 30000;

enum class Logged { Composed, ComposedThenFallback };

// `pane` is `before` plus what one entry of `memo` adds: the composed line, followed by the
// fallback line when the safety copy could not be written.
::testing::AssertionResult Added(const std::wstring& pane, const std::wstring& before, const std::wstring& memo,
                                 const Moment& m, Logged logged) {
  std::wstring expected[2];
  int i = 0;
  for (const LocalTime& at : {m.before, m.after}) {
    expected[i] = ComposedLine(kServed, memo, at) + L"\r\n";
    if (logged == Logged::ComposedThenFallback) expected[i] += FallbackAt(memo, at) + L"\r\n";
    if (pane == before + expected[i]) return ::testing::AssertionSuccess();
    ++i;
  }
  const bool kept = pane.compare(0, before.size(), before) == 0;
  return ::testing::AssertionFailure() << (kept ? "added: " + Utf8(pane.substr(before.size()))
                                                : "pane changed before the entry: " + Utf8(pane))
                                       << "\nexpected: " << Utf8(expected[0]) << "\nor: " << Utf8(expected[1]);
}

// LOG Save onto `path`: the dialog takes the name, and the failure message comes with a single OK
// button and is answered.
::testing::AssertionResult SaveFails(Zelmor& app, const std::wstring& path) {
  if (const ::testing::AssertionResult saved = SaveLog(app, path); !saved) {
    return ::testing::AssertionFailure() << "the save dialog did not take the name: " << saved.message();
  }
  HWND box = WaitForAnyDialog(app.pid(), kNoHang);
  if (!box) return ::testing::AssertionFailure() << "no message after a failed save";
  const std::wstring text = MessageText(box);
  const bool only_ok = GetDlgItem(box, IDOK) && !GetDlgItem(box, IDCANCEL) && !GetDlgItem(box, IDYES) &&
                       !GetDlgItem(box, IDNO);
  PressButton(box, IDOK);
  if (!WaitDestroyed(box)) return ::testing::AssertionFailure() << "the message did not go with OK";
  if (text != ZelmorText(IDS_LOG_SAVE_FAILED)) return ::testing::AssertionFailure() << "message: " << Utf8(text);
  if (!only_ok) return ::testing::AssertionFailure() << "the message offers more than OK";
  return ::testing::AssertionSuccess();
}

// The unsaved-log flag as the close consults it: while it is set a close asks, and No keeps the
// window with its log.
::testing::AssertionResult CloseAsksAndStays(Zelmor& app) {
  const std::wstring pane = app.PaneText();
  app.RequestClose();
  if (const ::testing::AssertionResult asked = Answer(WaitForAnyDialog(app.pid()), IDS_CLOSE_QUESTION, IDNO); !asked)
    return ::testing::AssertionFailure() << "no close question, the log passes for saved: " << asked.message();
  Settle(app.window());
  if (!app.process().Running() || app.PaneText() != pane)
    return ::testing::AssertionFailure() << "the window did not stay as it was";
  return ::testing::AssertionSuccess();
}

// An ordinary close, the log saved: no question, no crash, no hang.
::testing::AssertionResult ClosesCleanly(Zelmor& app) {
  app.RequestClose();
  if (::testing::AssertionResult ended = app.WaitExit(kNoHang); !ended) return ended;
  DWORD code = 1;
  GetExitCodeProcess(app.process().process(), &code);
  if (code != 0) return ::testing::AssertionFailure() << "exit code " << code;
  return ::testing::AssertionSuccess();
}

// File contents compared without printing kilobytes of log: the sizes and where they part.
::testing::AssertionResult Same(const std::string& actual, const std::string& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
  return ::testing::AssertionFailure() << actual.size() << " bytes instead of " << expected.size()
                                       << ", parting at byte " << at << ": \"" << actual.substr(at, 40)
                                       << "\" instead of \"" << expected.substr(at, 40) << "\"";
}

std::string Names(const std::vector<std::wstring>& names) {
  std::string all;
  for (const auto& name : names) all += Utf8(name) + " ";
  return all;
}

// The tracking-program simulator serving kServed from a folder of its own, off the test's disk.
class ServingTracker {
 public:
  ServingTracker() : tracker_(ServedValues(folder_, kServed), folder_.path()) {}
  ::testing::AssertionResult ready() const { return tracker_.ready(); }

 private:
  TempFolder folder_;
  TrackerSim tracker_;
};

TEST(FaultsE2E, FullDiskKeepsTheOldFilesAndZelmorGoesOnWhenThereIsRoomAgain) {
  ServingTracker tracker;
  ASSERT_TRUE(tracker.ready());
  TempFolder folder;
  SmallDisk disk(folder, kDiskKib);
  if (!disk.ok()) GTEST_SKIP() << disk.reason();
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring saved = folder.File(L"saved.txt");

  Moment m;
  ASSERT_TRUE(TimedEnter(app, L"JA1AAA 59", m, kNoHang));
  ASSERT_TRUE(Added(app.PaneText(), L"", L"JA1AAA 59", m, Logged::Composed));
  ASSERT_TRUE(SaveLog(app, saved));
  ASSERT_TRUE(NoDialogOpen(app));
  const std::string saved_bytes = ReadBytes(saved);

  // A little room left; long memos make the safety copy grow until a second copy of it (the new
  // one is written beside the old) no longer fits.
  ASSERT_TRUE(disk.Fill(16 * 1024));
  const std::vector<std::wstring> names = FolderNames(folder.path());
  std::wstring pane = app.PaneText();
  std::string copy = app.SafetyCopy();
  bool full = false;
  for (int i = 0; i < 40 && !full; ++i) {
    std::wstring memo = L"JA" + std::to_wstring(i) + L"ZZZ";
    while (memo.size() < 900) memo += L" 59 QSL via bureau";
    ASSERT_TRUE(TimedEnter(app, memo, m, kNoHang)) << "entry " << i;
    const std::wstring now = app.PaneText();
    if (Added(now, pane, memo, m, Logged::Composed)) {
      ASSERT_TRUE(Same(app.SafetyCopy(), Ansi(now + L"\r\n"))) << "entry " << i;
    } else {
      full = true;
      EXPECT_TRUE(Added(now, pane, memo, m, Logged::ComposedThenFallback)) << "entry " << i;
      EXPECT_TRUE(Same(app.SafetyCopy(), copy)) << "the safety copy must keep its previous content whole";
      EXPECT_EQ(app.EntryText(), L"");
    }
    pane = now;
    if (!full) copy = app.SafetyCopy();
  }
  ASSERT_TRUE(full) << "the disk never filled up";

  // Saving onto the older log, or under a new name: reported, nothing replaced or created.
  const std::wstring fresh = folder.File(L"fresh.txt");
  for (const std::wstring& target : {saved, fresh}) {
    EXPECT_TRUE(SaveFails(app, target)) << Utf8(target);
  }
  EXPECT_TRUE(Same(ReadBytes(saved), saved_bytes));
  EXPECT_EQ(Names(FolderNames(folder.path())), Names(names)) << "a temporary file or a cut file is left";
  EXPECT_TRUE(CloseAsksAndStays(app));

  // Room again: the next entry writes the whole pane, fallback lines included, and a save works.
  ASSERT_TRUE(disk.Free());
  pane = app.PaneText();
  ASSERT_TRUE(TimedEnter(app, L"JA2BBB 57", m, kNoHang));
  EXPECT_TRUE(Added(app.PaneText(), pane, L"JA2BBB 57", m, Logged::Composed));
  EXPECT_TRUE(Same(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n")));
  ASSERT_TRUE(SaveLog(app, saved));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_TRUE(Same(ReadBytes(saved), Ansi(app.PaneText() + L"\r\n")));

  // Closing on a full disk: no crash, no hang, and the settings as they were, since a copy of
  // them no longer fits.
  const std::string ini = app.Ini();
  ASSERT_TRUE(disk.Fill(0));
  EXPECT_TRUE(ClosesCleanly(app));
  EXPECT_TRUE(Same(app.Ini(), ini));
  EXPECT_NE(ini.find(IniLine("LOGfol", folder.path())), std::string::npos) << ini;
}

// The settings file is rewritten whole by every write; on a full disk a rewrite that outgrows the
// file's last block used to be cut there, taking the template's end and every later setting.
TEST(FaultsE2E, SettingsThatOutgrowTheirBlockOnAFullDiskStayWhole) {
  TempFolder folder;
  SmallDisk disk(folder, kDiskKib);
  if (!disk.ok()) GTEST_SKIP() << disk.reason();
  {
    Zelmor first(folder);
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(ClosesCleanly(first));
  }
  // A long template brings the settings to a few bytes short of a 4 KiB block; the wider window
  // of the next close makes them outgrow it.
  const std::string written = ReadBytes(folder.File(L"Zelmor.ini"));
  const std::string section = "[Zelmor]\r\n";
  const size_t at = written.find(section);
  ASSERT_NE(at, std::string::npos) << written;
  std::string line = "LOGdat=" + Ansi(L"#DT #TMJ #MM %Sat=#SN/Rev:#RV% #LF #MD 運用地:");
  line += std::string(4094 - written.size() - line.size() - 2, '-') + "\r\n";
  const std::string preset = written.substr(0, at + section.size()) + line + written.substr(at + section.size());
  ASSERT_EQ(preset.size(), 4094u);
  WriteBytes(folder.File(L"Zelmor.ini"), preset);

  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  SetWindowPos(app.window(), nullptr, 1000, 900, 1200, 800, SWP_NOZORDER | SWP_NOACTIVATE);
  Settle(app.window());
  const std::string ini = app.Ini();
  ASSERT_NE(ini.find(line), std::string::npos);
  ASSERT_TRUE(disk.Fill(0));
  const std::vector<std::wstring> names = FolderNames(folder.path());
  EXPECT_TRUE(ClosesCleanly(app));
  EXPECT_TRUE(Same(app.Ini(), ini));
  EXPECT_EQ(Names(FolderNames(folder.path())), Names(names));
}

TEST(FaultsE2E, ReadOnlyFolderKeepsTheOldFilesAndZelmorGoesOnWhenWritableAgain) {
  ServingTracker tracker;
  ASSERT_TRUE(tracker.ready());
  TempFolder folder;
  SmallDisk disk(folder, kDiskKib);
  if (!disk.ok()) GTEST_SKIP() << disk.reason();
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring saved = folder.File(L"saved.txt");

  Moment m;
  ASSERT_TRUE(TimedEnter(app, L"JA1AAA 59", m, kNoHang));
  ASSERT_TRUE(SaveLog(app, saved));
  ASSERT_TRUE(NoDialogOpen(app));
  const std::string saved_bytes = ReadBytes(saved);
  ASSERT_TRUE(TimedEnter(app, L"JA1BBB 55", m, kNoHang));
  const std::wstring pane = app.PaneText();
  const std::string copy = app.SafetyCopy();
  ASSERT_EQ(copy, Ansi(pane + L"\r\n"));
  const std::vector<std::wstring> names = FolderNames(folder.path());

  ASSERT_TRUE(disk.SetReadOnly(true));
  ASSERT_TRUE(TimedEnter(app, L"JA1CCC 57", m, kNoHang));
  EXPECT_TRUE(Added(app.PaneText(), pane, L"JA1CCC 57", m, Logged::ComposedThenFallback));
  EXPECT_TRUE(Same(app.SafetyCopy(), copy));
  EXPECT_EQ(app.EntryText(), L"");
  const std::wstring fresh = folder.File(L"fresh.txt");
  for (const std::wstring& target : {saved, fresh}) {
    EXPECT_TRUE(SaveFails(app, target)) << Utf8(target);
  }
  EXPECT_TRUE(Same(ReadBytes(saved), saved_bytes));
  EXPECT_EQ(Names(FolderNames(folder.path())), Names(names));
  EXPECT_TRUE(CloseAsksAndStays(app));

  ASSERT_TRUE(disk.SetReadOnly(false));
  const std::wstring before = app.PaneText();
  ASSERT_TRUE(TimedEnter(app, L"JA1DDD 59", m, kNoHang));
  EXPECT_TRUE(Added(app.PaneText(), before, L"JA1DDD 59", m, Logged::Composed));
  EXPECT_TRUE(Same(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n")));
  ASSERT_TRUE(SaveLog(app, saved));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_TRUE(Same(ReadBytes(saved), Ansi(app.PaneText() + L"\r\n")));

  // Closing when the settings file cannot be written: no crash, no hang, the file as it was.
  const std::string ini = app.Ini();
  ASSERT_TRUE(disk.SetReadOnly(true));
  EXPECT_TRUE(ClosesCleanly(app));
  EXPECT_TRUE(Same(app.Ini(), ini));
}

// A run that starts in a read-only folder cannot mark itself running in its settings. Once its
// safety copy can be written it must be marked after all, or a crash would leave a copy that the
// next start does not offer back and its first entry overwrites.
TEST(FaultsE2E, RunThatStartedReadOnlyHasItsCopyOfferedBackAfterACrash) {
  TempFolder folder;
  SmallDisk disk(folder, kDiskKib);
  if (!disk.ok()) GTEST_SKIP() << disk.reason();
  {
    Zelmor first(folder);
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(ClosesCleanly(first));
  }
  ASSERT_TRUE(disk.SetReadOnly(true));
  {
    Zelmor crashing(folder);
    ASSERT_TRUE(crashing.Start());
    ASSERT_TRUE(disk.SetReadOnly(false));
    Moment m;
    ASSERT_TRUE(TimedEnter(crashing, L"JA1AAA 59", m, kNoHang));
    ASSERT_TRUE(Same(crashing.SafetyCopy(), Ansi(crashing.PaneText() + L"\r\n")));
    // SIGKILL: nothing of Zelmor's own runs, as in a crash or a power loss.
    ASSERT_EQ(SignalProcesses(L"Zelmor.exe", LeafName(folder.path()), "KILL"), 1);
    ASSERT_TRUE(crashing.WaitExit(kNoHang));
  }
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND box = WaitForAnyDialog(app.pid());
  ASSERT_TRUE(box) << "the copy of the crashed run was not offered back";
  ASSERT_TRUE(Answer(box, IDS_RECOVERY_QUESTION, IDYES));
  EXPECT_NE(app.PaneText().find(L"JA1AAA 59"), std::wstring::npos) << Utf8(app.PaneText());
  EXPECT_TRUE(ClosesAfterQuestion(app));
}

// After a crash the earlier run's copy must outlive this run's first entries even when start-up
// could not deal with it: another program held the copy itself (so it could not be read and
// offered back), or held the backup file (so a No could not set the copy aside). It goes aside as
// soon as the holder lets go, before this run's own copy replaces it.
TEST(FaultsE2E, EarlierRunsCopyThatStartUpCouldNotSetAsideIsNotOverwritten) {
  struct Row {
    const char* what;
    bool copy_held;  // else the backup file is held
  };
  const Row rows[] = {
      {"copy held: nothing can be offered", true},
      {"backup held: No cannot set the copy aside", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    TempFolder folder;
    std::string earlier;
    {
      Zelmor crashed(folder);
      ASSERT_TRUE(crashed.Start());
      Moment m;
      ASSERT_TRUE(TimedEnter(crashed, L"JA1AAA 59 earlier run", m, kNoHang));
      earlier = crashed.SafetyCopy();
      ASSERT_EQ(SignalProcesses(L"Zelmor.exe", LeafName(folder.path()), "KILL"), 1);
      ASSERT_TRUE(crashed.WaitExit(kNoHang));
    }
    WriteBytes(folder.File(kSafetyBackup), "older backup\r\n");
    Zelmor app(folder);
    {
      HeldFile held(folder.File(row.copy_held ? kSafetyCopy : kSafetyBackup));
      ASSERT_TRUE(held.ok());
      ASSERT_TRUE(app.Start());
      if (!row.copy_held) {
        ASSERT_TRUE(Answer(WaitForAnyDialog(app.pid()), IDS_RECOVERY_QUESTION, IDNO));
      }
      EXPECT_TRUE(NoDialogOpen(app));
      Moment m;
      ASSERT_TRUE(TimedEnter(app, L"JA2BBB 57 while held", m, kNoHang));
      EXPECT_TRUE(Same(row.copy_held ? held.Content() : app.SafetyCopy(), earlier));
    }
    Moment m;
    ASSERT_TRUE(TimedEnter(app, L"JA3CCC 55 released", m, kNoHang));
    EXPECT_TRUE(Same(ReadBytes(folder.File(kSafetyBackup)), earlier)) << "the earlier run's copy is lost";
    EXPECT_TRUE(Same(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n")));
    EXPECT_TRUE(ClosesAfterQuestion(app));
  }
}

TEST(FaultsE2E, FilesHeldWithoutSharingKeepTheirContentAndZelmorGoesOnWhenReleased) {
  ServingTracker tracker;
  ASSERT_TRUE(tracker.ready());
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring saved = folder.File(L"saved.txt");

  Moment m;
  ASSERT_TRUE(TimedEnter(app, L"JA1AAA 59", m, kNoHang));
  ASSERT_TRUE(SaveLog(app, saved));
  ASSERT_TRUE(NoDialogOpen(app));
  const std::string saved_bytes = ReadBytes(saved);
  ASSERT_TRUE(TimedEnter(app, L"JA1BBB 55", m, kNoHang));
  const std::wstring pane = app.PaneText();
  const std::string copy = app.SafetyCopy();
  const std::vector<std::wstring> names = FolderNames(folder.path());
  {
    HeldFile held_copy(folder.File(kSafetyCopy));
    ASSERT_TRUE(held_copy.ok());
    ASSERT_TRUE(TimedEnter(app, L"JA1CCC 57", m, kNoHang));
    EXPECT_TRUE(Added(app.PaneText(), pane, L"JA1CCC 57", m, Logged::ComposedThenFallback));
    EXPECT_TRUE(Same(held_copy.Content(), copy));
    EXPECT_EQ(app.EntryText(), L"");

    HeldFile held_log(saved);
    ASSERT_TRUE(held_log.ok());
    EXPECT_TRUE(SaveFails(app, saved));
    EXPECT_TRUE(Same(held_log.Content(), saved_bytes));
    EXPECT_EQ(Names(FolderNames(folder.path())), Names(names));
    EXPECT_TRUE(CloseAsksAndStays(app));
  }

  const std::wstring before = app.PaneText();
  ASSERT_TRUE(TimedEnter(app, L"JA1DDD 59", m, kNoHang));
  EXPECT_TRUE(Added(app.PaneText(), before, L"JA1DDD 59", m, Logged::Composed));
  EXPECT_TRUE(Same(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n")));
  ASSERT_TRUE(SaveLog(app, saved));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_TRUE(Same(ReadBytes(saved), Ansi(app.PaneText() + L"\r\n")));
  EXPECT_TRUE(ClosesCleanly(app));
}

}  // namespace
}  // namespace e2e

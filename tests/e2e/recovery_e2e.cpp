// A run that ends by a kill (as a crash or a power loss would end it) leaves its safety copy; the
// next start offers it back, and a refusal keeps it aside instead of letting the first entry
// overwrite it.

#include <gtest/gtest.h>

#include "base/handles_win.h"
#include "base/resource.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

void Entry(Zelmor& app, const std::wstring& memo) {
  SendChars(app.entry_box(), memo);
  ASSERT_TRUE(SendEnter(app.entry_box()));
}

// SIGKILL to the Wine process: no unload sequence, no flush, nothing of ours runs.
void KillHard(Zelmor& app, const TempFolder& folder) {
  ASSERT_EQ(SignalProcesses(L"Zelmor.exe", LeafName(folder.path()), "KILL"), 1);
  ASSERT_TRUE(app.WaitExit(10000));
}

TEST(RecoveryE2E, KilledRunIsOfferedBackAndYesLoadsItAsUnsaved) {
  TempFolder folder;
  std::string copy;
  {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    Entry(app, L"JA1AAA 599");
    Entry(app, L"JA1BBB 579");
    copy = app.SafetyCopy();
    ASSERT_EQ(copy, Ansi(app.PaneText() + L"\r\n"));
    KillHard(app, folder);
  }
  EXPECT_EQ(ReadBytes(folder.File(kSafetyCopy)), copy);

  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_RECOVERY_QUESTION, IDYES));
  ASSERT_TRUE(WaitUntil([&] { return !app.PaneText().empty(); }));
  // Loaded as the viewer reads it: the file's last CR LF gives one empty line more.
  EXPECT_EQ(Ansi(app.PaneText()), copy);
  EXPECT_FALSE(FileExists(folder.File(kSafetyBackup)));

  // Those entries were never saved, so closing asks.
  ASSERT_TRUE(ClosesAfterQuestion(app));

  // A regular close leaves nothing to recover.
  Zelmor again(folder);
  ASSERT_TRUE(again.Start());
  EXPECT_TRUE(NoDialogOpen(again));
  EXPECT_EQ(again.PaneText(), L"");
}

TEST(RecoveryE2E, NoKeepsTheOldCopyAsBackupAndTheNextEntryStartsAFreshOne) {
  TempFolder folder;
  std::string copy;
  {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    Entry(app, L"JA1AAA 599");
    copy = app.SafetyCopy();
    KillHard(app, folder);
  }
  // A write the kill cut short leaves its temporary file; start-up clears it away.
  WriteBytes(folder.File(L"Zelmor_temp.txt.1234-7.zelmor-tmp"), "cut sho");

  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_RECOVERY_QUESTION, IDNO));
  Settle(app.window());
  EXPECT_EQ(app.PaneText(), L"");
  EXPECT_EQ(ReadBytes(folder.File(kSafetyBackup)), copy);
  EXPECT_FALSE(FileExists(folder.File(L"Zelmor_temp.txt.1234-7.zelmor-tmp")));

  Entry(app, L"JA1CCC 559");
  EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
  EXPECT_EQ(ReadBytes(folder.File(kSafetyBackup)), copy);
}

TEST(RecoveryE2E, KillBeforeAnyEntryOffersNothing) {
  TempFolder folder;
  {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    KillHard(app, folder);
  }
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(NoDialogOpen(app));
  Entry(app, L"JA1DDD");
  EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
}

// Every crashed run answered "No" keeps its log: the newest under the plain name, each earlier one
// under the date it was moved aside.
TEST(RecoveryE2E, TwoCrashesAnsweredNoKeepBothLogs) {
  TempFolder folder;
  std::string copies[2];
  for (int run = 0; run < 3; ++run) {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    if (run > 0) ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_RECOVERY_QUESTION, IDNO)) << "run " << run;
    if (run == 2) break;
    Entry(app, run == 0 ? L"JA1AAA first run" : L"JA1BBB second run");
    copies[run] = app.SafetyCopy();
    KillHard(app, folder);
  }
  EXPECT_EQ(ReadBytes(folder.File(kSafetyBackup)), copies[1]);
  WIN32_FIND_DATAW found{};
  const zelmor::base::UniqueFind search(FindFirstFileW(folder.File(L"Zelmor_temp-*.bak").c_str(), &found));
  ASSERT_TRUE(search) << "the first crashed run's log is gone";
  const std::wstring dated = found.cFileName;
  EXPECT_FALSE(FindNextFileW(search.get(), &found)) << "one dated copy";
  EXPECT_EQ(ReadBytes(folder.File(dated)), copies[0]);
  // Zelmor_temp-yyyyMMdd-hhmm.bak
  EXPECT_EQ(dated.size(), std::wstring(L"Zelmor_temp-20261207-1449.bak").size()) << Utf8(dated);
}

}  // namespace
}  // namespace e2e

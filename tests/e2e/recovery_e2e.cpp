// A run that ends by a kill (as a crash or a power loss would end it) leaves its safety copy; the
// next start offers it back, and a refusal keeps it aside instead of letting the first entry
// overwrite it.

#include <gtest/gtest.h>

#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "unix_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

const wchar_t kTempLog[] = L"Zelmor_temp.txt";
const wchar_t kBackup[] = L"Zelmor_temp.bak";
const wchar_t kRecoveryQuestion[] = L"前回のLOGデータが保存されていません。\r\n非常用LOGを読み込みますか？";
const wchar_t kCloseQuestion[] = L"LOGデータが未保存ですが\r\n終了してよろしいですか？";

std::wstring Pane(const Zelmor& app) { return TextOf(app.control(IDC_LOG_PANE)); }

void Entry(Zelmor& app, const std::wstring& memo) {
  HWND box = app.control(IDC_ENTRY_BOX);
  SendChars(box, memo);
  ASSERT_TRUE(SendEnter(box));
}

// SIGKILL to the Wine process: no unload sequence, no flush, nothing of ours runs.
void KillHard(Zelmor& app, const TempFolder& folder) {
  ASSERT_EQ(SignalProcesses(L"Zelmor.exe", LeafName(folder.path()), "KILL"), 1);
  ASSERT_TRUE(app.WaitExit(10000));
}

HWND RecoveryQuestion(Zelmor& app) {
  HWND box = WaitForDialog(app.process().pid(), L"Zelmor");
  if (box) {
    EXPECT_EQ(MessageText(box), kRecoveryQuestion);
  }
  return box;
}

TEST(RecoveryE2E, KilledRunIsOfferedBackAndYesLoadsItAsUnsaved) {
  TempFolder folder;
  std::string copy;
  {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    Entry(app, L"JA1AAA 599");
    Entry(app, L"JA1BBB 579");
    copy = ReadBytes(folder.File(kTempLog));
    ASSERT_EQ(copy, Ansi(Pane(app) + L"\r\n"));
    KillHard(app, folder);
  }
  EXPECT_EQ(ReadBytes(folder.File(kTempLog)), copy);

  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND box = RecoveryQuestion(app);
  ASSERT_TRUE(box);
  PressButton(box, IDYES);
  ASSERT_TRUE(WaitForWindow([&] { return Pane(app).empty() ? nullptr : app.window(); }));
  // Loaded as the viewer reads it: the file's last CR LF gives one empty line more.
  EXPECT_EQ(Ansi(Pane(app)), copy);
  EXPECT_FALSE(FileExists(folder.File(kBackup)));

  // Those entries were never saved, so closing asks.
  app.RequestClose();
  box = WaitForDialog(app.process().pid(), L"Zelmor");
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageText(box), kCloseQuestion);
  PressButton(box, IDYES);
  ASSERT_TRUE(app.WaitExit());

  // A regular close leaves nothing to recover.
  Zelmor again(folder);
  ASSERT_TRUE(again.Start());
  Settle(again.window());
  EXPECT_EQ(FindProcessWindow(again.process().pid(), L"#32770"), nullptr);
  EXPECT_EQ(Pane(again), L"");
}

TEST(RecoveryE2E, NoKeepsTheOldCopyAsBackupAndTheNextEntryStartsAFreshOne) {
  TempFolder folder;
  std::string copy;
  {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    Entry(app, L"JA1AAA 599");
    copy = ReadBytes(folder.File(kTempLog));
    KillHard(app, folder);
  }
  // A write the kill cut short leaves its temporary file; start-up clears it away.
  WriteBytes(folder.File(L"Zelmor_temp.txt.1234-7.zelmor-tmp"), "cut sho");

  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND box = RecoveryQuestion(app);
  ASSERT_TRUE(box);
  PressButton(box, IDNO);
  Settle(app.window());
  EXPECT_EQ(Pane(app), L"");
  EXPECT_EQ(ReadBytes(folder.File(kBackup)), copy);
  EXPECT_FALSE(FileExists(folder.File(L"Zelmor_temp.txt.1234-7.zelmor-tmp")));

  Entry(app, L"JA1CCC 559");
  EXPECT_EQ(ReadBytes(folder.File(kTempLog)), Ansi(Pane(app) + L"\r\n"));
  EXPECT_EQ(ReadBytes(folder.File(kBackup)), copy);
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
  Settle(app.window());
  EXPECT_EQ(FindProcessWindow(app.process().pid(), L"#32770"), nullptr);
  Entry(app, L"JA1DDD");
  EXPECT_EQ(ReadBytes(folder.File(kTempLog)), Ansi(Pane(app) + L"\r\n"));
}

// Every crashed run answered "No" keeps its log: the newest under the plain name, each earlier one
// under the date it was moved aside.
TEST(RecoveryE2E, TwoCrashesAnsweredNoKeepBothLogs) {
  TempFolder folder;
  std::string copies[2];
  for (int run = 0; run < 3; ++run) {
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    if (run > 0) {
      HWND box = RecoveryQuestion(app);
      ASSERT_TRUE(box);
      PressButton(box, IDNO);
      Settle(app.window());
    }
    if (run == 2) break;
    Entry(app, run == 0 ? L"JA1AAA first run" : L"JA1BBB second run");
    copies[run] = ReadBytes(folder.File(kTempLog));
    KillHard(app, folder);
  }
  EXPECT_EQ(ReadBytes(folder.File(kBackup)), copies[1]);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(folder.File(L"Zelmor_temp-*.bak").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE) << "the first crashed run's log is gone";
  const std::wstring dated = found.cFileName;
  EXPECT_FALSE(FindNextFileW(search, &found)) << "one dated copy";
  FindClose(search);
  EXPECT_EQ(ReadBytes(folder.File(dated)), copies[0]);
  // Zelmor_temp-yyyyMMdd-hhmm.bak
  EXPECT_EQ(dated.size(), std::wstring(L"Zelmor_temp-20261207-1449.bak").size()) << Ansi(dated);
}

}  // namespace
}  // namespace e2e

// The log folder read off the window's thread into the worked-before index: real files in the
// ANSI code page, the folder's changes, the pane handed over, and stopping on a folder that is not
// there or a drive that does not answer.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "base/codepage_win.h"
#include "base/handles_win.h"
#include "confirmations/lotw_report.h"
#include "files_win.h"
#include "settings/keys.h"
#include "worked/worked_log_win.h"
#include "lotw_answers.h"
#include "worked_logs.h"

namespace zelmor::worked {
namespace {

using test_support::At;
using test_support::LoggedLine;
using test_support::TempFolder;

// Runs this thread's messages, as the main window's loop does, until `done` holds; false when
// `ms` passed first.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

// Counts the keeper's news.
struct Listener : WorkedLogListener {
  int changes = 0;
  void WorkedIndexChanged() override { ++changes; }
};

void WriteLog(const std::wstring& path, const std::wstring& text) {
  test_support::WriteBytes(path, base::ToAnsi(text));
}

// Changes are seen by the folder's watch; a rescan comes only after `rescan_ms`.
LogFolderWatcher::Settings In(const std::wstring& folder, DWORD rescan_ms = 60000) {
  LogFolderWatcher::Settings settings;
  settings.folder = folder;
  settings.reading = LineReading{entry::kDefaultTemplate, contact::LineFormats{L"yyyy/MM/dd", L":", L"."}};
  settings.skipped = {L"Zelmor_temp.txt"};
  settings.retry_ms = 200;
  settings.rescan_ms = rescan_ms;
  return settings;
}

size_t Worked(const WorkedLogKeeper& keeper, const std::wstring& call) {
  return keeper.log().index().LookUpCall(call, std::nullopt, At(2027, 1, 1, 0, 0), 0).contacts;
}

TEST(WorkedFolderTest, IndexAppearsAndFollowsTheFolder) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page (run with LC_ALL=ja_JP.UTF-8)";
  TempFolder folder;
  WriteLog(folder.File(L"Zelmor261201.TXT"),
           LoggedLine(L"JA1ABC 59 59 PM95 ありがとう", L"RS-44", At(2026, 12, 1, 10, 14)) + L"\r\n" +
               LoggedLine(L"JA2XYZ 59 59", L"ＳＯ－５０", At(2026, 12, 1, 10, 20)) + L"\r\n\r\n");
  WriteLog(folder.File(L"古いログ.txt"), LoggedLine(L"JA3OLD", L"ISS", At(2025, 1, 1, 0, 0)) + L"\r\nメモ\r\n");
  WriteLog(folder.File(L"Zelmor_temp.txt"), LoggedLine(L"JA9TMP", L"ISS", At(2025, 1, 1, 0, 0)) + L"\r\n");
  WriteLog(folder.File(L"notes.log"), LoggedLine(L"JA8LOG", L"ISS", At(2025, 1, 1, 0, 0)) + L"\r\n");

  Listener listener;
  WorkedLogKeeper keeper(&listener);
  keeper.Watch(In(folder.path()));
  ASSERT_TRUE(PumpUntil([&] { return keeper.log().folder_read(); }));
  EXPECT_GT(listener.changes, 0);
  const WorkedIndex& index = keeper.log().index();
  EXPECT_EQ(index.Contacts(), 3u);
  EXPECT_EQ(index.UnreadableLines(), 1u) << "メモ";
  EXPECT_EQ(Worked(keeper, L"JA9TMP"), 0u) << "the safety copy is the pane's";
  EXPECT_EQ(Worked(keeper, L"JA8LOG"), 0u) << "only *.TXT are logs";
  EXPECT_EQ(index.LookUpCall(L"JA2XYZ", L"SO-50", At(2026, 12, 1, 10, 30), 30).same_pass.has_value(), true)
      << "a full-width satellite name from Shift-JIS";

  WriteLog(folder.File(L"Zelmor261202.TXT"), LoggedLine(L"JA4NEW 59 59 QM06", L"RS-44", At(2026, 12, 2, 9, 0)) + L"\r\n");
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA4NEW") == 1; })) << "a file added later";
  EXPECT_TRUE(index.LookUpGrid(L"QM06", L"RS-44").worked_on_satellite);

  WriteLog(folder.File(L"Zelmor261201.TXT"), LoggedLine(L"JA2XYZ 59 59", L"SO-50", At(2026, 12, 1, 10, 20)) + L"\r\n");
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA1ABC") == 0; })) << "a file written again";
  EXPECT_EQ(Worked(keeper, L"JA2XYZ"), 1u);

  ASSERT_TRUE(DeleteFileW(folder.File(L"古いログ.txt").c_str()));
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA3OLD") == 0; })) << "a file removed";
  EXPECT_EQ(index.UnreadableLines(), 0u);
  EXPECT_TRUE(keeper.Stop());
}

TEST(WorkedFolderTest, PaneReadOffTheThreadKeepsTheLinesEnteredMeanwhile) {
  TempFolder folder;
  WorkedLogKeeper keeper;
  keeper.Watch(In(folder.path()));
  keeper.LineAdded(LoggedLine(L"JA7OLD", L"RS-44", At(2026, 12, 1, 9, 0)));
  keeper.PaneReplaced(test_support::SampleLog(20000, 3));
  const std::wstring entered = LoggedLine(L"JA1NOW 59 59", L"RS-44", At(2026, 12, 7, 10, 0));
  keeper.LineAdded(entered);
  EXPECT_EQ(Worked(keeper, L"JA1NOW"), 1u) << "at once, before the pane is read";
  ASSERT_TRUE(PumpUntil([&] { return !keeper.log().pane_pending(); }));
  EXPECT_EQ(keeper.log().index().Contacts(), 20001u) << "the pane read, and the line entered meanwhile";
  EXPECT_EQ(Worked(keeper, L"JA1NOW"), 1u);
  EXPECT_EQ(Worked(keeper, L"JA7OLD"), 0u) << "the pane before LOG Open is gone";
  EXPECT_TRUE(keeper.Stop());
}

TEST(WorkedFolderTest, FolderThatAppearsLaterOrComesBackIsRead) {
  TempFolder parent;
  const std::wstring later = parent.File(L"USB");
  WorkedLogKeeper keeper;
  keeper.Watch(In(later, 500));
  ASSERT_TRUE(PumpUntil([&] { return keeper.log().folder_read(); }));
  EXPECT_EQ(keeper.log().index().Contacts(), 0u);
  ASSERT_TRUE(CreateDirectoryW(later.c_str(), nullptr));
  WriteLog(later + L"\\log.TXT", LoggedLine(L"JA5USB", L"RS-44", At(2026, 12, 1, 9, 0)) + L"\r\n");
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA5USB") == 1; }));

  // The drive taken out, and put back with other logs.
  ASSERT_TRUE(DeleteFileW((later + L"\\log.TXT").c_str()));
  ASSERT_TRUE(RemoveDirectoryW(later.c_str()));
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA5USB") == 0; }));
  // The folder is gone from the disk only once the reader has let go of its watch.
  ASSERT_TRUE(PumpUntil([&] { return CreateDirectoryW(later.c_str(), nullptr) != FALSE; }));
  WriteLog(later + L"\\back.TXT", LoggedLine(L"JA5BAK", L"RS-44", At(2026, 12, 1, 9, 0)) + L"\r\n");
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA5BAK") == 1; }));
  WriteLog(later + L"\\more.TXT", LoggedLine(L"JA5MOR", L"RS-44", At(2026, 12, 1, 9, 0)) + L"\r\n");
  EXPECT_TRUE(PumpUntil([&] { return Worked(keeper, L"JA5MOR") == 1; }))
      << "changes after the folder came back are followed";
  EXPECT_TRUE(keeper.Stop());
}

// LoTW's confirmations kept beside the logs: read with the folder, again when the file changes or
// goes, and when the fetch says it wrote the file, even when the listing shows no change.
TEST(WorkedFolderTest, KeptConfirmationsAreReadAndFollowed) {
  TempFolder folder;
  WriteLog(folder.File(L"Zelmor261201.TXT"), LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 12, 1, 19, 14)) +
                                                 L"\r\n" + LoggedLine(L"JA1ABD 59 59 PM96", L"RS-44", At(2026, 12, 1, 19, 20)) + L"\r\n");
  const auto kept = [](const std::string& call, const std::string& grid) {
    test_support::LotwQsl q;
    q.call = call, q.date = "20261201", q.time = "101400", q.grid = grid;
    return confirmations::Merge("", confirmations::ReadReport(test_support::LotwAnswer({q}))).text;
  };
  const std::wstring path = folder.File(confirmations::kKeptFileName);
  test_support::WriteBytes(path, kept("JA1ABC", "PM95"));
  const FixedOffsetZone japan(540);
  WorkedLogKeeper keeper(nullptr, nullptr, {}, &japan);
  keeper.Watch(In(folder.path()));
  ASSERT_TRUE(PumpUntil([&] { return keeper.log().folder_read(); }));
  const WorkedIndex& index = keeper.log().index();
  EXPECT_EQ(index.ConfirmedContacts(), 1u) << "read with the folder";
  EXPECT_TRUE(index.LookUpGrid(L"PM95", std::nullopt).confirmed);

  // Another call of the same length, written back with the time it had: the listing is unchanged.
  FILETIME written{};
  {
    const base::UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(GetFileTime(file.get(), nullptr, nullptr, &written));
  }
  test_support::WriteBytes(path, kept("JA1ABD", "PM96"));
  {
    const base::UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &written));
  }
  keeper.ConfirmationsChanged();
  EXPECT_TRUE(PumpUntil([&] { return index.LookUpGrid(L"PM96", std::nullopt).confirmed; }))
      << "read again when asked: JA1ABD's contact is confirmed with the square of the confirmation";
  EXPECT_EQ(index.ConfirmedContacts(), 1u);
  EXPECT_FALSE(index.LookUpGrid(L"PM95", std::nullopt).confirmed);

  ASSERT_TRUE(DeleteFileW(path.c_str()));
  EXPECT_TRUE(PumpUntil([&] { return !index.HasConfirmations(); })) << "the file gone";
  EXPECT_EQ(index.ConfirmedContacts(), 0u);
  EXPECT_TRUE(keeper.Stop());
}

// A drive that does not answer: every read waits until the test lets it go.
class StuckFolder : public LogFolderAccess {
 public:
  StuckFolder() : release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~StuckFolder() override { CloseHandle(release_); }
  std::optional<std::vector<FileStamp>> List(const std::wstring&) override {
    return std::vector<FileStamp>{{L"log.TXT", 100, 1}};
  }
  std::optional<std::wstring> Read(const std::wstring&) override {
    reading = true;
    WaitForSingleObject(release_, 60000);
    return LoggedLine(L"JA6SLO", L"RS-44", At(2026, 12, 1, 9, 0));
  }
  std::optional<std::string> ReadBytes(const std::wstring&) override { return std::nullopt; }
  void Release() { SetEvent(release_); }
  std::atomic<bool> reading{false};

 private:
  HANDLE release_;
};

TEST(WorkedFolderTest, StopDoesNotWaitForADriveThatDoesNotAnswer) {
  auto stuck = std::make_shared<StuckFolder>();
  {
    WorkedLogKeeper keeper(nullptr, stuck);
    keeper.Watch(In(L"Q:\\slow"));
    for (int i = 0; i < 500 && !stuck->reading; ++i) Sleep(10);
    ASSERT_TRUE(stuck->reading);
    EXPECT_FALSE(keeper.Stop(100)) << "the thread is still in the read; Stop came back all the same";
    keeper.PaneReplaced(L"");  // read here: nothing is running
    EXPECT_FALSE(keeper.log().pane_pending());
  }
  // The thread finishes on its own with what it owns; what it posts is taken by nobody.
  stuck->Release();
  Sleep(200);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

TEST(WorkedFolderTest, StopsAtOnceOnAFolderThatIsNotThere) {
  WorkedLogKeeper keeper;
  keeper.Watch(In(L"Q:\\no\\such\\folder"));
  ASSERT_TRUE(PumpUntil([&] { return keeper.log().folder_read(); }));
  EXPECT_TRUE(keeper.Stop(5000));
}

}  // namespace
}  // namespace zelmor::worked

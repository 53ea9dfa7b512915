// "LOG Save(&S)" and "LOG Open(O)" through the real common dialogs: what reaches the file, what
// comes back into the pane, where the dialogs start, and the unsaved-log flag the close consults.

#include <gtest/gtest.h>

#include <cwchar>

#include "logfiles_support.h"

namespace e2e {
namespace {

std::wstring DefaultSaveNameNow() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  wchar_t name[32];
  swprintf(name, 32, L"Zelmor%02d%02d%02d", t.wYear % 100, t.wMonth, t.wDay);
  return name;
}

// Two entries without a tracking program: two fallback lines in the pane.
std::wstring PaneWithTwoEntries(Zelmor& app) {
  MakeEntry(app, L"L1");
  MakeEntry(app, L"L2 ｼｸﾞﾅﾙ良好");
  return app.PaneText();
}

TEST(LogFilesE2E, SavedLogComesBackWithOneEmptyLineMore) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring pane = PaneWithTwoEntries(app);
  ASSERT_NE(pane.find(L"J L1\r\n"), std::wstring::npos) << Utf8(pane);
  ASSERT_NE(pane.find(L"J L2 ｼｸﾞﾅﾙ良好\r\n"), std::wstring::npos) << Utf8(pane);

  const std::wstring file = folder.File(L"log.txt");
  ASSERT_TRUE(SaveLog(app, file));
  EXPECT_TRUE(NoDialogOpen(app));
  // The pane and one CR LF, in Shift-JIS.
  EXPECT_EQ(ReadBytes(file), Ansi(pane + L"\r\n"));

  // Opening with unsaved entries would ask; the save has just cleared the flag.
  ASSERT_TRUE(OpenLog(app, file));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_EQ(app.PaneText(), pane + L"\r\n");
  // The caret sits at the end of the loaded text.
  DWORD_PTR selection = 0;
  SendMessageTimeoutW(app.pane(), EM_GETSEL, 0, 0, SMTO_NORMAL, 5000, &selection);
  EXPECT_EQ(HIWORD(selection), pane.size() + 2);

  // Each further round adds one more empty line.
  ASSERT_TRUE(SaveLog(app, file));
  ASSERT_TRUE(OpenLog(app, file));
  EXPECT_EQ(app.PaneText(), pane + L"\r\n\r\n");

  // Saved and opened, nothing unsaved: the close asks nothing.
  EXPECT_TRUE(ClosesWithoutQuestion(app));
}

TEST(LogFilesE2E, FirstSaveProposesTodaysNameInTheProgramFolderAndTheFolderIsRemembered) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  MakeEntry(app, L"first");

  const std::wstring before = DefaultSaveNameNow();
  HWND dialog = ShowFileDialog(app, IDM_LOG_SAVE);
  const std::wstring after = DefaultSaveNameNow();
  ASSERT_TRUE(dialog);
  const std::wstring proposed = FileNameBoxText(dialog);
  EXPECT_TRUE(proposed == before || proposed == after) << Utf8(proposed);
  // OK on the proposal: no extension is added, and the file lands in the program's folder.
  ASSERT_TRUE(EndFileDialog(app, dialog, IDOK));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_TRUE(FileExists(folder.File(proposed))) << Utf8(proposed);
  // Written at once, not at the close.
  EXPECT_NE(app.Ini().find(IniLine("LOGfol", folder.path())), std::string::npos) << app.Ini();

  // A save elsewhere moves the remembered folder there ...
  const std::wstring other = folder.File(L"logs");
  ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
  ASSERT_TRUE(SaveLog(app, other + L"\\a.txt"));
  EXPECT_NE(app.Ini().find(IniLine("LOGfol", other)), std::string::npos) << app.Ini();

  // ... and both dialogs start there: a bare name is taken in that folder.
  ASSERT_TRUE(SaveLog(app, L"b.txt"));
  EXPECT_TRUE(FileExists(other + L"\\b.txt"));
  ASSERT_TRUE(OpenLog(app, L"a.txt"));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_EQ(ReadBytes(other + L"\\a.txt"), Ansi(app.PaneText()));

  // The next start begins there too.
  ASSERT_TRUE(ClosesWithoutQuestion(app));
  Zelmor again(folder);
  ASSERT_TRUE(again.Start());
  ASSERT_TRUE(OpenLog(again, L"b.txt"));
  EXPECT_EQ(ReadBytes(other + L"\\b.txt"), Ansi(again.PaneText()));
  EXPECT_TRUE(ClosesWithoutQuestion(again));
}

TEST(LogFilesE2E, ReplacesWithoutQuestionAndReadsOddFiles) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const std::wstring pane = PaneWithTwoEntries(app);

  // An existing file is replaced whole, without a question.
  const std::wstring file = folder.File(L"old.txt");
  WriteBytes(file, std::string(5000, 'x'));
  ASSERT_TRUE(SaveLog(app, file));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_EQ(ReadBytes(file), Ansi(pane + L"\r\n"));

  struct Row {
    const char* what;
    std::string bytes;
    std::wstring pane;
  };
  const Row rows[] = {
      // An empty file empties the pane, without a message.
      {"zero bytes", "", L""},
      // A lone LF does not end a line: the whole file is one line.
      {"LF only", "a\nb\n", L"a\nb\n\r\n"},
      // CR alone and CR LF both end a line.
      {"CR and CR LF", "a\rb\r\nc", L"a\r\nb\r\nc\r\n"},
      {"Shift-JIS", Ansi(L"ﾃｽﾄ 交信\r\n"), L"ﾃｽﾄ 交信\r\n"},
  };
  for (const Row& row : rows) {
    WriteBytes(file, row.bytes);
    ASSERT_TRUE(OpenLog(app, file)) << row.what;
    EXPECT_TRUE(NoDialogOpen(app)) << row.what;
    EXPECT_EQ(app.PaneText(), row.pane) << row.what;
  }
  EXPECT_TRUE(ClosesWithoutQuestion(app));
}

TEST(LogFilesE2E, OpeningOverUnsavedEntriesAsksAndKeepsTheFlag) {
  TempFolder folder;
  const std::wstring file = folder.File(L"other.txt");
  WriteBytes(file, "other\r\n");
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  MakeEntry(app, L"unsaved");
  const std::wstring pane = app.PaneText();
  const DWORD pid = app.pid();

  // No: nothing happens, no dialog follows.
  SendCommand(app.window(), IDM_LOG_OPEN);
  ASSERT_TRUE(Answer(WaitForAnyDialog(pid), IDS_OPEN_UNSAVED_QUESTION, IDNO));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_EQ(app.PaneText(), pane);

  // Yes: the file replaces the pane, and the entries count as unsaved still.
  SendCommand(app.window(), IDM_LOG_OPEN);
  ASSERT_TRUE(Answer(WaitForAnyDialog(pid), IDS_OPEN_UNSAVED_QUESTION, IDYES));
  HWND dialog = WaitForDialog(pid, ZelmorText(IDS_LOG_OPEN_TITLE));
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(ChooseFile(app, dialog, file));
  EXPECT_EQ(app.PaneText(), L"other\r\n");
  EXPECT_TRUE(ClosesAfterQuestion(app));
}

TEST(LogFilesE2E, FailedSaveIsReportedAndKeepsTheFlag) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  MakeEntry(app, L"keep me");
  const std::string ini = app.Ini();
  const std::wstring held_file = folder.File(L"held.txt");
  const std::wstring not_a_folder = folder.File(L"afile");
  WriteBytes(held_file, "held\r\n");
  WriteBytes(not_a_folder, "a file\r\n");

  struct Row {
    const char* what;
    std::wstring target;
    bool hold;  // kept open without sharing, as another program may hold a log it shows
  };
  const Row rows[] = {
      {"target held open", held_file, true},
      // The dialog accepts the name; the folder it names is a file, so nothing can be created.
      {"folder is a file", not_a_folder + L"\\log.txt", false},
  };
  for (const Row& row : rows) {
    HANDLE held = row.hold ? CreateFileW(row.target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                           : INVALID_HANDLE_VALUE;
    ASSERT_TRUE(!row.hold || held != INVALID_HANDLE_VALUE) << row.what;
    const ::testing::AssertionResult saved = SaveLog(app, row.target);
    HWND box = WaitForAnyDialog(app.pid());
    const std::wstring text = box ? MessageText(box) : std::wstring();
    if (box) PressButton(box, IDOK);
    if (box) WaitDestroyed(box);
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    ASSERT_TRUE(saved) << row.what;
    EXPECT_EQ(text, ZelmorText(IDS_LOG_SAVE_FAILED)) << row.what;
    EXPECT_TRUE(NoDialogOpen(app)) << row.what;
    EXPECT_EQ(app.Ini(), ini) << row.what;
  }
  EXPECT_EQ(ReadBytes(held_file), "held\r\n");
  EXPECT_EQ(ReadBytes(not_a_folder), "a file\r\n");
  EXPECT_TRUE(ClosesAfterQuestion(app));
}

TEST(LogFilesE2E, CancelChangesNothing) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  // A first save, so that the settings file holds a folder and the flag is clear.
  MakeEntry(app, L"saved");
  ASSERT_TRUE(SaveLog(app, folder.File(L"saved.txt")));
  const std::string ini = app.Ini();
  const std::wstring pane = app.PaneText();
  const DWORD pid = app.pid();

  // Flag clear: cancelling either dialog leaves it clear.
  HWND dialog = ShowFileDialog(app, IDM_LOG_SAVE);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  dialog = ShowFileDialog(app, IDM_LOG_OPEN);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_EQ(app.PaneText(), pane);
  EXPECT_EQ(app.Ini(), ini);

  // Flag set: cancelling either dialog leaves it set.
  MakeEntry(app, L"unsaved");
  const std::wstring unsaved_pane = app.PaneText();
  dialog = ShowFileDialog(app, IDM_LOG_SAVE);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  SendCommand(app.window(), IDM_LOG_OPEN);
  ASSERT_TRUE(Answer(WaitForAnyDialog(pid), IDS_OPEN_UNSAVED_QUESTION, IDYES));
  dialog = WaitForDialog(pid, ZelmorText(IDS_LOG_OPEN_TITLE));
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  EXPECT_TRUE(NoDialogOpen(app));
  EXPECT_EQ(app.PaneText(), unsaved_pane);
  EXPECT_EQ(app.Ini(), ini);
  EXPECT_EQ(ReadBytes(folder.File(L"saved.txt")), Ansi(pane + L"\r\n"));
  EXPECT_TRUE(ClosesAfterQuestion(app));
}

// A save that a kill cut short leaves its temporary file beside the log; the next save of that log
// clears it away, and nobody else's files.
TEST(LogFilesE2E, SavingALogClearsWhatAnInterruptedSaveOfItLeft) {
  TempFolder folder;
  const std::wstring leftover = folder.File(L"field.txt.4242-7.zelmor-tmp");
  const std::wstring other = folder.File(L"other.txt.4242-8.zelmor-tmp");
  const std::wstring not_ours = folder.File(L"field.txt.bak");
  WriteBytes(leftover, "cut sho");
  WriteBytes(other, "cut sho");
  WriteBytes(not_ours, "mine");
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  MakeEntry(app, L"JA1AAA");
  ASSERT_TRUE(SaveLog(app, folder.File(L"field.txt")));
  EXPECT_FALSE(FileExists(leftover));
  EXPECT_TRUE(FileExists(other)) << "another log's leftover waits for that log's save";
  EXPECT_TRUE(FileExists(not_ours));
  EXPECT_EQ(ReadBytes(folder.File(L"field.txt")), Ansi(app.PaneText() + L"\r\n"));
  ASSERT_TRUE(ClosesWithoutQuestion(app));
}

}  // namespace
}  // namespace e2e

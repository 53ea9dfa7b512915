#include "logfiles/log_commands.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "file_command_fakes.h"

namespace zelmor::logfiles {
namespace {

constexpr wchar_t kExeFolder[] = L"C:\\Program Files\\Zelmor";

using fakes::Journal;

class LogCommandsTest : public ::testing::Test, protected fakes::FileCommandFakes {
 protected:
  LogCommandsTest() : FileCommandFakes(kExeFolder) { clock.now = {2026, 12, 6, 9, 30, 0}; }

  LogCommands commands{context};

  std::optional<std::wstring> StoredLogFolder() {
    if (!store.Has(L"Zelmor", L"LOGfol")) return std::nullopt;
    return store.Get(L"Zelmor", L"LOGfol", L"");
  }
};

TEST_F(LogCommandsTest, FirstSaveProposesTodayInExecutableFolderAndRemembersChosenFolder) {
  pane.text = L"L1\r\nL2\r\n";
  state.log_unsaved = true;
  dialogs.chosen = L"D:\\logs\\field day.txt";
  commands.SaveLog();

  ASSERT_TRUE(dialogs.seen);
  EXPECT_EQ(dialogs.seen->initial_dir, kExeFolder);
  EXPECT_EQ(dialogs.seen->file_name, L"Zelmor261206");
  EXPECT_EQ(dialogs.seen->filter, L"LOGﾃﾞｰﾀ (*.TXT)|*.TXT");
  EXPECT_EQ(dialogs.seen->title, L"LOGﾃﾞｰﾀ保存");
  EXPECT_EQ(dialogs.existing, ExistingFile::Replace) << "LOG Save replaces without a question";
  EXPECT_EQ(files.disk[L"D:\\logs\\field day.txt"], L"L1\r\nL2\r\n\r\n");
  EXPECT_EQ(StoredLogFolder(), L"D:\\logs");
  EXPECT_FALSE(state.log_unsaved);
  EXPECT_TRUE(messages.shown.empty());

  // The next save and the next open both start where the last file went.
  dialogs.chosen = L"D:\\logs\\second.txt";
  commands.SaveLog();
  EXPECT_EQ(dialogs.seen->initial_dir, L"D:\\logs");
  commands.OpenLog();
  EXPECT_EQ(dialogs.seen->initial_dir, L"D:\\logs");
  EXPECT_EQ(dialogs.seen->title, L"LOGﾃﾞｰﾀ閲覧");
}

TEST_F(LogCommandsTest, SavedPaneOpensWithOneMoreEmptyLineAndCaretAtEnd) {
  pane.text = L"L1\r\nL2\r\n";
  dialogs.chosen = L"C:\\l\\a.txt";
  commands.SaveLog();
  pane.text = L"other";
  commands.OpenLog();
  EXPECT_EQ(pane.text, L"L1\r\nL2\r\n\r\n");
  EXPECT_TRUE(pane.caret_at_end);
}

TEST_F(LogCommandsTest, SaveClearsWhatAnInterruptedSaveOfTheSameFileLeftBeforeWriting) {
  dialogs.chosen = L"D:\\logs\\a.txt";
  commands.SaveLog();
  ASSERT_EQ(files.leftovers_removed, std::vector<std::wstring>{L"D:\\logs\\a.txt"});
  EXPECT_EQ(files.replaces, 1);
  dialogs.answer = false;
  commands.SaveLog();
  EXPECT_EQ(files.leftovers_removed.size(), 1u) << "a cancelled save touches nothing";
}

TEST_F(LogCommandsTest, SavingAnEmptyPaneWritesOneCrLfAndClearsTheFlag) {
  state.log_unsaved = true;
  dialogs.chosen = L"C:\\l\\empty.txt";
  commands.SaveLog();
  EXPECT_EQ(files.disk[L"C:\\l\\empty.txt"], L"\r\n");
  EXPECT_FALSE(state.log_unsaved);
}

TEST_F(LogCommandsTest, CancelledDialogChangesNothing) {
  using Command = void (LogCommands::*)();
  const struct {
    const char* name;
    Command command;
  } rows[] = {{"save", &LogCommands::SaveLog},
              {"open", &LogCommands::OpenLog},
              {"temp log viewer", &LogCommands::ViewSafetyCopy}};
  for (const auto& row : rows) {
    pane.text = L"kept\r\n";
    state.log_unsaved = false;
    store.Put(L"Zelmor", L"LOGfol", L"E:\\old");
    files.disk = {{L"E:\\old\\a.txt", L"file\r\n"}};
    dialogs.answer = false;
    (commands.*row.command)();
    EXPECT_EQ(pane.text, L"kept\r\n") << row.name;
    EXPECT_EQ(StoredLogFolder(), L"E:\\old") << row.name;
    EXPECT_FALSE(state.log_unsaved) << row.name;
    EXPECT_EQ(files.disk.size(), 1u) << row.name;
    EXPECT_TRUE(messages.shown.empty()) << row.name;
  }
}

TEST_F(LogCommandsTest, FailedSaveIsReportedAndKeepsFlagAndFolder) {
  pane.text = L"L1\r\n";
  state.log_unsaved = true;
  store.Put(L"Zelmor", L"LOGfol", L"E:\\old");
  files.disk[L"F:\\locked\\log.txt"] = L"previous\r\n";
  files.refuse_writes = true;
  dialogs.chosen = L"F:\\locked\\log.txt";
  commands.SaveLog();

  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, L"LOGデータが保存出来ませんでした。");
  EXPECT_EQ(messages.shown[0].title, std::nullopt);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
  EXPECT_TRUE(state.log_unsaved);
  EXPECT_EQ(StoredLogFolder(), L"E:\\old");
  EXPECT_EQ(files.disk[L"F:\\locked\\log.txt"], L"previous\r\n");
}

TEST_F(LogCommandsTest, UnsavedLogIsNotReplacedWithoutConsent) {
  using Command = void (LogCommands::*)();
  const struct {
    const char* name;
    Command command;
  } rows[] = {{"open", &LogCommands::OpenLog},
              {"temp log viewer", &LogCommands::ViewSafetyCopy}};
  for (const auto& row : rows) {
    journal.clear();
    messages.shown.clear();
    pane.text = L"unsaved entry\r\n";
    state.log_unsaved = true;
    messages.answer = MessageAnswer::No;
    (commands.*row.command)();
    ASSERT_EQ(messages.shown.size(), 1u) << row.name;
    EXPECT_EQ(messages.shown[0].text, L"LOGデータが未保存ですが\r\n開いてよろしいですか？");
    EXPECT_EQ(messages.shown[0].title, L"Zelmor");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);
    EXPECT_EQ(journal, Journal{L"message"}) << row.name << ": No must not show the dialog";
    EXPECT_EQ(pane.text, L"unsaved entry\r\n") << row.name;
    EXPECT_TRUE(state.log_unsaved) << row.name;
  }
}

TEST_F(LogCommandsTest, OpenReplacesPaneButKeepsUnsavedFlag) {
  const struct {
    const char* why;
    int flag;
    size_t questions;
  } rows[] = {{"flag 1: asks, Yes goes on, flag stays 1", 1, 1},
              {"flag 0: no question, flag stays 0", 0, 0}};
  for (const auto& row : rows) {
    messages.shown.clear();
    state.log_unsaved = row.flag;
    messages.answer = MessageAnswer::Yes;
    files.disk[L"G:\\saved\\log.txt"] = L"A\r\nB";
    dialogs.chosen = L"G:\\saved\\log.txt";
    pane.text = L"old\r\n";
    commands.OpenLog();
    EXPECT_EQ(pane.text, L"A\r\nB\r\n") << row.why;
    EXPECT_EQ(state.log_unsaved, row.flag) << row.why;
    EXPECT_EQ(messages.shown.size(), row.questions) << row.why;
    EXPECT_EQ(StoredLogFolder(), L"G:\\saved") << row.why;
  }
}

TEST_F(LogCommandsTest, FailedOpenIsReportedAndLeavesPaneAndFolder) {
  pane.text = L"old\r\n";
  store.Put(L"Zelmor", L"LOGfol", L"E:\\old");
  dialogs.chosen = L"H:\\missing.txt";
  commands.OpenLog();
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, L"LOGデータがOPEN出来ませんでした。");
  EXPECT_EQ(messages.shown[0].title, std::nullopt);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
  EXPECT_EQ(pane.text, L"old\r\n");
  EXPECT_EQ(StoredLogFolder(), L"E:\\old");
}

TEST_F(LogCommandsTest, ViewerStartsInProgramFolderAndLeavesFolderFlagAndCaret) {
  const std::wstring temp_log = std::wstring(kExeFolder) + L"\\Zelmor_temp.txt";
  files.disk[temp_log] = L"L1\r\nL2\r\n\r\n";
  store.Put(L"Zelmor", L"LOGfol", L"E:\\old");
  dialog_state.initial_dir = L"E:\\old";
  dialogs.chosen = temp_log;
  state.log_unsaved = false;
  commands.ViewSafetyCopy();

  EXPECT_EQ(dialogs.seen->initial_dir, kExeFolder);
  EXPECT_EQ(dialogs.seen->filter, L"非常用LOGﾃﾞｰﾀ (Zelmor_temp.txt.TXT)|Zelmor_temp.txt");
  EXPECT_EQ(dialogs.seen->title, L"非常用LOGﾃﾞｰﾀ閲覧");
  EXPECT_EQ(pane.text, L"L1\r\nL2\r\n\r\n");
  EXPECT_FALSE(pane.caret_at_end);
  EXPECT_EQ(StoredLogFolder(), L"E:\\old");
  EXPECT_FALSE(state.log_unsaved);
  EXPECT_EQ(files.disk[temp_log], L"L1\r\nL2\r\n\r\n") << "viewing must not rewrite the temp log";
}

TEST_F(LogCommandsTest, ViewerFailureLeavesPaneEmptyAndIsReported) {
  pane.text = L"old\r\n";
  dialogs.chosen = L"C:\\nowhere\\Zelmor_temp.txt";
  commands.ViewSafetyCopy();
  EXPECT_EQ(pane.text, L"");
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, L"非常用LOGがOPEN出来ませんでした。");
  EXPECT_EQ(messages.shown[0].title, std::nullopt);
  EXPECT_EQ(messages.shown[0].buttons, MessageButtons::Ok);
}

TEST_F(LogCommandsTest, EditModeIsLeftBeforeAnythingElse) {
  using Command = void (LogCommands::*)();
  const struct {
    const char* name;
    Command command;
    const wchar_t* dialog;
  } rows[] = {{"save", &LogCommands::SaveLog, L"save dialog"},
              {"open", &LogCommands::OpenLog, L"open dialog"},
              {"temp log viewer", &LogCommands::ViewSafetyCopy, L"open dialog"}};
  for (const auto& row : rows) {
    journal.clear();
    state.edit_mode = true;
    state.log_unsaved = true;
    dialogs.answer = false;
    messages.answer = MessageAnswer::Yes;
    (commands.*row.command)();
    Journal expected{L"leave edit mode"};
    if (row.dialog != std::wstring(L"save dialog")) expected.push_back(L"message");  // unsaved question
    expected.push_back(row.dialog);
    EXPECT_EQ(journal, expected) << row.name;

    journal.clear();
    state.log_unsaved = false;
    (commands.*row.command)();
    EXPECT_EQ(journal, Journal{row.dialog}) << row.name << ": edit mode off, nothing to leave";
  }
}

TEST_F(LogCommandsTest, SharedDialogKeepsWhatACommandDoesNotSet) {
  // Save leaves the chosen path in the dialog; the opens preset no name of their own.
  pane.text = L"x\r\n";
  dialogs.chosen = L"D:\\logs\\kept.txt";
  commands.SaveLog();
  dialogs.answer = false;
  commands.ViewSafetyCopy();
  EXPECT_EQ(dialogs.seen->file_name, L"D:\\logs\\kept.txt");
  commands.OpenLog();
  EXPECT_EQ(dialogs.seen->file_name, L"D:\\logs\\kept.txt");
  EXPECT_EQ(dialogs.seen->initial_dir, L"D:\\logs") << "the viewer's folder must not leak into LOG Open";
}

TEST_F(LogCommandsTest, ZeroByteFileEmptiesPaneAndStoresFolder) {
  files.disk[L"C:\\z\\empty.txt"] = L"";
  dialogs.chosen = L"C:\\z\\empty.txt";
  pane.text = L"old\r\n";
  commands.OpenLog();
  EXPECT_EQ(pane.text, L"");
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(StoredLogFolder(), L"C:\\z");
}

// What the settings file remembers as the log folder, and where both log dialogs then start.
TEST_F(LogCommandsTest, RememberedFolderTheDialogsCannotStartInGivesTheProgramFolder) {
  const std::wstring longest = L"D:\\" + std::wstring(256, L'f');
  struct Row {
    const char* what;
    std::wstring stored;
    std::wstring start;
  };
  const Row rows[] = {
      {"259 characters, the longest start folder", longest, longest},
      {"260 characters", longest + L"g", kExeFolder},
      // A damaged settings file.
      {"40,000 characters", L"D:\\" + std::wstring(40000, L'f'), kExeFolder},
  };
  for (const Row& row : rows) {
    store.Put(L"Zelmor", L"LOGfol", row.stored);
    dialogs.answer = false;
    commands.OpenLog();
    ASSERT_TRUE(dialogs.seen) << row.what;
    EXPECT_EQ(dialogs.seen->initial_dir, row.start) << row.what;
    commands.SaveLog();
    EXPECT_EQ(dialogs.seen->initial_dir, row.start) << row.what;
  }
}

}  // namespace
}  // namespace zelmor::logfiles

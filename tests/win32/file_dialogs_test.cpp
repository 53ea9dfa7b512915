// The common Open and Save dialogs, driven from a helper thread the way an operator would.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "logfiles/file_dialogs_win.h"

namespace zelmor::logfiles {
namespace {

constexpr int kFileNameBox = 0x47C;  // cmb13, the ComboBoxEx32 with the name
constexpr int kFileTypeBox = 0x470;  // cmb1, the filter list

// A literal with embedded NULs, all of it.
template <size_t N>
std::wstring Whole(const wchar_t (&literal)[N]) {
  return std::wstring(literal, N - 1);
}

TEST(DialogFilterTest, BarsBecomeNulsAndTheListEndsInTwo) {
  struct Row {
    std::wstring in, out;
  } rows[] = {
      {L"LOGﾃﾞｰﾀ (*.TXT)|*.TXT", Whole(L"LOGﾃﾞｰﾀ (*.TXT)\0*.TXT\0\0")},
      {L"a|b|c|d", Whole(L"a\0b\0c\0d\0\0")},
      {L"", Whole(L"\0\0")},
  };
  for (const auto& row : rows) EXPECT_EQ(DialogFilter(row.in), row.out);
}

std::wstring Text(HWND window) {
  wchar_t buffer[1024] = {};
  GetWindowTextW(window, buffer, 1024);
  return buffer;
}

// What the helper saw in the dialog, and any box that appeared after OK.
struct Seen {
  std::wstring name_box, type_box;
  std::vector<std::wstring> extra_boxes;
};

// Waits for the dialog titled `title`, records it, types `type_name` when given, then presses
// `button`. Boxes that pop up afterwards (overwrite or not-found prompts) are noted and dismissed.
std::thread Operator(const std::wstring& title, const std::wstring& type_name, int button,
                     std::atomic<bool>& done, Seen& seen) {
  return std::thread([=, &done, &seen] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i) {
      dialog = FindWindowW(L"#32770", title.c_str());
      if (!dialog) Sleep(10);
    }
    if (!dialog) return;
    Sleep(50);  // let the dialog finish filling its boxes
    seen.name_box = Text(GetDlgItem(dialog, kFileNameBox));
    seen.type_box = Text(GetDlgItem(dialog, kFileTypeBox));
    if (!type_name.empty()) SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0,
                                         reinterpret_cast<LPARAM>(type_name.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    for (int i = 0; i < 300 && !done; ++i) {
      Sleep(10);
      if (i < 100) continue;
      HWND extra = FindWindowW(L"#32770", nullptr);
      if (extra && extra != dialog) {
        seen.extra_boxes.push_back(Text(extra));
        PostMessageW(extra, WM_COMMAND, IDNO, 0);
        PostMessageW(extra, WM_COMMAND, IDCANCEL, 0);
      }
    }
  });
}

class CommonFileDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"zelmor-dialogs-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder_.c_str(), nullptr);
  }
  void TearDown() override {
    DeleteFileW((folder_ + L"\\Zelmor261206").c_str());
    // Fails while the folder is the process's current one: a dialog must not have moved it there.
    EXPECT_TRUE(RemoveDirectoryW(folder_.c_str())) << "error " << GetLastError();
  }
  void Touch(const std::wstring& name) {
    HANDLE h = CreateFileW((folder_ + L"\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    CloseHandle(h);
  }
  std::wstring folder_;
};

TEST_F(CommonFileDialogsTest, SaveStartsInFolderWithPresetNameAndReplacesWithoutAsking) {
  Touch(L"Zelmor261206");
  FileDialogState state{L"LOGﾃﾞｰﾀ保存", L"LOGﾃﾞｰﾀ (*.TXT)|*.TXT", folder_, L"Zelmor261206"};
  std::atomic<bool> done{false};
  Seen seen;
  std::thread op = Operator(state.title, L"", IDOK, done, seen);
  CommonFileDialogs dialogs;
  const bool chosen = dialogs.ShowSave(state, ExistingFile::Replace);
  done = true;
  op.join();

  EXPECT_TRUE(chosen) << "dialog error " << dialogs.last_error();
  EXPECT_EQ(seen.name_box, L"Zelmor261206");
  EXPECT_EQ(seen.type_box, L"LOGﾃﾞｰﾀ (*.TXT)");
  EXPECT_EQ(CompareStringOrdinal(state.file_name.c_str(), -1, (folder_ + L"\\Zelmor261206").c_str(), -1, TRUE),
            CSTR_EQUAL)
      << "got " << std::string(state.file_name.begin(), state.file_name.end());
  EXPECT_TRUE(seen.extra_boxes.empty()) << "an overwrite prompt appeared";
}

TEST_F(CommonFileDialogsTest, SaveAskedToAskFirstAsksBeforeReplacing) {
  Touch(L"Zelmor261206");
  FileDialogState state{L"ADIF出力", L"ADIFﾌｧｲﾙ (*.adi)|*.adi", folder_, L"Zelmor261206"};
  std::wstring question;
  std::thread op([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i) {
      dialog = FindWindowW(L"#32770", state.title.c_str());
      if (!dialog) Sleep(10);
    }
    if (!dialog) return;
    Sleep(50);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    // The question is one more dialog box of this thread; Yes replaces.
    for (int i = 0; i < 500; ++i) {
      Sleep(10);
      HWND box = FindWindowW(L"#32770", nullptr);
      if (box && box != dialog && IsWindowVisible(box)) {
        question = Text(box);
        PostMessageW(box, WM_COMMAND, IDYES, 0);
        return;
      }
    }
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  });
  CommonFileDialogs dialogs;
  const bool chosen = dialogs.ShowSave(state, ExistingFile::AskFirst);
  op.join();
  EXPECT_FALSE(question.empty()) << "no question before replacing the file";
  EXPECT_TRUE(chosen) << "Yes replaces: the dialog gives the file; error " << dialogs.last_error();
}

TEST_F(CommonFileDialogsTest, OpenShowsOnlyNamePartAndAcceptsMissingFile) {
  // A full path left by an earlier command must not override the start folder.
  FileDialogState state{L"LOGﾃﾞｰﾀ閲覧", L"LOGﾃﾞｰﾀ (*.TXT)|*.TXT", folder_, L"C:\\elsewhere\\old.TXT"};
  std::atomic<bool> done{false};
  Seen seen;
  std::thread op = Operator(state.title, L"missing.TXT", IDOK, done, seen);
  CommonFileDialogs dialogs;
  const bool chosen = dialogs.ShowOpen(state);
  done = true;
  op.join();

  EXPECT_TRUE(chosen) << "dialog error " << dialogs.last_error();
  EXPECT_EQ(seen.name_box, L"old.TXT");
  EXPECT_EQ(CompareStringOrdinal(state.file_name.c_str(), -1, (folder_ + L"\\missing.TXT").c_str(), -1, TRUE),
            CSTR_EQUAL)
      << "got " << std::string(state.file_name.begin(), state.file_name.end());
  EXPECT_TRUE(seen.extra_boxes.empty()) << "a not-found prompt appeared";
}

TEST_F(CommonFileDialogsTest, CancelReturnsFalseAndKeepsTheState) {
  FileDialogState state{L"非常用LOGﾃﾞｰﾀ閲覧", L"非常用LOGﾃﾞｰﾀ (Zelmor_temp.txt.TXT)|Zelmor_temp.txt", folder_,
                        L"kept"};
  std::atomic<bool> done{false};
  Seen seen;
  std::thread op = Operator(state.title, L"", IDCANCEL, done, seen);
  CommonFileDialogs dialogs;
  const bool chosen = dialogs.ShowOpen(state);
  done = true;
  op.join();

  EXPECT_FALSE(chosen);
  EXPECT_EQ(dialogs.last_error(), 0u);
  EXPECT_EQ(state.file_name, L"kept");
  EXPECT_EQ(seen.type_box, L"非常用LOGﾃﾞｰﾀ (Zelmor_temp.txt.TXT)");
}

// A damaged settings file can remember any folder; no length of it may keep the dialog from
// coming up, let alone end the program.
TEST_F(CommonFileDialogsTest, OverlongStartFolderStillShowsTheDialog) {
  for (size_t length : {259u, 260u, 1000u, 40000u}) {
    FileDialogState state{L"LOGﾃﾞｰﾀ閲覧", L"LOGﾃﾞｰﾀ (*.TXT)|*.TXT", L"C:\\" + std::wstring(length - 3, L'f'),
                          L""};
    std::atomic<bool> done{false};
    Seen seen;
    std::thread op = Operator(state.title, L"", IDCANCEL, done, seen);
    CommonFileDialogs dialogs;
    const bool chosen = dialogs.ShowOpen(state);
    done = true;
    op.join();
    EXPECT_FALSE(chosen) << length;
    EXPECT_EQ(dialogs.last_error(), 0u) << length;
    EXPECT_EQ(seen.type_box, L"LOGﾃﾞｰﾀ (*.TXT)") << length << ": the dialog did not come up";
  }
}

}  // namespace
}  // namespace zelmor::logfiles

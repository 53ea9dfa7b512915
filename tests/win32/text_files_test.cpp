// Log files on a real disk: replaced whole or not at all, in the ANSI code page.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "logfiles/text_files_win.h"
#include "base/atomic_file_win.h"
#include "files_win.h"
#include "printable.h"

namespace zelmor::logfiles {
namespace {

using test_support::FolderNames;
using test_support::TempFolder;

std::string RawBytes(const std::wstring& path) {
  std::string bytes;
  EXPECT_EQ(base::ReadFileContent(path, bytes), static_cast<DWORD>(ERROR_SUCCESS));
  return bytes;
}

void WriteRaw(const std::wstring& path, const std::string& bytes) {
  ASSERT_EQ(base::ReplaceFileContent(path, bytes), static_cast<DWORD>(ERROR_SUCCESS));
}

std::string Names(const std::vector<std::wstring>& names) {
  std::string out;
  for (const auto& n : names) out += test_support::Utf8(n) + " ";
  return out;
}

TEST(AnsiTextFilesTest, ReplaceOverExistingFileLeavesOnlyTheNewContent) {
  TempFolder folder;
  const std::wstring path = folder.File(L"log.txt");
  WriteRaw(path, std::string(100000, 'x'));  // longer than what replaces it
  AnsiTextFiles files;
  ASSERT_TRUE(files.Replace(path, L"L1\r\nL2\r\n")) << "error " << files.last_error();
  EXPECT_EQ(RawBytes(path), "L1\r\nL2\r\n");
  EXPECT_EQ(FolderNames(folder.path()), std::vector<std::wstring>{L"log.txt"}) << Names(FolderNames(folder.path()));
}

TEST(AnsiTextFilesTest, JapaneseTextRoundTripsThroughShiftJis) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page (run with LC_ALL=ja_JP.UTF-8)";
  TempFolder folder;
  const std::wstring path = folder.File(L"日本語.txt");
  const std::wstring text = L"26/12/06 12:34 JA1ZZZ 59 %Sat=ＡＯ－７/Rev:123% ｱｲｳ 衛星\u3000モード\r\n";
  AnsiTextFiles files;
  ASSERT_TRUE(files.Replace(path, text)) << "error " << files.last_error();
  const std::string bytes = RawBytes(path);
  EXPECT_NE(bytes.find("\x89\x71\x90\xAF\x81\x40\x83\x82\x81\x5B\x83\x68"), std::string::npos)
      << "衛星, U+3000 and モード in code page 932";
  EXPECT_NE(bytes.find("\xB1\xB2\xB3"), std::string::npos) << "half-width katakana are single bytes";
  std::wstring back;
  ASSERT_TRUE(files.Read(path, back));
  EXPECT_EQ(back, text);
}

TEST(AnsiTextFilesTest, ReadOfMissingOrEmptyFile) {
  TempFolder folder;
  AnsiTextFiles files;
  std::wstring text = L"sentinel";
  EXPECT_FALSE(files.Read(folder.File(L"missing.txt"), text));
  EXPECT_EQ(files.last_error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(files.Read(L"", text)) << "an empty name is a failure, not an empty log";
  EXPECT_FALSE(files.Read(folder.path(), text)) << "a folder is not a log";
  WriteRaw(folder.File(L"empty.txt"), "");
  text = L"sentinel";
  EXPECT_TRUE(files.Read(folder.File(L"empty.txt"), text));
  EXPECT_EQ(text, L"");
}

TEST(AnsiTextFilesTest, FileHeldWithoutSharingIsReportedAndKeptWhole) {
  TempFolder folder;
  const std::wstring path = folder.File(L"held.txt");
  WriteRaw(path, "old\r\n");
  HANDLE held = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  AnsiTextFiles files;
  std::wstring text;
  const bool read = files.Read(path, text);
  const DWORD read_error = files.last_error();
  const bool replaced = files.Replace(path, L"new\r\n");
  const DWORD replace_error = files.last_error();
  const std::vector<std::wstring> entries = FolderNames(folder.path());
  CloseHandle(held);

  EXPECT_FALSE(read);
  EXPECT_EQ(read_error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_FALSE(replaced) << "a replace that did not happen must not pass for one";
  EXPECT_NE(replace_error, static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(RawBytes(path), "old\r\n");
  EXPECT_EQ(entries, std::vector<std::wstring>{L"held.txt"}) << "temporary left behind: " << Names(entries);
}

// Makes a folder refuse new entries for the test's duration. Windows ACLs mean nothing to Wine,
// and the tests run as root there, where permission bits mean nothing either: the folder is made
// immutable on the Unix side instead. Wine starts a Unix program but cannot wait for it or read
// its exit code, so the effect itself is awaited.
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::wstring& folder) : folder_(folder) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    const auto unix_name = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unix_name) {
      reason_ = "not running under Wine: no way to make a folder read-only for this test";
      return;
    }
    char* name = unix_name(folder.c_str());
    if (!name) {
      reason_ = "no Unix name for the folder";
      return;
    }
    const std::string unix_folder = name;
    HeapFree(GetProcessHeap(), 0, name);
    const std::pair<std::string, std::string> ways[] = {
        {"/usr/bin/chattr +i '" + unix_folder + "'", "/usr/bin/chattr -i '" + unix_folder + "'"},
        {"/bin/chmod 555 '" + unix_folder + "'", "/bin/chmod 755 '" + unix_folder + "'"}};
    for (const auto& [make, undo] : ways) {
      if (Start(make) && Await([&] { return Refuses(); })) {
        undo_ = undo;
        return;
      }
    }
    reason_ = "neither chattr +i nor chmod made the folder refuse new files";
  }
  ~ReadOnlyFolder() {
    if (!undo_.empty() && Start(undo_)) Await([&] { return !Refuses(); });
  }
  bool ok() const { return !undo_.empty(); }
  const std::string& reason() const { return reason_; }

 private:
  static bool Start(const std::string& command) {
    std::wstring line = L"/bin/sh -c \"" + std::wstring(command.begin(), command.end()) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
  }
  template <typename Condition>
  static bool Await(Condition condition) {
    for (int i = 0; i < 250; ++i) {
      if (condition()) return true;
      Sleep(20);
    }
    return false;
  }
  bool Refuses() const {
    const std::wstring probe = folder_ + L"\\probe.tmp";
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return GetLastError() != ERROR_FILE_EXISTS;
    CloseHandle(h);
    DeleteFileW(probe.c_str());
    return false;
  }

  std::wstring folder_;
  std::string undo_, reason_;
};

TEST(AnsiTextFilesTest, ReplaceInReadOnlyFolderFailsAndKeepsOldFile) {
  TempFolder folder;
  const std::wstring path = folder.File(L"Zelmor_temp.txt");
  WriteRaw(path, "old\r\n");
  AnsiTextFiles files;
  bool replaced = false;
  std::vector<std::wstring> entries;
  {
    ReadOnlyFolder read_only(folder.path());
    if (!read_only.ok()) GTEST_SKIP() << read_only.reason();
    replaced = files.Replace(path, L"new\r\n\r\n");
    entries = FolderNames(folder.path());
  }
  EXPECT_FALSE(replaced);
  EXPECT_NE(files.last_error(), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(RawBytes(path), "old\r\n");
  EXPECT_EQ(entries.size(), 1u) << "temporary left behind: " << Names(entries);
}

TEST(AnsiTextFilesTest, ExistsAndRename) {
  TempFolder folder;
  AnsiTextFiles files;
  const std::wstring a = folder.File(L"a.txt"), b = folder.File(L"b.txt");
  EXPECT_FALSE(files.Exists(a));
  EXPECT_FALSE(files.Exists(folder.path())) << "a folder is not a file";
  WriteRaw(a, "A");
  WriteRaw(b, "B");
  EXPECT_TRUE(files.Exists(a));
  EXPECT_FALSE(files.Rename(a, b)) << "a set-aside file is never replaced";
  EXPECT_EQ(RawBytes(b), "B");
  const std::wstring c = folder.File(L"c.txt");
  ASSERT_TRUE(files.Rename(a, c));
  EXPECT_FALSE(files.Exists(a));
  EXPECT_EQ(RawBytes(c), "A");
  EXPECT_FALSE(files.Rename(a, b));
  EXPECT_EQ(files.last_error(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

}  // namespace
}  // namespace zelmor::logfiles

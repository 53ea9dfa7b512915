// Settings writes go through a copy that replaces the file only once it reads back whole. Whatever
// the value, the file must end up as the profile functions would have written it in place, and
// no copy may be left beside it.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files_win.h"
#include "base/codepage_win.h"
#include "settings/profile_store_win.h"

namespace zelmor::settings {
namespace {

using test_support::FolderNames;
using test_support::ReadBytes;
using test_support::WriteBytes;

TEST(SettingsCopyTest, WriteThroughTheCopyGivesTheFileTheInPlaceWriteGives) {
  const std::string existing =
      "; kept by hand\r\n[LOGpos]\r\nELTop=120\r\nELLeft=240\r\n[Zelmor]\r\nLOGdat=#DT #MM\r\nRunning=0\r\n";
  struct Row {
    const char* what;
    std::string preset;  // the file before the write; empty: no file
    std::wstring section, key, value;
  };
  const Row rows[] = {
      {"first write creates the file", "", L"Zelmor", L"Running", L"1"},
      {"replaces a value", existing, L"LOGpos", L"ELTop", L"1260"},
      {"adds a key to a section", existing, L"LOGpos", L"ELWidth", L"7110"},
      {"adds a section", existing, L"Other", L"Key", L"v"},
      // Blanks and quotes around a value: what the platform makes of them on reading must not pass
      // for a cut write.
      {"trailing blanks", existing, L"Zelmor", L"LOGdat", L"#DT #MM   "},
      {"leading blanks", existing, L"Zelmor", L"LOGdat", L"  #DT #MM"},
      {"quoted", existing, L"Zelmor", L"LOGdat", L"\"#DT\" #MM"},
      {"Japanese", existing, L"Zelmor", L"LOGfol", L"Z:\\運用\\ログ"},
      {"empty value", existing, L"Zelmor", L"LOGdat", L""},
  };
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  int n = 0;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    const std::wstring folder =
        std::wstring(temp) + L"zelmor-settings-copy-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++n);
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring through_copy = folder + L"\\a.ini", in_place = folder + L"\\b.ini";
    if (!row.preset.empty()) {
      WriteBytes(through_copy, row.preset);
      WriteBytes(in_place, row.preset);
    }
    IniProfileStore store(through_copy);
    store.Put(row.section, row.key, row.value);
    WritePrivateProfileStringA(base::ToAnsi(row.section).c_str(), base::ToAnsi(row.key).c_str(),
                               base::ToAnsi(row.value).c_str(), base::ToAnsi(in_place).c_str());
    EXPECT_EQ(ReadBytes(through_copy), ReadBytes(in_place));
    EXPECT_EQ(FolderNames(folder).size(), 2u) << "a copy is left beside the file";
    // Read back through the store as the program reads it.
    IniProfileStore reader(in_place);
    EXPECT_EQ(store.Get(row.section, row.key), reader.Get(row.section, row.key));
    DeleteFileW(through_copy.c_str());
    DeleteFileW(in_place.c_str());
    RemoveDirectoryW(folder.c_str());
  }
}

}  // namespace
}  // namespace zelmor::settings

// The settings file through the real profile functions, in the ANSI code page.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/codepage_win.h"
#include "garbage.h"
#include "settings/keys.h"
#include "settings/profile.h"
#include "settings/profile_store_win.h"

namespace zelmor::settings {
namespace {

class ProfileFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    path_ = std::wstring(folder) + L"zelmor-profile-" + std::to_wstring(GetCurrentProcessId()) + L".ini";
    DeleteFileW(path_.c_str());
  }
  void TearDown() override { DeleteFileW(path_.c_str()); }

  std::string FileBytes() {
    std::ifstream in(path_.c_str(), std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  std::wstring path_;
};

// Missing and empty are told apart whatever the key holds: no stored text stands for "missing".
TEST_F(ProfileFileTest, MissingFileSectionOrKeyReadsAsNothing) {
  IniProfileStore store(path_);
  EXPECT_EQ(store.Get(kPositionSection, kTopKey), std::nullopt) << "no file";
  {
    std::ofstream out(path_.c_str(), std::ios::binary);
    out << "[LOGpos]\r\nELTop=\r\nELLeft=-\r\nELWidth=LOGpos\r\n";
  }
  struct Row {
    const wchar_t* section;
    const wchar_t* key;
    std::optional<std::wstring> read;
  };
  const Row rows[] = {
      {L"LOGpos", L"ELTop", L""},  // present and empty
      {L"LOGpos", L"ELLeft", L"-"},
      {L"LOGpos", L"ELWidth", L"LOGpos"},
      {L"LOGpos", L"ELHeight", std::nullopt},
      {L"Zelmor", L"ELTop", std::nullopt},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(store.Get(row.section, row.key), row.read) << testing::PrintToString(std::wstring(row.key));
  }
}

TEST_F(ProfileFileTest, FirstWriteCreatesFileSectionAndKeyInShiftJis) {
  IniProfileStore store(path_);
  EXPECT_TRUE(store.Put(kMainSection, kTemplateKey, L"#DT 衛星 #MM"));
  const std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("[Zelmor]"), std::string::npos) << bytes;
  // 衛星 in code page 932.
  EXPECT_NE(bytes.find("LOGdat=#DT \x89\x71\x90\xAF #MM"), std::string::npos) << bytes;
  EXPECT_EQ(store.Get(kMainSection, kTemplateKey), L"#DT 衛星 #MM");
}

// Values are stored whole and come back whole, however long: a fixed buffer would cut a long
// template, and Wine's narrow write function mangles values past 32,766 UTF-16 characters.
TEST_F(ProfileFileTest, LongValuesComeBackWholeAndLeaveTheOtherKeys) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page (run with LC_ALL=ja_JP.UTF-8)";
  IniProfileStore store(path_);
  store.Put(kPositionSection, kTopKey, L"1260");
  struct Row {
    size_t length;     // UTF-16 characters
    bool double_byte;  // every third character two bytes in code page 932
  };
  const Row rows[] = {
      {127, true},        // the platform's customary 128-byte buffer, just fitting
      {128, true},        // and just not
      {4000, true},
      {32766, false},     // the longest value Wine's narrow write takes
      {32767, false},     // one more: Wine stored garbage or crashed
      {40000, true},      // a 40 KB template
      {70000, false},     // 64 KB and more in the ANSI code page: Wine wrapped the length
      {1000000, true},    // 1 MB
  };
  for (const Row& row : rows) {
    std::wstring long_value;
    while (long_value.size() < row.length)
      long_value += (row.double_byte && long_value.size() % 3 == 0) ? L"衛" : L"A";
    long_value.back() = L'Z';  // a cut shows at the end
    store.Put(kMainSection, kTemplateKey, long_value);
    const std::wstring back = store.Get(kMainSection, kTemplateKey).value_or(L"(missing)");
    EXPECT_EQ(back.size(), long_value.size()) << "length " << row.length;
    EXPECT_TRUE(back == long_value) << "length " << row.length;
    // In the file as the narrow function writes it: one line, in Shift-JIS.
    EXPECT_NE(FileBytes().find("LOGdat=" + base::ToAnsi(long_value) + "\r\n"), std::string::npos)
        << "length " << row.length;
    EXPECT_EQ(store.Get(kPositionSection, kTopKey), L"1260") << "length " << row.length;
  }
}

TEST_F(ProfileFileTest, EmptyValueIsNotMissingAndOtherSectionsStay) {
  IniProfileStore store(path_);
  store.Put(kPositionSection, kTopKey, L"1260");
  store.Put(kMainSection, kTemplateKey, L"");
  store.Put(kMainSection, kTemplateKey, L"x");
  store.Put(kMainSection, kTemplateKey, L"");
  EXPECT_EQ(store.Get(kMainSection, kTemplateKey), L"");
  EXPECT_EQ(store.Get(kPositionSection, kTopKey), L"1260");
  // Names match regardless of case, and a key written twice stands once.
  EXPECT_EQ(store.Get(L"zelmor", L"logdat"), L"");
  const std::string bytes = FileBytes();
  EXPECT_EQ(bytes.find("LOGdat"), bytes.rfind("LOGdat")) << bytes;
}

// A section whose keys the operator chooses, listed as the file holds it: Shift-JIS, spaces
// around names and values, comments and lines that are not entries, and more than a first
// buffer takes.
TEST_F(ProfileFileTest, EntriesListTheKeysOfOneSectionWithTheirValues) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page (run with LC_ALL=ja_JP.UTF-8)";
  using Entries = std::vector<std::pair<std::wstring, std::wstring>>;
  IniProfileStore store(path_);
  EXPECT_EQ(store.Entries(kSatNamesSection), Entries{}) << "no file";

  std::string many;
  Entries many_entries;
  for (int i = 0; i < 300; ++i) {
    many += "Sat" + std::to_string(i) + "=Name" + std::to_string(i) + "\r\n";
    many_entries.emplace_back(L"Sat" + std::to_wstring(i), L"Name" + std::to_wstring(i));
  }
  {
    std::ofstream out(path_.c_str(), std::ios::binary);
    // ふじ in code page 932.
    out << "[Zelmor]\r\nLOGdat=#DT\r\n[SatNames]\r\n GreenCube = IO-117 \r\nAO-07=AO-7\r\n; note=1\r\n"
           "no equals sign\r\n=orphan\r\n\x82\xd3\x82\xb6=FO-29\r\nEmpty=\r\n[Other]\r\nK=V\r\n[Many]\r\n"
        << many;
  }
  EXPECT_EQ(store.Entries(kSatNamesSection),
            (Entries{{L"GreenCube", L"IO-117"}, {L"AO-07", L"AO-7"}, {L"ふじ", L"FO-29"}, {L"Empty", L""}}));
  EXPECT_EQ(store.Entries(L"satnames").size(), 4u) << "section names match regardless of case";
  EXPECT_EQ(store.Entries(L"Many"), many_entries);
  EXPECT_EQ(store.Entries(L"Missing"), Entries{});
}

std::string Garbage(size_t size) { return test_support::Garbage(size, 12345); }

// A settings file damaged by a crash, a full disk or another program: reading any key returns
// without crashing, the well-formed keys still read, and writing afterwards works.
TEST_F(ProfileFileTest, DamagedFilesStillReadAndTakeWrites) {
  const std::string good = "[LOGpos]\r\nELTop=1500\r\n";
  struct Row {
    const char* what;
    std::string bytes;
    std::optional<std::wstring> top;  // what "ELTop" reads back
  };
  const Row rows[] = {
      {"garbage before the good lines", Garbage(65536) + "\r\n" + good, L"1500"},
      {"garbage after the good lines", good + Garbage(65536), L"1500"},
      // A leading NUL hides the section header: the key is missing, nothing worse.
      {"NUL before the section", std::string("\0", 1) + good, std::nullopt},
      {"NUL inside the value", std::string("[LOGpos]\r\nELTop=15\0\0\r\n", 22), L"15"},
      {"NULs between the lines", std::string("[LOGpos]\r\n\0\0\0\r\nELTop=1500\r\n", 27), L"1500"},
      // Taken for UTF-16 by its first two bytes.
      {"UTF-16 signature then garbage", "\xff\xfe" + Garbage(4097), std::nullopt},
      {"UTF-8 signature then garbage", "\xef\xbb\xbf" + Garbage(4096) + "\r\n" + good, L"1500"},
      {"last line cut", "[LOGpos]\r\nELTop=15", L"15"},
      {"section header cut", good + "[Zelm", L"1500"},
      {"cut after a lead byte", good + "[Zelmor]\r\nLOGdat=#DT \x89", L"1500"},
      {"40 KB of lead bytes as a value", good + "ELLeft=" + std::string(40000, '\x81') + "\r\n", L"1500"},
      {"1 MB line without an equals sign", std::string(1 << 20, 'x') + "\r\n" + good, L"1500"},
      {"1 MB of garbage as a value", good + "[Zelmor]\r\nLOGdat=" + Garbage(1 << 20), L"1500"},
      {"only garbage", Garbage(65536), std::nullopt},
  };
  int n = 0;
  for (const Row& row : rows) {
    // A file of its own per row: the profile functions cache what they read.
    const std::wstring path = path_ + L"." + std::to_wstring(++n);
    {
      std::ofstream out(path.c_str(), std::ios::binary);
      out << row.bytes;
    }
    IniProfileStore store(path);
    for (const wchar_t* key : {kTemplateKey, kLogFolderKey, kRunningKey}) store.Get(kMainSection, key);
    for (const wchar_t* key : {kLeftKey, kWidthKey, kHeightKey}) store.Get(kPositionSection, key);
    EXPECT_EQ(store.Get(kPositionSection, kTopKey), row.top) << row.what;

    EXPECT_TRUE(store.Put(kPositionSection, kHeightKey, L"4275")) << row.what;
    store.Put(kMainSection, kTemplateKey, L"#DT 衛星 #MM");
    EXPECT_EQ(store.Get(kMainSection, kTemplateKey), L"#DT 衛星 #MM") << row.what;
    EXPECT_EQ(store.Get(kPositionSection, kHeightKey), L"4275") << row.what;
    EXPECT_EQ(store.Get(kPositionSection, kTopKey), row.top) << row.what << ": the write lost another key";
    DeleteFileW(path.c_str());
  }
}

}  // namespace
}  // namespace zelmor::settings

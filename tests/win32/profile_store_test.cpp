// The settings file through the real profile functions, in the ANSI code page.

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "platform/codepage_win.h"
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

TEST_F(ProfileFileTest, MissingFileReadsBackTheSectionName) {
  IniProfileStore store(path_);
  Profile profile(store);
  profile.CurrentSection = kPositionSection;
  std::wstring value = L"sentinel";
  profile.ProfileRead(kTopKey, value);
  EXPECT_EQ(value, L"LOGpos");
}

TEST_F(ProfileFileTest, FirstWriteCreatesFileSectionAndKeyInShiftJis) {
  IniProfileStore store(path_);
  Profile profile(store);
  profile.CurrentSection = kMainSection;
  profile.ProfileWrite(kTemplateKey, L"#DT 衛星 #MM");
  const std::string bytes = FileBytes();
  EXPECT_NE(bytes.find("[Zelmor]"), std::string::npos) << bytes;
  // 衛星 in code page 932.
  EXPECT_NE(bytes.find("LOGdat=#DT \x89\x71\x90\xAF #MM"), std::string::npos) << bytes;
  std::wstring value;
  profile.ProfileRead(kTemplateKey, value);
  EXPECT_EQ(value, L"#DT 衛星 #MM");
}

TEST_F(ProfileFileTest, LongValuesComeBackWhole) {
  IniProfileStore store(path_);
  Profile profile(store);
  profile.CurrentSection = kMainSection;
  // Wine 8 itself faults on a 40,000-character value; templates are far shorter than 4,000.
  for (size_t length : {127u, 128u, 255u, 1000u, 4000u}) {
    // Double-byte characters make a cut in the middle of one visible if it happened.
    std::wstring long_value;
    while (long_value.size() < length) long_value += (long_value.size() % 3 == 0) ? L"衛" : L"A";
    profile.ProfileWrite(kTemplateKey, long_value);
    std::wstring back;
    profile.ProfileRead(kTemplateKey, back);
    EXPECT_EQ(back, long_value) << "length " << length;
  }
}

TEST_F(ProfileFileTest, EmptyValueIsNotMissingAndOtherSectionsStay) {
  IniProfileStore store(path_);
  Profile profile(store);
  profile.CurrentSection = kPositionSection;
  profile.ProfileWrite(kTopKey, L"1260");
  profile.CurrentSection = kMainSection;
  profile.ProfileWrite(kTemplateKey, L"");
  profile.ProfileWrite(kTemplateKey, L"x");
  profile.ProfileWrite(kTemplateKey, L"");
  std::wstring value = L"sentinel";
  profile.ProfileRead(kTemplateKey, value);
  EXPECT_EQ(value, L"");
  profile.CurrentSection = kPositionSection;
  profile.ProfileRead(kTopKey, value);
  EXPECT_EQ(value, L"1260");
  // Names match regardless of case, and a key written twice stands once.
  profile.CurrentSection = L"zelmor";
  profile.ProfileRead(L"logdat", value);
  EXPECT_EQ(value, L"");
  const std::string bytes = FileBytes();
  EXPECT_EQ(bytes.find("LOGdat"), bytes.rfind("LOGdat")) << bytes;
}

TEST_F(ProfileFileTest, BinaryAndTruncatedFilesGiveDefaultsWithoutCrashing) {
  {
    std::ofstream out(path_.c_str(), std::ios::binary);
    out << std::string("\0\xff\xfe[LOGpos]\nELTop=12", 18) << std::string(50000, '\x81');
  }
  IniProfileStore store(path_);
  Profile profile(store);
  profile.CurrentSection = kPositionSection;
  std::wstring value;
  profile.ProfileRead(kWidthKey, value);
  EXPECT_EQ(value, L"LOGpos");
}

}  // namespace
}  // namespace zelmor::settings

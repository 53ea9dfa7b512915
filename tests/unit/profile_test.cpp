// The settings API as every caller sees it: a read gives the value or nothing.

#include "settings/profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "memory_profile_store.h"

namespace zelmor::settings {
namespace {

struct ReadRow {
  const char* why;
  const wchar_t* section;
  const wchar_t* key;
  std::optional<std::wstring> stored;  // nothing: the key is not in the file
  std::optional<std::wstring> read;
};

// Files of the original program and of earlier versions say "missing" with the section's own name
// in six keys; no other key has that rule, so a new key may hold any text.
TEST(ProfileTest, SectionNameMeansMissingOnlyInTheKeysOfOlderFiles) {
  const ReadRow rows[] = {
      {"ELTop of an old file", L"LOGpos", L"ELTop", L"LOGpos", std::nullopt},
      {"ELLeft of an old file", L"LOGpos", L"ELLeft", L"LOGpos", std::nullopt},
      {"ELWidth of an old file", L"LOGpos", L"ELWidth", L"LOGpos", std::nullopt},
      {"ELHeight of an old file", L"LOGpos", L"ELHeight", L"LOGpos", std::nullopt},
      {"LOGdat of an old file", L"Zelmor", L"LOGdat", L"Zelmor", std::nullopt},
      {"LOGfol of an old file", L"Zelmor", L"LOGfol", L"Zelmor", std::nullopt},
      {"the comparison is exact, as it always was", L"LOGpos", L"ELTop", L"logpos", L"logpos"},
      {"another section's name is a value", L"Zelmor", L"LOGdat", L"LOGpos", L"LOGpos"},
      {"the running mark is a new key", L"Zelmor", L"Running", L"Zelmor", L"Zelmor"},
      {"a field of the whole-contact plan", L"HLfields", L"REM1", L"HLfields", L"HLfields"},
      {"a satellite's spelling", L"SatNames", L"SatNames", L"SatNames", L"SatNames"},
      {"a missing key", L"Zelmor", L"LOGfol", std::nullopt, std::nullopt},
      {"empty is a value, not missing", L"Zelmor", L"LOGdat", L"", L""},
      {"an ordinary value", L"LOGpos", L"ELWidth", L"8610", L"8610"},
  };
  for (const ReadRow& row : rows) {
    MemoryProfileStore store;
    if (row.stored) store.Put(row.section, row.key, *row.stored);
    Profile profile(store);
    EXPECT_EQ(profile.ProfileRead(row.section, row.key), row.read) << row.why;
  }
}

// A part that follows a setting others write (the log folder) hears of what was stored, and only
// of that: a refused write leaves the old value in force.
TEST(ProfileTest, WatcherHearsOfValuesStoredNotOfRefusedOnes) {
  struct Heard : ProfileWatcher {
    std::vector<std::wstring> names;
    void OnProfileWritten(const std::wstring& section, const std::wstring& key) override {
      names.push_back(section + L"/" + key);
    }
  } heard;
  MemoryProfileStore store;
  Profile profile(store);
  profile.set_watcher(&heard);
  EXPECT_TRUE(profile.ProfileWrite(L"Zelmor", L"LOGfol", L"D:\\logs"));
  store.refuse_writes = true;
  EXPECT_FALSE(profile.ProfileWrite(L"Zelmor", L"LOGfol", L"E:\\other"));
  store.refuse_writes = false;
  profile.set_watcher(nullptr);
  EXPECT_TRUE(profile.ProfileWrite(L"Zelmor", L"Running", L"1"));
  EXPECT_EQ(heard.names, std::vector<std::wstring>{L"Zelmor/LOGfol"});
}

}  // namespace
}  // namespace zelmor::settings

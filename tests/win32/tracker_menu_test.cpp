// "追跡ソフト(&R)" as the operator sees it when it opens: the radio check on the choice, "(接続中)"
// after the program the feed reads now; and a click, which stores the choice and looks at once.

#include "trackers/tracker_menu_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "base/resource.h"
#include "memory_profile_store.h"
#include "printable.h"
#include "settings/keys.h"

namespace zelmor::trackers {
namespace {

using entry::Tracker;
using entry::TrackerChoice;

class FakeSource : public entry::TrackerSource {
 public:
  explicit FakeSource(Tracker kind) : kind_(kind) {}
  bool running = false;
  Tracker Kind() const override { return kind_; }
  bool Connect() override { return open_ = running; }
  void Disconnect() override { open_ = false; }
  bool Request(int, std::wstring& value) override {
    value = L"1";
    return !Down(0);
  }
  bool Down(int) const override { return !open_ || !running; }

 private:
  Tracker kind_;
  bool open_ = false;
};

struct TrackerMenuTest : ::testing::Test {
  FakeSource csatmate{Tracker::kCsatmate}, satpc32{Tracker::kSatPc32}, orbitron{Tracker::kOrbitron};
  entry::TrackerSetting setting;
  entry::Feed feed{{&csatmate, &satpc32, &orbitron}, &setting};
  settings::MemoryProfileStore store;
  settings::Profile profile{store};
  TrackerMenu menu{feed, setting, profile};
  base::UniqueMenu bar{LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINMENU))};
  HMENU trackers = GetSubMenu(GetSubMenu(bar.get(), 0), 8);

  // The items as shown once the menu opens: "*" before the checked one.
  std::string Shown() {
    menu.OnMenuOpening(trackers);
    std::string out;
    for (int i = 0; i < GetMenuItemCount(trackers); ++i) {
      wchar_t text[64] = {};
      GetMenuStringW(trackers, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
      if (!out.empty()) out += " | ";
      if (GetMenuState(trackers, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) out += "*";
      out += test_support::Utf8(text);
    }
    return out;
  }
};

TEST_F(TrackerMenuTest, ChecksTheChoiceAndMarksTheProgramConnected) {
  ASSERT_NE(trackers, nullptr);
  menu.Load();
  EXPECT_EQ(Shown(), "*自動 | CSATmate | SatPC32 | Orbitron");
  satpc32.running = true;
  feed.SetUp();
  EXPECT_EQ(Shown(), "*自動 | CSATmate | SatPC32 (接続中) | Orbitron");
  // It went: no mark, until an entry or a choice finds another.
  satpc32.running = false;
  EXPECT_EQ(Shown(), "*自動 | CSATmate | SatPC32 | Orbitron");

  orbitron.running = true;
  EXPECT_TRUE(menu.OnCommand(IDM_TRACKER_ORBITRON));
  EXPECT_EQ(Shown(), "自動 | CSATmate | SatPC32 | *Orbitron (接続中)");
  EXPECT_EQ(store.Get(settings::kMainSection, settings::kTrackerKey, L"(none)"), L"Orbitron");

  csatmate.running = true;
  EXPECT_TRUE(menu.OnCommand(IDM_TRACKER_AUTO));
  EXPECT_EQ(Shown(), "*自動 | CSATmate (接続中) | SatPC32 | Orbitron");
  EXPECT_EQ(store.Get(settings::kMainSection, settings::kTrackerKey, L"(none)"), L"auto");
  EXPECT_FALSE(menu.OnCommand(IDM_WORKED_SUMMARY));
}

TEST_F(TrackerMenuTest, TheStoredChoiceIsCheckedAndUsed) {
  store.Put(settings::kMainSection, settings::kTrackerKey, L"satpc32");
  menu.Load();
  csatmate.running = satpc32.running = true;
  EXPECT_TRUE(feed.SetUp());
  EXPECT_EQ(Shown(), "自動 | CSATmate | *SatPC32 (接続中) | Orbitron");
}

}  // namespace
}  // namespace zelmor::trackers

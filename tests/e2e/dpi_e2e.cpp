// Zelmor at the display scalings operators use (96, 120, 144 and 192 DPI, the prefix's LogPixels
// setting): the window and its boxes at their twips, and stored twips kept across a change of
// scaling.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/resource.h"
#include "harness.h"

namespace e2e {
namespace {

// The system DPI that Zelmor processes started from now on see; the old setting comes back after.
class ScopedLogPixels {
 public:
  explicit ScopedLogPixels(DWORD dpi) {
    DWORD size = sizeof(old_);
    had_ = RegGetValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", RRF_RT_REG_DWORD, nullptr, &old_, &size) ==
           ERROR_SUCCESS;
    Set(dpi);
  }
  ~ScopedLogPixels() {
    if (had_) {
      Set(old_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels");
    }
  }

 private:
  static constexpr wchar_t kKey[] = L"Control Panel\\Desktop";
  static void Set(DWORD dpi) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
  }
  DWORD old_ = 96;
  bool had_ = false;
};

int Px(double twips, int dpi) { return static_cast<int>(twips * dpi / 1440.0 + 0.5); }

// The whole number stored under `key`, or -1.
int Stored(const std::string& ini, const std::string& key) {
  const size_t at = ini.find(key + "=");
  return at == std::string::npos ? -1 : std::atoi(ini.c_str() + at + key.size() + 1);
}

TEST(DpiE2E, WindowAndBoxesStandAtTheirTwipsAtEveryScaling) {
  for (int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    ScopedLogPixels scaling(static_cast<DWORD>(dpi));
    TempFolder folder;
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    Settle(app.window());

    const RECT outer = WindowRectOf(app.window());
    // One pixel either way: the frame is rounded to whole pixels.
    EXPECT_NEAR(outer.right - outer.left, Px(7110, dpi), 1);
    EXPECT_NEAR(outer.bottom - outer.top, Px(4275, dpi), 1);

    RECT client{};
    GetClientRect(app.window(), &client);
    const RECT pane = ChildRect(app.pane());
    const RECT entry = ChildRect(app.entry_box());
    EXPECT_NEAR(pane.right - pane.left, Px(7110 - 135, dpi), 2);
    EXPECT_NEAR(pane.bottom - pane.top, Px(4275 - 1260, dpi), 2);
    EXPECT_NEAR(entry.top, pane.bottom + Px(50, dpi), 2);
    EXPECT_NEAR(entry.bottom - entry.top, Px(420, dpi), 2);
    EXPECT_NEAR(entry.right - entry.left, pane.right - pane.left, 1);
    // Both boxes inside the client area, one under the other.
    EXPECT_GE(pane.left, 0);
    EXPECT_GE(pane.top, 0);
    EXPECT_LE(pane.bottom, entry.top);
    EXPECT_LE(entry.right, client.right);
    EXPECT_LE(entry.bottom, client.bottom);
    // The entry box's font scales with the box: a 14.25-point line fits, not a 96-DPI one.
    EXPECT_GT(entry.bottom - entry.top, Px(14.25 * 20, dpi) - 2);

    app.RequestClose();
    ASSERT_TRUE(app.WaitExit());
    // Written back as twips, whatever the scaling: within a pixel's worth of what was stored.
    const std::string ini = app.Ini();
    EXPECT_NEAR(Stored(ini, "ELWidth"), 7110, 1440 / dpi + 1) << ini;
    EXPECT_NEAR(Stored(ini, "ELHeight"), 4275, 1440 / dpi + 1) << ini;
  }
}

TEST(DpiE2E, ARestartAtAnotherScalingKeepsThePhysicalSize) {
  TempFolder folder;
  WriteBytes(folder.File(L"Zelmor.ini"),
             "[LOGpos]\r\nELTop=1440\r\nELLeft=1440\r\nELWidth=8640\r\nELHeight=5760\r\n");
  for (int dpi : {96, 144, 120}) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    ScopedLogPixels scaling(static_cast<DWORD>(dpi));
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    const RECT outer = WindowRectOf(app.window());
    // Six inches by four, one inch from the top left corner, at every scaling.
    EXPECT_EQ(outer.left, dpi);
    EXPECT_EQ(outer.top, dpi);
    EXPECT_EQ(outer.right - outer.left, 6 * dpi);
    EXPECT_EQ(outer.bottom - outer.top, 4 * dpi);
    app.RequestClose();
    ASSERT_TRUE(app.WaitExit());
    const std::string ini = app.Ini();
    EXPECT_EQ(Stored(ini, "ELWidth"), 8640) << ini;
    EXPECT_EQ(Stored(ini, "ELHeight"), 5760) << ini;
    EXPECT_EQ(Stored(ini, "ELTop"), 1440) << ini;
  }
}

}  // namespace
}  // namespace e2e

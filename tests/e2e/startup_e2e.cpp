// Start-up, layout and close of the main window, seen from outside.

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/resource.h"
#include "harness.h"

namespace e2e {
namespace {

// The resize rule, checked on what the window shows at its own DPI: the log pane at the client
// area's origin, 135 twips narrower and 1260 twips lower than the window's outer size; the entry
// box 50 twips under the pane, as wide, 420 twips high. Twips become pixels twice on the way (the
// outer size read, the box sizes set), so each size may be one pixel off the exact figure.
::testing::AssertionResult LaidOutByTheResizeRule(const Zelmor& app) {
  const int dpi = DpiOf(app.window());
  const RECT outer = WindowRectOf(app.window());
  const RECT pane = ChildRect(app.pane());
  const RECT entry = ChildRect(app.entry_box());
  auto within_a_pixel = [](long actual, long expected) { return std::labs(actual - expected) <= 1; };
  auto px = [dpi](int twips) { return TwipsToPixels(twips, dpi); };
  const bool laid_out = pane.left == 0 && pane.top == 0 &&
                        within_a_pixel(pane.right, outer.right - outer.left - px(135)) &&
                        within_a_pixel(pane.bottom, outer.bottom - outer.top - px(1260)) && entry.left == 0 &&
                        within_a_pixel(entry.top, pane.bottom + px(50)) && entry.right == pane.right &&
                        within_a_pixel(entry.bottom - entry.top, px(420));
  if (laid_out) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "window " << Describe(outer) << ", pane " << Describe(pane)
                                       << ", entry box " << Describe(entry) << " at " << dpi << " dpi";
}

TEST(StartupE2E, FirstStartUsesDefaultGeometryCaptionAndFocus) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND w = app.window();
  EXPECT_EQ(TextOf(w), L"Zelmor Ver 1.00");
  EXPECT_TRUE(app.PlacedAt(0, 0, 7110, 4275));

  // At the default size both boxes lie within the client area, one above the other.
  EXPECT_TRUE(LaidOutByTheResizeRule(app));
  const RECT client = ClientRectOf(w), pane = ChildRect(app.pane()), entry = ChildRect(app.entry_box());
  EXPECT_TRUE(Inside(pane, client)) << Describe(pane) << " in " << Describe(client);
  EXPECT_TRUE(Inside(entry, client)) << Describe(entry) << " in " << Describe(client);
  EXPECT_FALSE(Overlap(pane, entry));
  EXPECT_FALSE(IsWindowEnabled(app.pane()));
  EXPECT_TRUE(IsWindowEnabled(app.entry_box()));
  for (int id = IDC_FEED_LABEL1; id <= IDC_FEED_LABEL5; ++id) {
    EXPECT_FALSE(IsWindowVisible(app.control(id))) << id;
    EXPECT_EQ(ChildRect(app.control(id)).top, TwipsToPixels(4320, DpiOf(w))) << id;
  }
  EXPECT_EQ(TextOf(app.control(IDC_FEED_LABEL1)), L"Label1");

  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui);
  EXPECT_EQ(gui.hwndFocus, app.entry_box());

  // Closing right after start asks nothing and writes the geometry as whole twips.
  app.RequestClose();
  ASSERT_TRUE(app.WaitExit());
  const std::string ini = app.Ini();
  EXPECT_NE(ini.find("[LOGpos]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELTop=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELLeft=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELWidth=7110\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELHeight=4275\r\n"), std::string::npos) << ini;
}

TEST(StartupE2E, StoredGeometrySurvivesARestartAndResizeFollowsTheWindow) {
  TempFolder folder;
  WriteBytes(folder.File(kSettings), "[LOGpos]\r\nELTop=1500\r\nELLeft=3000\r\nELWidth=8610\r\nELHeight=5775\r\n");
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.PlacedAt(1500, 3000, 8610, 5775));
  EXPECT_TRUE(LaidOutByTheResizeRule(app));
  const int dpi = DpiOf(app.window());

  // A very small window must not break anything, and the layout follows the window back.
  SetWindowPos(app.window(), nullptr, 0, 0, 20, 20, SWP_NOZORDER | SWP_NOMOVE);
  Settle(app.window());
  ShowWindow(app.window(), SW_MINIMIZE);
  Settle(app.window());
  ShowWindow(app.window(), SW_RESTORE);
  Settle(app.window());
  MoveWindow(app.window(), 100, 60, 574, 385, TRUE);
  Settle(app.window());
  EXPECT_TRUE(LaidOutByTheResizeRule(app));
  ShowWindow(app.window(), SW_MINIMIZE);
  Settle(app.window());

  // Closed while minimized, the normal rectangle is what is stored.
  app.RequestClose();
  ASSERT_TRUE(app.WaitExit());
  const std::string ini = app.Ini();
  EXPECT_NE(ini.find("ELTop=" + std::to_string(PixelsToTwips(60, dpi)) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELLeft=" + std::to_string(PixelsToTwips(100, dpi)) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELWidth=" + std::to_string(PixelsToTwips(574, dpi)) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELHeight=" + std::to_string(PixelsToTwips(385, dpi)) + "\r\n"), std::string::npos) << ini;

  Zelmor again(folder);
  ASSERT_TRUE(again.Start());
  const RECT back = WindowRectOf(again.window());
  EXPECT_EQ(back.left, 100);
  EXPECT_EQ(back.top, 60);
  EXPECT_EQ(back.right - back.left, 574);
  EXPECT_EQ(back.bottom - back.top, 385);
  again.RequestClose();
  ASSERT_TRUE(again.WaitExit());
}

TEST(StartupE2E, NonNumericWidthKeepsTheRestOfStartUp) {
  TempFolder folder;
  WriteBytes(folder.File(kSettings), "[LOGpos]\r\nELTop=750\r\nELLeft=1500\r\nELWidth=abc\r\nELHeight=\r\n");
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(app.PlacedAt(750, 1500, 7110, 4275));
  app.RequestClose();
  ASSERT_TRUE(app.WaitExit());
}

}  // namespace
}  // namespace e2e

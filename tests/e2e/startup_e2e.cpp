// Start-up, layout and close of the main window, seen from outside.

#include <gtest/gtest.h>

#include "base/resource.h"
#include "harness.h"

namespace e2e {
namespace {

std::string Ini(const Zelmor& app) { return ReadBytes(app.File(L"Zelmor.ini")); }

TEST(StartupE2E, FirstStartUsesDefaultGeometryCaptionAndFocus) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  HWND w = app.window();
  EXPECT_EQ(TextOf(w), L"Zelmor Ver 1.00");
  const RECT r = WindowRectOf(w);
  EXPECT_EQ(Twips(r.left), 0);
  EXPECT_EQ(Twips(r.top), 0);
  EXPECT_EQ(Twips(r.right - r.left), 7110);
  EXPECT_EQ(Twips(r.bottom - r.top), 4275);

  // At the default size the log pane has exactly its drawn size and the entry box follows it.
  const RECT pane = ChildRect(app.control(IDC_LOG_PANE));
  const RECT entry = ChildRect(app.control(IDC_ENTRY_BOX));
  EXPECT_NEAR(Twips(pane.right - pane.left), 6975, 15);
  EXPECT_NEAR(Twips(pane.bottom - pane.top), 3015, 15);
  EXPECT_EQ(pane.left, 0);
  EXPECT_EQ(pane.top, 0);
  EXPECT_NEAR(Twips(entry.top), 3065, 15);
  EXPECT_NEAR(Twips(entry.right - entry.left), 6975, 15);
  EXPECT_FALSE(IsWindowEnabled(app.control(IDC_LOG_PANE)));
  EXPECT_TRUE(IsWindowEnabled(app.control(IDC_ENTRY_BOX)));
  for (int id = IDC_FEED_LABEL1; id <= IDC_FEED_LABEL5; ++id) {
    EXPECT_FALSE(IsWindowVisible(app.control(id))) << id;
    EXPECT_NEAR(Twips(ChildRect(app.control(id)).top), 4320, 15) << id;
  }
  EXPECT_EQ(TextOf(app.control(IDC_FEED_LABEL1)), L"Label1");

  GUITHREADINFO gui{};
  gui.cbSize = sizeof(gui);
  GetGUIThreadInfo(GetWindowThreadProcessId(w, nullptr), &gui);
  EXPECT_EQ(gui.hwndFocus, app.control(IDC_ENTRY_BOX));

  // Closing right after start asks nothing and writes the geometry as whole twips.
  app.RequestClose();
  ASSERT_TRUE(app.WaitExit());
  const std::string ini = Ini(app);
  EXPECT_NE(ini.find("[LOGpos]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELTop=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELLeft=0\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELWidth=7110\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELHeight=4275\r\n"), std::string::npos) << ini;
}

TEST(StartupE2E, StoredGeometrySurvivesARestartAndResizeFollowsTheWindow) {
  TempFolder folder;
  WriteBytes(folder.File(L"Zelmor.ini"), "[LOGpos]\r\nELTop=1500\r\nELLeft=3000\r\nELWidth=8610\r\nELHeight=5775\r\n");
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const RECT r = WindowRectOf(app.window());
  EXPECT_EQ(Twips(r.top), 1500);
  EXPECT_EQ(Twips(r.left), 3000);
  EXPECT_EQ(Twips(r.right - r.left), 8610);
  EXPECT_EQ(Twips(r.bottom - r.top), 5775);
  // 1500 twips wider and taller than the default: both boxes 1500 wider, the entry box 1500 lower.
  const RECT pane = ChildRect(app.control(IDC_LOG_PANE));
  const RECT entry = ChildRect(app.control(IDC_ENTRY_BOX));
  EXPECT_NEAR(Twips(pane.right - pane.left), 8475, 15);
  EXPECT_NEAR(Twips(pane.bottom - pane.top), 4515, 15);
  EXPECT_NEAR(Twips(entry.top), 4565, 15);

  // A very small window must not break anything.
  SetWindowPos(app.window(), nullptr, 0, 0, 20, 20, SWP_NOZORDER | SWP_NOMOVE);
  Settle(app.window());
  ShowWindow(app.window(), SW_MINIMIZE);
  Settle(app.window());
  ShowWindow(app.window(), SW_RESTORE);
  Settle(app.window());
  MoveWindow(app.window(), 100, 60, 574, 385, TRUE);
  Settle(app.window());
  ShowWindow(app.window(), SW_MINIMIZE);
  Settle(app.window());

  // Closed while minimized, the normal rectangle is what is stored.
  app.RequestClose();
  ASSERT_TRUE(app.WaitExit());
  const std::string ini = Ini(app);
  EXPECT_NE(ini.find("ELTop=" + std::to_string(Twips(60)) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELLeft=" + std::to_string(Twips(100)) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELWidth=" + std::to_string(Twips(574)) + "\r\n"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELHeight=" + std::to_string(Twips(385)) + "\r\n"), std::string::npos) << ini;

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
  WriteBytes(folder.File(L"Zelmor.ini"), "[LOGpos]\r\nELTop=750\r\nELLeft=1500\r\nELWidth=abc\r\nELHeight=\r\n");
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const RECT r = WindowRectOf(app.window());
  EXPECT_EQ(Twips(r.top), 750);
  EXPECT_EQ(Twips(r.left), 1500);
  EXPECT_EQ(Twips(r.right - r.left), 7110);
  EXPECT_EQ(Twips(r.bottom - r.top), 4275);
  app.RequestClose();
  ASSERT_TRUE(app.WaitExit());
}

}  // namespace
}  // namespace e2e

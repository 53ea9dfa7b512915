// The main window as an operator meets it after something else had it: the keyboard back where
// they were typing, and a window that some monitor shows.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/resource.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

// The control of Zelmor's window that has the keyboard once the window is active again, or
// whatever has it when the wait gives up. Without a window manager, X sometimes leaves no window
// active after a box has gone; then the window is activated as a click on its caption would.
HWND FocusOf(Zelmor& app, HWND expected) {
  const DWORD thread = GetWindowThreadProcessId(app.window(), nullptr);
  HWND focus = nullptr;
  int polls = 0;
  WaitUntil(
      [&] {
        Settle(app.window());
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        if (!GetGUIThreadInfo(thread, &info)) return false;
        focus = info.hwndFocus;
        if (!info.hwndActive && ++polls == 10) SetForegroundWindow(app.window());
        return focus == expected;
      },
      5000);
  return focus;
}

TEST(WindowE2E, AfterAQuestionOrADialogTheKeyboardIsBackInTheEntryBox) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  const HWND entry = app.entry_box();
  EXPECT_EQ(FocusOf(app, entry), entry) << "at start";
  MakeEntry(app, L"JA1AAA 599");

  app.RequestClose();
  ASSERT_TRUE(Answer(app.WaitForMessageBox(), IDS_CLOSE_QUESTION, IDNO));
  EXPECT_EQ(FocusOf(app, entry), entry) << "after No to the close question";

  HWND dialog = ShowFileDialog(app, IDM_LOG_SAVE);
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(CancelDialog(app, dialog));
  EXPECT_EQ(FocusOf(app, entry), entry) << "after a cancelled save";

  // Edit mode hands the keyboard back to the entry box when it leaves with the pane disabled.
  SendCommand(app.window(), IDM_EDIT_MODE);
  SendCommand(app.window(), IDM_EDIT_MODE);
  EXPECT_EQ(FocusOf(app, entry), entry) << "after edit mode";
  ASSERT_TRUE(ClosesAfterQuestion(app));
}

TEST(WindowE2E, AWindowStoredWhereNoMonitorShowsItOpensOnThePrimaryWorkArea) {
  RECT work{};
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  struct Row {
    const char* what;
    const char* ini;
  };
  const Row rows[] = {
      {"an absurd top edge", "[LOGpos]\r\nELTop=-2000000000\r\nELLeft=0\r\nELWidth=7110\r\nELHeight=4275\r\n"},
      {"a monitor unplugged to the right", "[LOGpos]\r\nELTop=1500\r\nELLeft=900000\r\nELWidth=7110\r\nELHeight=4275\r\n"},
  };
  for (const Row& row : rows) {
    TempFolder folder;
    WriteBytes(folder.File(L"Zelmor.ini"), row.ini);
    Zelmor app(folder);
    ASSERT_TRUE(app.Start()) << row.what;
    const RECT at = WindowRectOf(app.window());
    const int dpi = DpiOf(app.window());
    const auto Twips = [dpi](int pixels) { return PixelsToTwips(pixels, dpi); };
    EXPECT_EQ(at.left, work.left) << row.what;
    EXPECT_EQ(at.top, work.top) << row.what;
    EXPECT_EQ(Twips(at.right - at.left), 7110) << row.what << ": the stored size is kept";
    ASSERT_TRUE(ClosesWithoutQuestion(app)) << row.what;
    // What the close writes is where the window really stood.
    const std::string ini = app.Ini();
    EXPECT_NE(ini.find("ELTop=" + std::to_string(Twips(work.top)) + "\r\n"), std::string::npos) << ini;
    EXPECT_NE(ini.find("ELLeft=" + std::to_string(Twips(work.left)) + "\r\n"), std::string::npos) << ini;
  }
}

}  // namespace
}  // namespace e2e

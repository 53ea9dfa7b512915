// The worked-before hint beside an entry box: shown without taking the activation, the focus or a
// key, its text readable with WM_GETTEXT, placed under the box or above it at the screen's end.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows_win.h"
#include "worked/hint_window_win.h"

namespace zelmor::worked {
namespace {

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A main window with an entry box, the keyboard in the box.
class HintWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = CreateWindowExW(0, L"STATIC", L"Zelmor hint test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 480, 240,
                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    box_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 120, 460, 28,
                           main_, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetForegroundWindow(main_);
    SetFocus(box_);
    Pump();
  }
  void TearDown() override { DestroyWindow(main_); }

  void Type(const std::wstring& keys) {
    std::vector<INPUT> inputs;
    for (wchar_t c : keys) {
      for (DWORD up : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
        INPUT in{};
        in.type = INPUT_KEYBOARD;
        in.ki.wVk = static_cast<WORD>(c);
        in.ki.dwFlags = up;
        inputs.push_back(in);
      }
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    test_support::WaitUntil([&] {
      Pump();
      return test_support::TextOf(box_).size() >= keys.size();
    }, 3000);
  }

  HWND main_ = nullptr;
  HWND box_ = nullptr;
};

TEST_F(HintWindowTest, ShowsUnderTheBoxWhileTheBoxKeepsTheKeyboard) {
  HintWindow hint;
  ASSERT_TRUE(hint.Create(box_));
  ASSERT_EQ(GetFocus(), box_);
  hint.Show({L"同じパスで交信済み 10:14J", L"PM95: 新グリッド"}, true);
  Pump();
  ASSERT_TRUE(hint.shown());
  EXPECT_EQ(GetFocus(), box_) << "the hint took the focus";
  EXPECT_EQ(GetActiveWindow(), main_) << "the hint took the activation";
  EXPECT_EQ(GetWindow(hint.hwnd(), GW_OWNER), main_);
  EXPECT_EQ(test_support::TextOf(hint.hwnd()), L"同じパスで交信済み 10:14J\r\nPM95: 新グリッド");

  const RECT box = test_support::WindowRectOf(box_), shown = test_support::WindowRectOf(hint.hwnd());
  EXPECT_GE(shown.top, box.bottom) << test_support::Describe(shown) << " under " << test_support::Describe(box);
  EXPECT_EQ(shown.left, box.left);
  EXPECT_GT(shown.bottom - shown.top, 20) << "two lines";

  Type(L"JA");
  EXPECT_EQ(test_support::TextOf(box_), L"ja") << "keys typed with the hint up reach the box";
  EXPECT_TRUE(hint.shown());

  hint.Show({L"初めての局"}, false);
  EXPECT_EQ(test_support::TextOf(hint.hwnd()), L"初めての局");
  EXPECT_LT(test_support::WindowRectOf(hint.hwnd()).bottom - test_support::WindowRectOf(hint.hwnd()).top,
            shown.bottom - shown.top) << "one line is lower than two";
  hint.Show({}, false);
  EXPECT_FALSE(hint.shown());
  hint.Show({L"初めての局"}, false);
  hint.Hide();
  EXPECT_FALSE(hint.shown());
  EXPECT_EQ(GetFocus(), box_);
}

TEST_F(HintWindowTest, GoesAboveTheBoxAtTheScreensEnd) {
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  SetWindowPos(main_, nullptr, 100, work.bottom - 180, 480, 180, SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(box_, nullptr, 0, 100, 460, 28, SWP_NOZORDER | SWP_NOACTIVATE);
  Pump();
  HintWindow hint;
  ASSERT_TRUE(hint.Create(box_));
  hint.Show({L"RS-44で交信済み 2026/12/01 (3回目)", L"JA1ABCとして交信済み", L"PM95: RS-44で新"}, false);
  const RECT box = test_support::WindowRectOf(box_), shown = test_support::WindowRectOf(hint.hwnd());
  EXPECT_LE(shown.bottom, box.top) << test_support::Describe(shown) << " above " << test_support::Describe(box);
  EXPECT_LE(shown.bottom, work.bottom);
}

}  // namespace
}  // namespace zelmor::worked

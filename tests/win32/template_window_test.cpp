// The template settings window: its look, and that the template follows the box and is saved on
// every way of closing.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handles_win.h"
#include "base/resource.h"
#include "memory_profile_store.h"
#include "settings/profile.h"
#include "template_window/template_window_win.h"

namespace zelmor::template_window {
namespace {

std::wstring Text(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return text;
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

int Px(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }

class TemplateWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dpi_ = GetDeviceCaps(zelmor::base::WindowDc(nullptr).get(), LOGPIXELSY);
  }
  HWND Box(const TemplateWindow& form) { return GetDlgItem(form.hwnd(), IDC_TEMPLATE_BOX); }
  std::wstring SavedTemplate() { return store_.Get(L"Zelmor", L"LOGdat", L"<missing>"); }

  int dpi_ = 96;
  MainState state_;
  settings::MemoryProfileStore store_;
  settings::Profile profile_{store_};
};

TEST_F(TemplateWindowTest, OpenShowsTemplateAsStoredAndTrimsItAtOnce) {
  state_.template_text = L"  #DT #MM  ";
  TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
  ASSERT_TRUE(form.Open());
  EXPECT_EQ(Text(Box(form)), L"  #DT #MM  ");
  EXPECT_EQ(state_.template_text, L"#DT #MM");
  EXPECT_FALSE(store_.Has(L"Zelmor", L"LOGdat")) << "opening saves nothing";
}

TEST_F(TemplateWindowTest, SecondOpenBringsTheSameWindowForward) {
  TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
  ASSERT_TRUE(form.Open());
  const HWND first = form.hwnd();
  ShowWindow(first, SW_MINIMIZE);
  ASSERT_TRUE(form.Open());
  EXPECT_EQ(form.hwnd(), first);
  EXPECT_FALSE(IsIconic(first)) << "a minimized window is restored";
  int windows = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM count) {
        wchar_t cls[64] = {};
        GetClassNameW(hwnd, cls, 64);
        if (std::wstring(cls) == TemplateWindow::kClassName) ++*reinterpret_cast<int*>(count);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  EXPECT_EQ(windows, 1);
}

TEST_F(TemplateWindowTest, LayoutTextsMenuAndIcons) {
  TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
  ASSERT_TRUE(form.Open());
  const HWND hwnd = form.hwnd();
  Pump();
  EXPECT_EQ(Text(hwnd), L"定形フォームの設定");
  EXPECT_EQ(GetWindow(hwnd, GW_OWNER), nullptr) << "no owner: the main window stays usable";

  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, Px(7590, dpi_));
  EXPECT_EQ(client.bottom, Px(1860, dpi_));
  if (dpi_ == 96) {
    EXPECT_EQ(client.right, 506);
    EXPECT_EQ(client.bottom, 124);
  }

  const struct {
    int id;
    int left, top, width, height;
    const wchar_t* text;
  } controls[] = {
      {IDC_TEMPLATE_BOX, 0, 120, 7575, 345, nullptr},
      {IDC_TEMPLATE_HEADING, 120, 480, 1215, 255, L"マクロ変数"},
      {IDC_TEMPLATE_HELP, 120, 840, 7335, 975,
       L"#DT=日付　#TM=時間　#MM=入力文字列　#SN=Sat名　#RV=Rev　#TX=送信周波数　#RX=受信周波数　"
       L"#MD=モード　　　#LF=LOG用周波数(ex145/435)"},
  };
  for (const auto& c : controls) {
    HWND control = GetDlgItem(hwnd, c.id);
    ASSERT_NE(control, nullptr) << c.id;
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, Px(c.left, dpi_)) << c.id;
    EXPECT_EQ(r.top, Px(c.top, dpi_)) << c.id;
    EXPECT_EQ(r.right - r.left, Px(c.width, dpi_)) << c.id;
    EXPECT_EQ(r.bottom - r.top, Px(c.height, dpi_)) << c.id;
    if (c.text) {
      EXPECT_EQ(Text(control), c.text) << c.id;
    }
    // Labels never take the focus; the box does.
    EXPECT_EQ((GetWindowLongW(control, GWL_STYLE) & WS_TABSTOP) != 0, c.id == IDC_TEMPLATE_BOX) << c.id;
  }

  const struct {
    int id;
    const wchar_t* face;
  } fonts[] = {{IDC_TEMPLATE_BOX, L"ＭＳ ゴシック"}, {IDC_TEMPLATE_HEADING, L"ＭＳ Ｐゴシック"}, {IDC_TEMPLATE_HELP, L"ＭＳ ゴシック"}};
  for (const auto& f : fonts) {
    LOGFONTW font{};
    HFONT handle = reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(hwnd, f.id), WM_GETFONT, 0, 0));
    ASSERT_TRUE(handle && GetObjectW(handle, sizeof font, &font)) << f.id;
    EXPECT_STREQ(font.lfFaceName, f.face) << f.id;
    EXPECT_EQ(font.lfWeight, FW_BOLD) << f.id;
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET) << f.id;
    EXPECT_EQ(font.lfHeight, -MulDiv(1125, dpi_, 7200)) << f.id << ": 11.25 pt";
  }

  HMENU menu = GetMenu(hwnd);
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(GetMenuItemCount(menu), 1);
  EXPECT_EQ(GetSubMenu(menu, 0), nullptr) << "a command item, not a drop-down";
  EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(IDM_TEMPLATE_CLOSE));
  wchar_t caption[64] = {};
  GetMenuStringW(menu, 0, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"閉じる(&X)");

  // An icon of its own, not the main window's.
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0), 0);
  EXPECT_NE(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(TemplateWindowTest, MoveToAMonitorOfAnotherScalingKeepsTwipsAndPoints) {
  TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
  ASSERT_TRUE(form.Open());
  const HWND hwnd = form.hwnd();
  const int dpi = dpi_ * 3 / 2;
  RECT suggested{};
  GetWindowRect(hwnd, &suggested);
  suggested.right = suggested.left + (suggested.right - suggested.left) * 3 / 2;
  suggested.bottom = suggested.top + (suggested.bottom - suggested.top) * 3 / 2;
  SendMessageW(hwnd, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  Pump();

  RECT client{};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right, Px(7590, dpi));
  EXPECT_EQ(client.bottom, Px(1860, dpi));
  RECT box{};
  GetWindowRect(GetDlgItem(hwnd, IDC_TEMPLATE_BOX), &box);
  MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&box), 2);
  EXPECT_EQ(box.top, Px(120, dpi));
  EXPECT_EQ(box.right - box.left, Px(7575, dpi));
  LOGFONTW font{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(hwnd, IDC_TEMPLATE_BOX), WM_GETFONT, 0, 0)),
             sizeof(font), &font);
  EXPECT_EQ(font.lfHeight, -MulDiv(1125, dpi, 7200)) << "11.25 points at the new scaling";
}

TEST_F(TemplateWindowTest, ColoursOfBoxAndLabels) {
  TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
  ASSERT_TRUE(form.Open());
  HDC dc = CreateCompatibleDC(nullptr);
  const struct {
    UINT message;
    int id;
    COLORREF background, text;
  } rows[] = {
      {WM_CTLCOLOREDIT, IDC_TEMPLATE_BOX, RGB(255, 255, 192), GetSysColor(COLOR_WINDOWTEXT)},
      {WM_CTLCOLORSTATIC, IDC_TEMPLATE_HEADING, RGB(224, 224, 224), RGB(0, 0, 255)},
      {WM_CTLCOLORSTATIC, IDC_TEMPLATE_HELP, RGB(224, 224, 224), RGB(255, 0, 0)},
  };
  for (const auto& row : rows) {
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        form.hwnd(), row.message, reinterpret_cast<WPARAM>(dc),
        reinterpret_cast<LPARAM>(GetDlgItem(form.hwnd(), row.id))));
    LOGBRUSH fill{};
    ASSERT_TRUE(brush && GetObjectW(brush, sizeof fill, &fill)) << row.id;
    EXPECT_EQ(fill.lbColor, row.background) << row.id;
    EXPECT_EQ(GetBkColor(dc), row.background) << row.id;
    EXPECT_EQ(GetTextColor(dc), row.text) << row.id;
  }
  DeleteDC(dc);
}

TEST_F(TemplateWindowTest, EveryEditSetsTheTrimmedTemplate) {
  TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
  ASSERT_TRUE(form.Open());
  const struct {
    const wchar_t* typed;
    const wchar_t* template_text;
  } rows[] = {{L" #SN/#RV ", L"#SN/#RV"}, {L"", L""}, {L"   ", L""}, {L"#DT\u3000", L"#DT\u3000"}};
  for (const auto& row : rows) {
    SetWindowTextW(Box(form), row.typed);
    EXPECT_EQ(state_.template_text, row.template_text) << "typed [" << testing::PrintToString(row.typed) << "]";
    EXPECT_EQ(Text(Box(form)), row.typed) << "the box keeps what was typed";
  }
}

TEST_F(TemplateWindowTest, EveryWayOfClosingSavesTheTrimmedBox) {
  const struct {
    const char* way;
    void (*close)(TemplateWindow&);
  } rows[] = {
      {"menu item", [](TemplateWindow& f) { SendMessageW(f.hwnd(), WM_COMMAND, MAKEWPARAM(IDM_TEMPLATE_CLOSE, 0), 0); }},
      {"close box", [](TemplateWindow& f) { SendMessageW(f.hwnd(), WM_CLOSE, 0, 0); }},
      {"main window unloading", [](TemplateWindow& f) { f.Close(); }},
  };
  for (const auto& row : rows) {
    store_.Put(L"Zelmor", L"LOGdat", L"before");
    TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
    ASSERT_TRUE(form.Open()) << row.way;
    SetWindowTextW(Box(form), L"  #DT #TMJ  ");
    row.close(form);
    Pump();
    EXPECT_FALSE(form.IsOpen()) << row.way;
    EXPECT_EQ(SavedTemplate(), L"#DT #TMJ") << row.way;

    // Opened again it is made anew, and closing without an edit still writes the key.
    store_.Put(L"Zelmor", L"LOGdat", L"before");
    ASSERT_TRUE(form.Open()) << row.way;
    EXPECT_EQ(Text(Box(form)), L"#DT #TMJ") << row.way;
    row.close(form);
    EXPECT_EQ(SavedTemplate(), L"#DT #TMJ") << row.way;
  }
}

TEST_F(TemplateWindowTest, EmptiedTemplateIsSavedEmpty) {
  state_.template_text = L"#DT";
  {
    TemplateWindow form(GetModuleHandleW(nullptr), state_, profile_);
    ASSERT_TRUE(form.Open());
    SetWindowTextW(Box(form), L"");
  }  // destroyed while open: closes and saves as well
  EXPECT_EQ(state_.template_text, L"");
  EXPECT_TRUE(store_.Has(L"Zelmor", L"LOGdat"));
  EXPECT_EQ(SavedTemplate(), L"");
}

}  // namespace
}  // namespace zelmor::template_window

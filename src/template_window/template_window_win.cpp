#include "template_window/template_window_win.h"

#include <utility>

#include "base/resource.h"
#include "base/texts.h"
#include "window/dpi_win.h"

namespace zelmor::template_window {
namespace {

constexpr COLORREF kBackground = RGB(224, 224, 224);
constexpr COLORREF kBoxBackground = RGB(255, 255, 192);
constexpr COLORREF kHeadingColor = RGB(0, 0, 255);
constexpr COLORREF kHelpColor = RGB(255, 0, 0);

// Client area and controls in twips, as the window was drawn.
constexpr int kClientWidth = 7590;
constexpr int kClientHeight = 1860;
constexpr window::TwipsRect kBoxRect{0, 120, 7575, 345};
constexpr window::TwipsRect kHeadingRect{120, 480, 1215, 255};
constexpr window::TwipsRect kHelpRect{120, 840, 7335, 975};

constexpr double kFontPoints = 11.25;

}  // namespace

TemplateWindow::TemplateWindow(HINSTANCE instance, MainState& state, settings::Profile& profile)
    : instance_(instance),
      editor_(state, profile),
      icon_big_(static_cast<HICON>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDI_TEMPLATE_WINDOW), IMAGE_ICON, 32, 32, 0))),
      icon_small_(static_cast<HICON>(
          LoadImageW(instance, MAKEINTRESOURCEW(IDI_TEMPLATE_WINDOW), IMAGE_ICON, 16, 16, 0))) {}

TemplateWindow::~TemplateWindow() { Close(); }

bool TemplateWindow::Open() {
  if (HWND open = hwnd()) {
    if (IsIconic(open)) ShowWindow(open, SW_RESTORE);
    ShowWindow(open, SW_SHOW);
    SetForegroundWindow(open);
    return true;
  }
  WNDCLASSEXW wc{};
  wc.hInstance = instance_;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  if (!window::RegisterWindowClass(wc)) return false;

  // One top-level command item: choosing it closes the window, there is nothing to drop down.
  base::UniqueMenu menu(LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_TEMPLATE_MENU)));
  if (!menu) return false;

  // Sized properly once the window can tell its DPI and its frame.
  HWND created = CreateOwnedWindow(0, kClassName, LoadText(IDS_TEMPLATE_CAPTION).c_str(),
                                   WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, 520, 200, nullptr, menu.get(), instance_);
  if (!created) return false;
  menu.release();  // the window's now, destroyed with it
  FitClientArea(window::DpiOf(created));
  ShowWindow(created, SW_SHOW);
  SetForegroundWindow(created);
  return true;
}

void TemplateWindow::Close() {
  if (HWND open = hwnd()) DestroyWindow(open);
}

LRESULT TemplateWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_SETFOCUS:
      // The box is the only control that takes the focus.
      if (box_) SetFocus(box_);
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd(), &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, background_brush_.get());
      return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case window::kDpiChangedMessage:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd());
      return 0;
    case WM_DESTROY:
      // Every way of closing passes here, with the box still alive: the template is saved each time.
      if (loaded_) editor_.OnClose(window::WindowText(box_));
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

void TemplateWindow::OnWindowGone() {
  loaded_ = false;
  box_ = heading_ = help_ = nullptr;
  // The children are gone; their fonts and brushes can go too.
  gothic_font_.reset();
  p_gothic_font_.reset();
  background_brush_.reset();
  box_brush_.reset();
}

bool TemplateWindow::OnCreate() {
  background_brush_.reset(CreateSolidBrush(kBackground));
  box_brush_.reset(CreateSolidBrush(kBoxBackground));
  if (icon_big_) SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_big_.get()));
  if (icon_small_) SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_small_.get()));

  const auto child = [&](const wchar_t* cls, DWORD style, DWORD ex_style, int id) {
    return CreateWindowExW(ex_style, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd(),
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  };
  help_ = child(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, IDC_TEMPLATE_HELP);
  heading_ = child(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, IDC_TEMPLATE_HEADING);
  box_ = child(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_TEMPLATE_BOX);
  if (!help_ || !heading_ || !box_) return false;
  // The box's default limit would cut a long template without a word.
  SendMessageW(box_, EM_SETLIMITTEXT, 0, 0);

  const UINT dpi = window::DpiOf(hwnd());
  MakeFonts(dpi);
  LayOut(dpi);

  SetWindowTextW(help_, LoadText(IDS_TEMPLATE_HELP).c_str());
  SetWindowTextW(heading_, LoadText(IDS_TEMPLATE_HEADING).c_str());
  // Setting the box is an edit like any other: the template comes back trimmed at once. The
  // explicit call covers systems that send no change notification for a programmatic set.
  const std::wstring initial = editor_.Template();  // the change notification rewrites it
  SetWindowTextW(box_, initial.c_str());
  editor_.OnTextChanged(window::WindowText(box_));
  loaded_ = true;
  return true;
}

void TemplateWindow::OnCommand(int id, int code) {
  if (id == IDM_TEMPLATE_CLOSE && code == 0) {
    Close();
  } else if (id == IDC_TEMPLATE_BOX && code == EN_CHANGE) {
    editor_.OnTextChanged(window::WindowText(box_));
  }
}

LRESULT TemplateWindow::OnControlColor(HDC dc, HWND control) {
  if (control == box_) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, kBoxBackground);
    return reinterpret_cast<LRESULT>(box_brush_.get());
  }
  SetTextColor(dc, control == heading_ ? kHeadingColor : kHelpColor);
  SetBkColor(dc, kBackground);
  return reinterpret_cast<LRESULT>(background_brush_.get());
}

void TemplateWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts(dpi);
  LayOut(dpi);
  FitClientArea(dpi);
}

void TemplateWindow::MakeFonts(UINT dpi) {
  base::UniqueFont gothic = window::MakeFont({LoadText(IDS_FONT_GOTHIC), kFontPoints}, dpi);
  base::UniqueFont p_gothic = window::MakeFont({LoadText(IDS_FONT_PGOTHIC), kFontPoints}, dpi);
  SendMessageW(box_, WM_SETFONT, reinterpret_cast<WPARAM>(gothic.get()), TRUE);
  SendMessageW(help_, WM_SETFONT, reinterpret_cast<WPARAM>(gothic.get()), TRUE);
  SendMessageW(heading_, WM_SETFONT, reinterpret_cast<WPARAM>(p_gothic.get()), TRUE);
  // The controls now use the new fonts; the old ones may go.
  gothic_font_ = std::move(gothic);
  p_gothic_font_ = std::move(p_gothic);
}

void TemplateWindow::LayOut(UINT dpi) {
  window::PlaceInTwips(box_, kBoxRect, dpi);
  window::PlaceInTwips(heading_, kHeadingRect, dpi);
  window::PlaceInTwips(help_, kHelpRect, dpi);
}

void TemplateWindow::FitClientArea(UINT dpi) {
  const int want_width = window::TwipsToPixels(kClientWidth, dpi);
  const int want_height = window::TwipsToPixels(kClientHeight, dpi);
  // The menu bar's height depends on the width; a second pass settles it.
  for (int pass = 0; pass < 2; ++pass) {
    RECT outer{}, client{};
    GetWindowRect(hwnd(), &outer);
    GetClientRect(hwnd(), &client);
    if (client.right == want_width && client.bottom == want_height) return;
    const int width = (outer.right - outer.left) - client.right + want_width;
    const int height = (outer.bottom - outer.top) - client.bottom + want_height;
    SetWindowPos(hwnd(), nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

}  // namespace zelmor::template_window

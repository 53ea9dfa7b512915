#include "template_window/macro_form_win.h"

#include <cwchar>
#include <utility>

#include "app/resource.h"

namespace zelmor::template_window {
namespace {

constexpr COLORREF kBackground = RGB(224, 224, 224);
constexpr COLORREF kBoxBackground = RGB(255, 255, 192);
constexpr COLORREF kHeadingColor = RGB(0, 0, 255);
constexpr COLORREF kHelpColor = RGB(255, 0, 0);

constexpr UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, missing from older headers

// Client area and controls in twips, as the window was drawn.
constexpr int kClientWidth = 7590;
constexpr int kClientHeight = 1860;
struct TwipRect {
  int left, top, width, height;
};
constexpr TwipRect kText1Rect{0, 120, 7575, 345};
constexpr TwipRect kLabel2Rect{120, 480, 1215, 255};
constexpr TwipRect kLabel1Rect{120, 840, 7335, 975};

constexpr int kFontHundredthsOfPoint = 1125;

int Pixels(int twips, UINT dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

// The window's own DPI where the system knows it per window (Windows 10), the screen's otherwise.
UINT DpiOf(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi && hwnd) {
    const UINT dpi = get_dpi(hwnd);
    if (dpi) return dpi;
  }
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

HFONT MakeFont(const std::wstring& face, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(kFontHundredthsOfPoint, static_cast<int>(dpi), 7200);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = SHIFTJIS_CHARSET;
  wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return CreateFontIndirectW(&font);
}

void Place(HWND control, const TwipRect& r, UINT dpi) {
  SetWindowPos(control, nullptr, Pixels(r.left, dpi), Pixels(r.top, dpi), Pixels(r.width, dpi),
               Pixels(r.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

bool RegisterWindowClass(HINSTANCE instance, WNDPROC procedure) {
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof existing;
  if (GetClassInfoExW(instance, MacroForm::kClassName, &existing)) return true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = MacroForm::kClassName;
  return RegisterClassExW(&wc) != 0;
}

}  // namespace

MacroForm::MacroForm(HINSTANCE instance, HICON icon_big, HICON icon_small, MainState& state,
                     settings::Profile& profile)
    : instance_(instance), icon_big_(icon_big), icon_small_(icon_small), editor_(state, profile) {}

MacroForm::~MacroForm() { Close(); }

bool MacroForm::Open() {
  if (hwnd_) {
    if (IsIconic(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    return true;
  }
  if (!RegisterWindowClass(instance_, &MacroForm::WindowProc)) return false;

  // One top-level command item: choosing it closes the window, there is nothing to drop down.
  HMENU menu = LoadMenuW(instance_, MAKEINTRESOURCEW(IDR_MACROMENU));
  if (!menu) return false;

  // Sized properly once the window can tell its DPI and its frame.
  HWND hwnd = CreateWindowExW(0, kClassName, LoadText(IDS_MACRO_CAPTION).c_str(),
                              WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              CW_USEDEFAULT, CW_USEDEFAULT, 520, 200, nullptr, menu, instance_, this);
  if (!hwnd) {
    DestroyMenu(menu);
    return false;
  }
  FitClientArea(DpiOf(hwnd));
  ShowWindow(hwnd, SW_SHOW);
  SetForegroundWindow(hwnd);
  return true;
}

void MacroForm::Close() {
  if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT CALLBACK MacroForm::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  MacroForm* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<MacroForm*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<MacroForm*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);
  try {
    return self->HandleMessage(message, wparam, lparam);
  } catch (...) {
    // Nothing may unwind into the system's dispatcher; a failed creation ends the window.
    if (message == WM_CREATE) return -1;
    return message == WM_NCCREATE ? FALSE : 0;
  }
}

LRESULT MacroForm::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return OnCreate() ? 0 : -1;
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_SETFOCUS:
      // The box is the only control that takes the focus.
      if (text1_) SetFocus(text1_);
      return 0;
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(hwnd_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, static_cast<HBRUSH>(background_brush_.get()));
      return 1;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      return OnControlColor(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case kDpiChanged:
      OnDpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_CLOSE:
      DestroyWindow(hwnd_);
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    case WM_NCDESTROY: {
      HWND hwnd = hwnd_;
      OnNcDestroy();
      return DefWindowProcW(hwnd, message, wparam, lparam);
    }
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

bool MacroForm::OnCreate() {
  background_brush_.reset(CreateSolidBrush(kBackground));
  box_brush_.reset(CreateSolidBrush(kBoxBackground));
  if (icon_big_) SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_big_));
  if (icon_small_) SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_small_));

  const auto child = [&](const wchar_t* cls, DWORD style, DWORD ex_style, int id) {
    return CreateWindowExW(ex_style, cls, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  };
  label1_ = child(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, IDC_MACRO_LABEL1);
  label2_ = child(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, IDC_MACRO_LABEL2);
  text1_ = child(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_MACRO_TEXT1);
  if (!label1_ || !label2_ || !text1_) return false;
  // The box's default limit would cut a long template without a word.
  SendMessageW(text1_, EM_SETLIMITTEXT, 0, 0);

  const UINT dpi = DpiOf(hwnd_);
  MakeFonts(dpi);
  LayOut(dpi);

  SetWindowTextW(label1_, LoadText(IDS_MACRO_HELP).c_str());
  SetWindowTextW(label2_, LoadText(IDS_MACRO_HEADING).c_str());
  // Setting the box is an edit like any other: TemplateText comes back trimmed at once. The
  // explicit call covers systems that send no change notification for a programmatic set.
  const std::wstring initial = editor_.Template();  // the change notification rewrites it
  SetWindowTextW(text1_, initial.c_str());
  editor_.OnTextChanged(BoxText());
  loaded_ = true;
  return true;
}

void MacroForm::OnCommand(int id, int code) {
  if (id == IDM_ECLS && code == 0) {
    Close();
  } else if (id == IDC_MACRO_TEXT1 && code == EN_CHANGE) {
    editor_.OnTextChanged(BoxText());
  }
}

LRESULT MacroForm::OnControlColor(HDC dc, HWND control) {
  if (control == text1_) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, kBoxBackground);
    return reinterpret_cast<LRESULT>(box_brush_.get());
  }
  SetTextColor(dc, control == label2_ ? kHeadingColor : kHelpColor);
  SetBkColor(dc, kBackground);
  return reinterpret_cast<LRESULT>(background_brush_.get());
}

void MacroForm::OnDpiChanged(UINT dpi, const RECT& suggested) {
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  MakeFonts(dpi);
  LayOut(dpi);
  FitClientArea(dpi);
}

void MacroForm::OnDestroy() {
  // Every way of closing passes here, with the box still alive: the template is saved each time.
  if (loaded_) editor_.OnClose(BoxText());
}

void MacroForm::OnNcDestroy() {
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  hwnd_ = nullptr;
  loaded_ = false;
  text1_ = label1_ = label2_ = nullptr;
  // The children are gone; their fonts and brushes can go too.
  gothic_font_.reset();
  p_gothic_font_.reset();
  background_brush_.reset();
  box_brush_.reset();
}

void MacroForm::MakeFonts(UINT dpi) {
  platform::UniqueGdiObject gothic(MakeFont(LoadText(IDS_FONT_GOTHIC), dpi));
  platform::UniqueGdiObject p_gothic(MakeFont(LoadText(IDS_FONT_PGOTHIC), dpi));
  SendMessageW(text1_, WM_SETFONT, reinterpret_cast<WPARAM>(gothic.get()), TRUE);
  SendMessageW(label1_, WM_SETFONT, reinterpret_cast<WPARAM>(gothic.get()), TRUE);
  SendMessageW(label2_, WM_SETFONT, reinterpret_cast<WPARAM>(p_gothic.get()), TRUE);
  // The controls now use the new fonts; the old ones may go.
  gothic_font_ = std::move(gothic);
  p_gothic_font_ = std::move(p_gothic);
}

void MacroForm::LayOut(UINT dpi) {
  Place(text1_, kText1Rect, dpi);
  Place(label2_, kLabel2Rect, dpi);
  Place(label1_, kLabel1Rect, dpi);
}

void MacroForm::FitClientArea(UINT dpi) {
  const int want_width = Pixels(kClientWidth, dpi);
  const int want_height = Pixels(kClientHeight, dpi);
  // The menu bar's height depends on the width; a second pass settles it.
  for (int pass = 0; pass < 2; ++pass) {
    RECT window{}, client{};
    GetWindowRect(hwnd_, &window);
    GetClientRect(hwnd_, &client);
    if (client.right == want_width && client.bottom == want_height) return;
    const int width = (window.right - window.left) - client.right + want_width;
    const int height = (window.bottom - window.top) - client.bottom + want_height;
    SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

std::wstring MacroForm::BoxText() const {
  const int length = GetWindowTextLengthW(text1_);
  if (length <= 0) return std::wstring();
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(text1_, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

}  // namespace zelmor::template_window

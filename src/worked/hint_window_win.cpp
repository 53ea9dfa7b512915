#include "worked/hint_window_win.h"

#include <algorithm>

#include "base/handles_win.h"
#include "base/resource.h"
#include "base/texts.h"
#include "window/dpi_win.h"
#include "window/placement_win.h"

namespace zelmor::worked {
namespace {

constexpr wchar_t kClassName[] = L"ZelmorWorkedHint";
// The hint's font: the program's gothic, a little smaller than the entry box's 14.25 points.
constexpr double kPoints = 11;
constexpr int kPadding = 4;  // pixels at 96 DPI, around the text
constexpr int kGap = 2;      // between the anchor and the hint
constexpr COLORREF kWarning = RGB(192, 0, 0);

}  // namespace

bool HintWindow::Create(HWND anchor) {
  anchor_ = anchor;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_INFOBK + 1);
  wc.lpszClassName = kClassName;
  if (!window::RegisterWindowClass(wc)) return false;
  return CreateOwnedWindow(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kClassName, L"", WS_POPUP | WS_BORDER, 0, 0, 0, 0,
                           GetAncestor(anchor, GA_ROOT), nullptr, instance) != nullptr;
}

HFONT HintWindow::Font() {
  const UINT dpi = window::DpiOf(anchor_);
  if (!font_ || dpi != font_dpi_) {
    window::FontSpec look;
    look.face = LoadText(IDS_FONT_GOTHIC);
    look.points = kPoints;
    look.bold = false;
    font_ = window::MakeFont(look, dpi);
    font_dpi_ = dpi;
  }
  return font_.get();
}

void HintWindow::Show(const std::vector<std::wstring>& lines, bool warning) {
  if (!hwnd()) return;
  if (lines.empty()) {
    Hide();
    return;
  }
  lines_ = lines;
  warning_ = warning;
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
  SetWindowTextW(hwnd(), text.c_str());

  // The size of the text in the font, plus the padding and the border.
  int width = 0;
  {
    const base::WindowDc dc(hwnd());
    const base::SelectedObject font(dc.get(), Font());
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.get(), &metrics);
    line_height_ = metrics.tmHeight;
    for (const auto& line : lines_) {
      SIZE size{};
      GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(line.size()), &size);
      width = std::max(width, static_cast<int>(size.cx));
    }
  }
  const int border = 2 * GetSystemMetrics(SM_CXBORDER);
  const int w = width + 2 * Scaled(kPadding) + border;
  const int h = line_height_ * static_cast<int>(lines_.size()) + 2 * Scaled(kPadding) + border;

  // Under the anchor, where the operator looks while typing; above it when the screen ends first.
  RECT anchor{};
  GetWindowRect(anchor_, &anchor);
  const window::ScreenRect placed = window::PlacePopup({anchor.left, anchor.top, anchor.right, anchor.bottom}, w, h,
                                                       Scaled(kGap), window::PopupSide::Below, window::WorkAreaNear(anchor_));
  SetWindowPos(hwnd(), HWND_TOP, placed.left, placed.top, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void HintWindow::Hide() {
  if (hwnd()) ShowWindow(hwnd(), SW_HIDE);
}

void HintWindow::Paint() {
  const base::PaintDc paint(hwnd());
  const HDC dc = paint.get();
  const base::SelectedObject font(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  int y = Scaled(kPadding);
  for (size_t i = 0; i < lines_.size(); ++i) {
    SetTextColor(dc, warning_ && i == 0 ? kWarning : GetSysColor(COLOR_INFOTEXT));
    TextOutW(dc, Scaled(kPadding), y, lines_[i].c_str(), static_cast<int>(lines_[i].size()));
    y += line_height_;
  }
}

LRESULT HintWindow::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

}  // namespace zelmor::worked

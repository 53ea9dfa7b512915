#include "window/dpi_win.h"

#include <cmath>

namespace zelmor::window {

UINT DpiOf(HWND window) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi && window) {
    const UINT dpi = get_dpi(window);
    if (dpi) return dpi;
  }
  const base::WindowDc screen(nullptr);
  const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

int TwipsToPixels(double twips, UINT dpi) {
  return static_cast<int>(std::lround(twips * dpi / 1440.0));
}

float PixelsToTwips(int pixels, UINT dpi) {
  return static_cast<float>(static_cast<double>(pixels) * 1440.0 / (dpi ? dpi : 96));
}

base::UniqueFont MakeFont(const FontSpec& look, UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(look.points * dpi / 72.0));
  font.lfWeight = look.bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = look.charset;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = look.pitch_and_family;
  lstrcpynW(font.lfFaceName, look.face.c_str(), LF_FACESIZE);
  return base::UniqueFont(CreateFontIndirectW(&font));
}

void PlaceInTwips(HWND control, const TwipsRect& rect, UINT dpi) {
  SetWindowPos(control, nullptr, TwipsToPixels(rect.left, dpi), TwipsToPixels(rect.top, dpi),
               TwipsToPixels(rect.width, dpi), TwipsToPixels(rect.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace zelmor::window

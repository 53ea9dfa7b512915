#pragma once
// Twips, DPI and fonts: the windows are drawn in twips (1/1440 inch) and fonts in points, so that
// they keep their physical size at every display scaling.

#include <windows.h>

#include <string>

#include "base/handles_win.h"
#include "window/placement.h"

namespace zelmor::window {

inline constexpr UINT kDpiChangedMessage = 0x02E0;  // WM_DPICHANGED, missing from older headers

// The window's own DPI where the system knows it per window (Windows 10, Wine), the screen's
// otherwise; 96 when nothing can be read.
UINT DpiOf(HWND window);

int TwipsToPixels(double twips, UINT dpi);
float PixelsToTwips(int pixels, UINT dpi);

struct FontSpec {
  std::wstring face;
  double points = 9;
  bool bold = true;
  BYTE charset = SHIFTJIS_CHARSET;
  BYTE pitch_and_family = DEFAULT_PITCH;
};
base::UniqueFont MakeFont(const FontSpec& look, UINT dpi);

// Puts a child window at `rect` for the given DPI.
void PlaceInTwips(HWND control, const TwipsRect& rect, UINT dpi);

}  // namespace zelmor::window

#pragma once
// The worked-before hint: a small pop-up of one to three lines next to a control (the entry box)
// that never takes the activation, the focus or a key, so that typing goes on in the control with
// its caret. Its window text is the lines joined by CR LF, so another program reads it with
// WM_GETTEXT. Mouse clicks go through it to what lies below.

#include <windows.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "window/base_window_win.h"

namespace zelmor::worked {

class HintWindow : public window::Window {
 public:
  // Made hidden, owned by the anchor's top-level window (so it stays above it and goes with it).
  bool Create(HWND anchor);
  // Shows the lines right under the anchor, or above it where the screen ends; no lines hides the
  // hint. With `warning` the first line is drawn in red (a dupe).
  void Show(const std::vector<std::wstring>& lines, bool warning);
  void Hide();
  bool shown() const { return hwnd() && IsWindowVisible(hwnd()); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  void Paint();
  // The font for the anchor's DPI, made again when it changed.
  HFONT Font();
  int Scaled(int pixels_at_96) const { return MulDiv(pixels_at_96, static_cast<int>(font_dpi_), 96); }

  HWND anchor_ = nullptr;
  std::vector<std::wstring> lines_;
  bool warning_ = false;
  base::UniqueFont font_;
  UINT font_dpi_ = 96;
  int line_height_ = 0;
};

}  // namespace zelmor::worked

#pragma once
// A top-level window's place on the screen in twips, as it is stored between runs.

#include <windows.h>

#include "window/placement.h"

namespace zelmor::window {

// The window's normal (restored) outer rectangle in twips at `dpi`, also while it is minimized or
// maximized: a restart must never put the window where a minimized one stands.
TwipsRect NormalPlacement(HWND window, UINT dpi);

// Puts the window's normal outer rectangle at `placement` (twips at `dpi`), in one move. When no
// monitor's work area meets it any more, it goes onto the primary monitor's work area instead.
// A minimized or maximized window keeps its state and gets the rectangle it is restored to.
void SetNormalPlacement(HWND window, const TwipsRect& placement, UINT dpi);

// The work area of the monitor nearest `window`: where its pop-ups go (PlacePopup). The primary
// screen when the monitor cannot be asked.
ScreenRect WorkAreaNear(HWND window);

}  // namespace zelmor::window

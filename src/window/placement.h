#pragma once
// Where a window stands: rectangles in twips (1/1440 inch, the same physical size at every display
// scaling) and in screen pixels, and the rule that keeps a window where someone can reach it.

#include <cstddef>

namespace zelmor::window {

// A rectangle in twips (left, top, width, height): a control within its window's client area, or
// a window's outer rectangle on the screen.
struct TwipsRect {
  float left = 0, top = 0, width = 0, height = 0;
};

// A rectangle on the screen, in pixels; right and bottom are outside it.
struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Where a window stored at `window` goes: where it is, when it meets any of the monitors' work
// areas; otherwise at the top left of the primary monitor's work area, with its size cut to fit
// there. A monitor unplugged since the last run, or an absurd stored value, must not leave the
// window where nobody can reach it.
ScreenRect KeepOnScreen(const ScreenRect& window, const ScreenRect* work_areas, size_t count,
                        const ScreenRect& primary_work_area);

// Where a pop-up of `width` by `height` pixels goes beside `anchor`, a window of the operator's:
// on `side` of it, `gap` pixels away, where the work area has room; on the other side (left,
// above) where it has none; over the anchor at the work area's far edge where neither has. Along
// the anchor it starts at the anchor's top (left) edge. Always inside the work area, its top left
// first when it is the larger.
enum class PopupSide { Right, Below };
ScreenRect PlacePopup(const ScreenRect& anchor, int width, int height, int gap, PopupSide side,
                      const ScreenRect& work_area);

}  // namespace zelmor::window

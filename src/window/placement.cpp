#include "window/placement.h"

#include <algorithm>
#include <cstdint>

namespace zelmor::window {
namespace {

// Beside [start, end) on the axis the pop-up moves along.
int Beside(int start, int end, int size, int gap, int work_start, int work_end) {
  int at = end + gap;
  if (at + size > work_end) at = start - gap - size;
  if (at < work_start) at = work_end - size;
  return std::max(at, work_start);
}

// In line with `start` on the other axis.
int InLine(int start, int size, int work_start, int work_end) { return std::max(work_start, std::min(start, work_end - size)); }

}  // namespace

ScreenRect PlacePopup(const ScreenRect& anchor, int width, int height, int gap, PopupSide side,
                      const ScreenRect& work_area) {
  const ScreenRect& w = work_area;
  const int left = side == PopupSide::Right ? Beside(anchor.left, anchor.right, width, gap, w.left, w.right)
                                            : InLine(anchor.left, width, w.left, w.right);
  const int top = side == PopupSide::Below ? Beside(anchor.top, anchor.bottom, height, gap, w.top, w.bottom)
                                           : InLine(anchor.top, height, w.top, w.bottom);
  return {left, top, left + width, top + height};
}

ScreenRect KeepOnScreen(const ScreenRect& window, const ScreenRect* work_areas, size_t count,
                        const ScreenRect& primary_work_area) {
  // In 64 bits: stored edges near the 32-bit limits must not wrap into a false overlap.
  const auto meets = [&](const ScreenRect& area) {
    return std::max<int64_t>(window.left, area.left) < std::min<int64_t>(window.right, area.right) &&
           std::max<int64_t>(window.top, area.top) < std::min<int64_t>(window.bottom, area.bottom);
  };
  for (size_t i = 0; i < count; ++i) {
    if (meets(work_areas[i])) return window;
  }
  const int64_t area_width = int64_t{primary_work_area.right} - primary_work_area.left;
  const int64_t area_height = int64_t{primary_work_area.bottom} - primary_work_area.top;
  const int64_t width = std::clamp<int64_t>(int64_t{window.right} - window.left, 0, std::max<int64_t>(area_width, 0));
  const int64_t height = std::clamp<int64_t>(int64_t{window.bottom} - window.top, 0, std::max<int64_t>(area_height, 0));
  ScreenRect placed;
  placed.left = primary_work_area.left;
  placed.top = primary_work_area.top;
  placed.right = static_cast<int>(placed.left + width);
  placed.bottom = static_cast<int>(placed.top + height);
  return placed;
}

}  // namespace zelmor::window

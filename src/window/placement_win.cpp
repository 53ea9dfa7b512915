#include "window/placement_win.h"

#include <vector>

#include "window/dpi_win.h"

namespace zelmor::window {
namespace {

ScreenRect ToScreenRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

BOOL CALLBACK CollectWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (GetMonitorInfoW(monitor, &info)) reinterpret_cast<std::vector<ScreenRect>*>(areas)->push_back(ToScreenRect(info.rcWork));
  return TRUE;
}

bool MinimizedOrMaximized(HWND window) { return IsIconic(window) || IsZoomed(window); }

RECT NormalRect(HWND window) {
  if (MinimizedOrMaximized(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (GetWindowPlacement(window, &placement)) return placement.rcNormalPosition;
  }
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

void MoveNormalRect(HWND window, const RECT& rect) {
  if (MinimizedOrMaximized(window)) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    GetWindowPlacement(window, &placement);
    placement.rcNormalPosition = rect;
    SetWindowPlacement(window, &placement);
    return;
  }
  SetWindowPos(window, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

// `rect` itself, or where KeepOnScreen puts it when no monitor shows it.
RECT OnScreen(const RECT& rect) {
  std::vector<ScreenRect> areas;
  EnumDisplayMonitors(nullptr, nullptr, CollectWorkArea, reinterpret_cast<LPARAM>(&areas));
  MONITORINFO primary{};
  primary.cbSize = sizeof(primary);
  if (!GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &primary)) return rect;
  const ScreenRect placed = KeepOnScreen(ToScreenRect(rect), areas.data(), areas.size(), ToScreenRect(primary.rcWork));
  return RECT{placed.left, placed.top, placed.right, placed.bottom};
}

}  // namespace

ScreenRect WorkAreaNear(HWND window) {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) return ToScreenRect(monitor.rcWork);
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

TwipsRect NormalPlacement(HWND window, UINT dpi) {
  const RECT r = NormalRect(window);
  return {PixelsToTwips(r.left, dpi), PixelsToTwips(r.top, dpi), PixelsToTwips(r.right - r.left, dpi),
          PixelsToTwips(r.bottom - r.top, dpi)};
}

void SetNormalPlacement(HWND window, const TwipsRect& placement, UINT dpi) {
  // Each edge and size converted on its own, so that a stored size keeps its pixels wherever the
  // window stands.
  RECT rect{};
  rect.left = TwipsToPixels(placement.left, dpi);
  rect.top = TwipsToPixels(placement.top, dpi);
  rect.right = rect.left + TwipsToPixels(placement.width, dpi);
  rect.bottom = rect.top + TwipsToPixels(placement.height, dpi);
  MoveNormalRect(window, OnScreen(rect));
}

}  // namespace zelmor::window

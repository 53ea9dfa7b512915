#include "app/geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>

namespace zelmor::app {

std::wstring FormatVersion(int major, int minor, int revision) {
  wchar_t buffer[64];
  std::swprintf(buffer, 64, L"%d.%02d", major, minor);
  std::wstring text = buffer;
  if (revision > 0) {
    std::swprintf(buffer, 64, L"%X", static_cast<unsigned>(revision));
    text += buffer;
  }
  return text;
}

std::optional<int32_t> ParseTwips(const std::wstring& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  // Whole part and fraction are kept exactly (as integers) so that halves round to even reliably.
  uint64_t whole = 0;
  bool digits = false;
  while (i < n && text[i] >= L'0' && text[i] <= L'9') {
    whole = whole * 10 + static_cast<uint64_t>(text[i++] - L'0');
    digits = true;
    if (whole > (uint64_t{1} << 40)) return std::nullopt;
  }
  int first_fraction_digit = -1;  // the tenths
  bool rest_nonzero = false;
  if (i < n && text[i] == L'.') {
    ++i;
    while (i < n && text[i] >= L'0' && text[i] <= L'9') {
      const int d = text[i++] - L'0';
      if (first_fraction_digit < 0) first_fraction_digit = d;
      else if (d != 0) rest_nonzero = true;
      digits = true;
    }
  }
  while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
  if (!digits || i != n) return std::nullopt;

  if (first_fraction_digit > 5 || (first_fraction_digit == 5 && (rest_nonzero || whole % 2 == 1))) ++whole;
  const int64_t value = negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::wstring FormatTwips(float twips) {
  wchar_t buffer[64];
  // Every whole number a long long holds is written in full: the exponent form that "%g" gives
  // from 1e9 on is not read back, and the window would lose its place at the next start.
  if (std::isfinite(twips) && std::nearbyint(twips) == twips && std::fabs(twips) < 0x1p63f) {
    std::swprintf(buffer, 64, L"%lld", static_cast<long long>(twips));
  } else {
    std::swprintf(buffer, 64, L"%.9g", static_cast<double>(twips));
  }
  return buffer;
}

PaneLayout ResizeRule(float outer_width, float outer_height) {
  PaneLayout layout;
  layout.pane_width = std::fmax(0.0f, outer_width - 135.0f);
  layout.entry_width = std::fmax(0.0f, outer_width - 135.0f);
  layout.pane_height = std::fmax(0.0f, outer_height - 1260.0f);
  return layout;
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

}  // namespace zelmor::app

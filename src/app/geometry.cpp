#include "app/geometry.h"

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

PaneLayout ResizeRule(float outer_width, float outer_height) {
  PaneLayout layout;
  layout.pane_width = std::fmax(0.0f, outer_width - 135.0f);
  layout.entry_width = std::fmax(0.0f, outer_width - 135.0f);
  layout.pane_height = std::fmax(0.0f, outer_height - 1260.0f);
  return layout;
}

}  // namespace zelmor::app

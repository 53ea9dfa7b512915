#pragma once
// The pure rules of the main window: its caption and the layout of its text boxes.

#include <string>

namespace zelmor::app {

// "Ver " + major "." + minor as two digits at least, then the revision in upper-case hex when
// it is above 0: 1.2.10 -> "1.02A". The prefix ("Zelmor Ver ") is the caller's.
std::wstring FormatVersion(int major, int minor, int revision);

// The sizes of the two text boxes for a window of this outer size (twips, frame included). The
// entry box stands 50 twips under the log pane's height as the pane reports it back.
struct PaneLayout {
  float pane_width = 0;
  float pane_height = 0;
  float entry_width = 0;
};
// Sizes that would come out negative (a tiny or minimized window) are held at zero.
PaneLayout ResizeRule(float outer_width, float outer_height);
inline constexpr float kEntryBelowPane = 50.0f;

}  // namespace zelmor::app

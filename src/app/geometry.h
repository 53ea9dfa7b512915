#pragma once
// The pure rules of the main window: caption, stored geometry, placement on the screen, and the
// text-box layout.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace zelmor::app {

// "Ver " + major "." + minor as two digits at least, then the revision in upper-case hex when
// it is above 0: 1.2.10 -> "1.02A". The prefix ("Zelmor Ver ") is the caller's.
std::wstring FormatVersion(int major, int minor, int revision);

// A stored geometry value in twips: decimal text, rounded to the nearest whole number with halves
// to even (1234.5 -> 1234, 1235.5 -> 1236). Empty, non-numeric and out-of-range text gives nothing,
// so that the caller's default applies.
std::optional<int32_t> ParseTwips(const std::wstring& text);

// Twips as stored: a whole number without a decimal part, otherwise the shortest exact form.
std::wstring FormatTwips(float twips);

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

inline constexpr float kDefaultTop = 0.0f;
inline constexpr float kDefaultLeft = 0.0f;
inline constexpr float kDefaultWidth = 7110.0f;
inline constexpr float kDefaultHeight = 4275.0f;

}  // namespace zelmor::app

#pragma once
// The pure rules of the main window: caption, stored geometry, and the text-box layout.

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

// Where the two text boxes go for a window of this outer size (twips, frame included).
struct PaneLayout {
  float text1_width = 0;
  float text1_height = 0;
  float text2_width = 0;
  float text2_top = 0;
};
// Sizes that would come out negative (a tiny or minimized window) are held at zero.
PaneLayout ResizeRule(float outer_width, float outer_height);

inline constexpr float kDefaultTop = 0.0f;
inline constexpr float kDefaultLeft = 0.0f;
inline constexpr float kDefaultWidth = 7110.0f;
inline constexpr float kDefaultHeight = 4275.0f;

}  // namespace zelmor::app

#pragma once
// Helpers for the worked-before tests, the entry benchmark with the hint and the guide's picture:
// logs written as this machine's Zelmor writes them, the hint read from its window, the summary
// read from its dialog.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/clock.h"
#include "harness.h"
#include "worked/grid_map.h"

namespace e2e::worked {

// `t` moved by `minutes` (either way), across day, month and year ends.
zelmor::LocalTime Shifted(const zelmor::LocalTime& t, int minutes);

// A line of the default template with this machine's settings, on `satellite`; without one, the
// fallback line (the feed failed).
std::wstring LogLineAt(const std::wstring& memo, const std::wstring& satellite, const zelmor::LocalTime& at);

// Writes the lines, CR LF after each, in the ANSI code page, as LOG Save does.
void WriteLog(const std::wstring& path, const std::vector<std::wstring>& lines);

// The ini's "[Zelmor]" section with these lines ("LOGfol=...", "Hints=0"), written beside
// Zelmor.exe before it starts.
void WriteSettings(const Zelmor& app, const std::vector<std::wstring>& lines);

// Zelmor's hint window (null before it is made, and with the hint turned off).
HWND HintWindow(const Zelmor& app);
bool HintShown(const Zelmor& app);
// Waits until the hint is shown with exactly `text` (its lines joined by CR LF); a failure tells
// what it showed instead.
::testing::AssertionResult WaitForHint(const Zelmor& app, const std::wstring& text, DWORD ms = 30000);

// Opens "交信集計", waits until it shows the whole count (not the note that the logs are still
// being read), reads it and closes the dialog. Empty when the dialog did not come or stayed
// incomplete for `ms`. `saw_reading` tells whether it first said that the logs were being read.
std::wstring SummaryText(Zelmor& app, DWORD ms = 60000, bool* saw_reading = nullptr);

// The summary's map as its button "地図をコピー" puts it on the clipboard, once the summary is
// complete: the picture (0xRRGGBB, row after row) and the height of the map in it, above the
// legend's strip. Empty when the dialog did not come, stayed incomplete or copied nothing.
struct CopiedMap {
  int width = 0, height = 0, map_height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
  // The colour `grid` ("PM95") is drawn in, the map laid out as the summary lays out `squares`.
  uint32_t SquareColour(const zelmor::worked::MapSquares& squares, const std::wstring& grid) const;
};
CopiedMap CopySummaryMap(Zelmor& app, DWORD ms = 60000);

}  // namespace e2e::worked

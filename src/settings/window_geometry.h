#pragma once
// The main window's place as "Zelmor.ini" keeps it: "ELTop", "ELLeft", "ELWidth" and "ELHeight" of
// section "LOGpos", in twips, so that a restart at another display scaling gives the window the
// same physical size.

#include <cstdint>
#include <optional>
#include <string>

#include "settings/profile.h"
#include "window/placement.h"

namespace zelmor::settings {

// Where the window goes when nothing usable is stored.
inline constexpr window::TwipsRect kDefaultWindowPlacement{0.0f, 0.0f, 7110.0f, 4275.0f};

// A stored geometry value in twips: decimal text, rounded to the nearest whole number with halves
// to even (1234.5 -> 1234, 1235.5 -> 1236). Empty, non-numeric and out-of-range text gives nothing,
// so that the caller's default applies.
std::optional<int32_t> ParseTwips(const std::wstring& text);

// Twips as stored: a whole number without a decimal part, otherwise the shortest exact form.
std::wstring FormatTwips(float twips);

// The stored place, read in the order top, left, width, height. Each value that is missing or does
// not read as a number gets its default on its own: one bad key must not cost the others.
window::TwipsRect ReadWindowPlacement(Profile& profile);

// Writes top, left, width and height, in that order.
void WriteWindowPlacement(Profile& profile, const window::TwipsRect& placement);

}  // namespace zelmor::settings

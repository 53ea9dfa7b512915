#pragma once
// The messages that parts of every layer post to the main window, numbered in one place: two
// parts that chose the same number would each take the other's message for their own.

#include <windows.h>

namespace zelmor::window {

inline constexpr UINT kTqslEndedMessage = WM_APP + 40;
inline constexpr UINT kFeedLookUpMessage = WM_APP + 41;
inline constexpr UINT kReportFetchedMessage = WM_APP + 42;

}  // namespace zelmor::window

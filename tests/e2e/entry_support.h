#pragma once
// Helpers for the logging-loop tests and the entry benchmark: the tracking-program simulator as a
// child process, the lines Zelmor should write computed with its own composition code, and a
// program run from the X side (xdotool) for real key events.

#include <windows.h>

#include <string>

#include "entry/log_line.h"
#include "harness.h"

namespace e2e::logging_loop {

// tracker-sim.exe, started in a folder and waited for until it serves.
class Tracker {
 public:
  bool Start(const TempFolder& folder, const std::wstring& arguments);
  // Closes its window as a user would; true once the process has ended.
  bool Close();
  void Kill() { process_.Kill(); }
  HWND window() const { return window_; }

 private:
  Child process_;
  HWND window_ = nullptr;
};

// A values file for tracker-sim --values (UTF-8), one item a line.
void WriteTrackerValues(const std::wstring& path, const zelmor::entry::FeedSnapshot& values);

// The local clock as the composition takes it.
zelmor::LocalTime Now();

// The line for `memo` as Zelmor composes it with the default template, or the fallback line.
std::wstring ComposedLine(const zelmor::entry::FeedSnapshot& values, const std::wstring& memo,
                          const zelmor::LocalTime& at);
std::wstring FallbackAt(const std::wstring& memo, const zelmor::LocalTime& at);

// Keys as the entry box's procedure sees them, each handled before the call returns (posted
// characters would race the check that follows, and a posted WM_KEYDOWN is translated into a
// second Enter by the receiver's message loop).
void SendChars(HWND control, const std::wstring& text);
// False when the box did not answer within `ms`.
bool SendEnter(HWND control, DWORD ms = 15000);

// Starts a Linux program (by its Z: path) from the Windows side without waiting for it.
bool StartUnix(const std::wstring& command_line);

}  // namespace e2e::logging_loop

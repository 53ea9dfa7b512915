#pragma once
// Turbo HAMLOG/Win found by its window class and sent one field by WM_COPYDATA.

#include <windows.h>

#include <cstdint>
#include <string>

#include "transfer/logging_link.h"

namespace zelmor::transfer {

inline constexpr char kLoggingProgramClass[] = "TThwin";
// A logging program that does not answer within this time is given up on, so that a hung one
// cannot freeze the log window.
inline constexpr UINT kSendTimeoutMs = 5000;

class HamlogLink : public LoggingProgram {
 public:
  // `main_window` goes out as wParam of every send: the logging program learns who sent it.
  explicit HamlogLink(HWND main_window = nullptr, UINT timeout_ms = kSendTimeoutMs)
      : main_window_(main_window), timeout_ms_(timeout_ms) {}

  int32_t FindLoggingProgram() override;
  // Sent, never posted: the record and its text stay valid until the call returns. A logging
  // program that hangs or does not answer in time is treated like one whose answer is not read.
  bool Send(uint32_t dwData, const std::wstring& text) override;

  // The window of the most recent lookup; null when it found nothing.
  HWND LoggingProgramWindow() const { return logging_program_window_; }
  // How the last send ended: ERROR_SUCCESS when the logging program handled it, else the reason
  // (ERROR_TIMEOUT for a hung one). Nothing acts on it; it is there to be inspected.
  DWORD last_send_error() const { return last_send_error_; }

 private:
  HWND main_window_;
  UINT timeout_ms_;
  HWND logging_program_window_ = nullptr;
  DWORD last_send_error_ = ERROR_SUCCESS;
};

}  // namespace zelmor::transfer

#include "transfer/hamlog_link_win.h"

#include "base/codepage_win.h"

namespace zelmor::transfer {

int32_t HamlogLink::FindLoggingProgram() {
  // Window handles are not signed numbers: any window found counts, whatever its handle's value.
  logging_program_window_ = FindWindowA(kLoggingProgramClass, nullptr);
  return logging_program_window_ ? kLoggingProgramFound : kLoggingProgramMissing;
}

bool HamlogLink::Send(uint32_t dwData, const std::wstring& text) {
  if (!logging_program_window_) return false;
  // The record lives on this frame until the send has returned: the logging program reads it
  // while we wait.
  WireRecord record = BuildWireRecord(dwData, base::ToAnsi(text));
  COPYDATASTRUCT data{};
  data.dwData = record.dwData;
  data.cbData = record.cbData;
  data.lpData = record.bytes.data();
  DWORD_PTR answer = 0;
  SetLastError(ERROR_SUCCESS);
  const LRESULT sent = SendMessageTimeoutA(logging_program_window_, WM_COPYDATA,
                                           reinterpret_cast<WPARAM>(main_window_),
                                           reinterpret_cast<LPARAM>(&data),
                                           SMTO_ABORTIFHUNG | SMTO_NORMAL, timeout_ms_, &answer);
  if (sent) {
    last_send_error_ = ERROR_SUCCESS;
  } else {
    const DWORD error = GetLastError();
    last_send_error_ = error != ERROR_SUCCESS ? error : ERROR_TIMEOUT;
  }
  return sent != 0;
}

}  // namespace zelmor::transfer

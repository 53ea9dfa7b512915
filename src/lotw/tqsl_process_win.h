#pragma once
// TQSL as a child process of the LoTW upload, whose end is posted to the main window.

#include <windows.h>

#include <optional>
#include <string>

#include "base/handles_win.h"
#include "lotw/lotw_upload.h"
#include "lotw/tqsl_win.h"
#include "window/main_window_messages.h"

namespace zelmor::lotw {

// Posted to the main window when TQSL has ended; hand it to LotwUpload::OnTqslEnded.
inline constexpr UINT kTqslEndedMessage = window::kTqslEndedMessage;

class Win32TqslProcess : public TqslProcess {
 public:
  explicit Win32TqslProcess(HWND notify) : notify_(notify) {}
  Start Begin(const TqslJob& job, const Secret* passphrase) override;
  bool Running() const override { return runner_.Running(); }
  std::optional<TqslOutcome> Finish() override { return runner_.Finish(); }
  std::wstring FailureText() const override;

 private:
  HWND notify_;
  TqslRunner runner_;
};

}  // namespace zelmor::lotw

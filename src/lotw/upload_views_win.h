#pragma once
// What the LoTW upload shows the operator: the passphrase box and the report window.

#include <windows.h>

#include <optional>
#include <string>

#include "base/handles_win.h"
#include "lotw/lotw_upload.h"

namespace zelmor::lotw {

// The passphrase box, and the report: a small window over the main one, shown without taking the
// activation, so that what the operator types goes on into the entry box. It stays until its OK.
class Win32UploadViews : public UploadViews {
 public:
  Win32UploadViews(HWND owner, HINSTANCE instance) : owner_(owner), instance_(instance) {}
  std::optional<Secret> AskPassphrase() override;
  void ShowReport(const std::wstring& text) override;

  // The report window's keys (Enter, Esc, Tab) once the operator has clicked into it.
  bool PreTranslate(MSG& msg);

 private:
  static INT_PTR CALLBACK ReportProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  void PlaceReport();

  HWND owner_;
  HINSTANCE instance_;
  base::UniqueHwnd report_;
};

}  // namespace zelmor::lotw

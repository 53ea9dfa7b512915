#pragma once
// What the LoTW upload shows the operator: the passphrase box and the report window.

#include <windows.h>

#include <optional>
#include <string>

#include "base/resource.h"
#include "lotw/lotw_upload.h"
#include "lotw/report_window_win.h"

namespace zelmor::lotw {

class Win32UploadViews : public UploadViews {
 public:
  Win32UploadViews(HWND owner, HINSTANCE instance)
      : owner_(owner), instance_(instance), report_(owner, instance, IDS_LOTW_CAPTION) {}
  std::optional<Secret> AskPassphrase() override;
  void ShowReport(const std::wstring& text) override { report_.Show(text); }

  // The report window's keys (Enter, Esc, Tab) once the operator has clicked into it.
  bool PreTranslate(MSG& msg) { return report_.PreTranslate(msg); }

 private:
  HWND owner_;
  HINSTANCE instance_;
  ReportWindow report_;
};

}  // namespace zelmor::lotw

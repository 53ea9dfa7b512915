#pragma once
// What the fetch of confirmations shows the operator and the files it keeps, on Windows: the
// password box, the report window, and the kept file read and replaced whole.

#include <windows.h>

#include <optional>
#include <string>

#include "base/resource.h"
#include "lotw/lotw_fetch.h"
#include "lotw/report_window_win.h"

namespace zelmor::lotw {

class Win32FetchViews : public FetchViews {
 public:
  Win32FetchViews(HWND owner, HINSTANCE instance)
      : owner_(owner), instance_(instance), report_(owner, instance, IDS_FETCH_CAPTION) {}
  std::optional<LoginAnswer> AskLogin(const std::wstring& login, const Secret* saved) override;
  void ShowReport(const std::wstring& text) override { report_.Show(text); }

  // The report window's keys once the operator has clicked into it.
  bool PreTranslate(MSG& msg) { return report_.PreTranslate(msg); }

 private:
  HWND owner_;
  HINSTANCE instance_;
  ReportWindow report_;
};

// As every file of Zelmor's: written beside itself and renamed over (base/atomic_file_win.h).
class Win32KeptFiles : public KeptFiles {
 public:
  bool Read(const std::wstring& path, std::string& bytes) override;
  bool Replace(const std::wstring& path, const std::string& bytes) override;
};

}  // namespace zelmor::lotw

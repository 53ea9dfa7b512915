#pragma once
// The Win32 side of the station and LoTW commands: TQSL as a child process whose end is posted to
// the main window, the passphrase box, the report window, and the station dialog.

#include <windows.h>

#include <optional>
#include <string>

#include "adif/lotw_command.h"
#include "adif/station_command.h"
#include "adif/tqsl_win.h"
#include "base/handles_win.h"

namespace zelmor::adif {

// Posted to the main window when TQSL has ended; hand it to LotwUpload::OnTqslEnded.
inline constexpr UINT kTqslEndedMessage = WM_APP + 40;

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

class Win32StationDialog : public StationDialog {
 public:
  Win32StationDialog(HWND owner, HINSTANCE instance) : owner_(owner), instance_(instance) {}
  std::optional<contact::Station> Ask(const std::optional<contact::Station>& current) override;

 private:
  HWND owner_;
  HINSTANCE instance_;
};

}  // namespace zelmor::adif

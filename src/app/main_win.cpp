// Zelmor: a satellite-contact logger for the field.

#include <windows.h>

#include <commctrl.h>

#include "app/main_window_win.h"
#include "base/resource.h"
#include "base/texts.h"
#include "window/base_window_win.h"

namespace {

// A failure that escapes a command is told to the operator, who can then save the log; the
// window goes on working.
class TellTheOperator final : public zelmor::window::FailureReporter {
 public:
  void Report(HWND, UINT, const std::wstring& what) override {
    const std::wstring text = zelmor::LoadText(IDS_UNEXPECTED_FAILURE) + L"\r\n" + what;
    MessageBoxW(nullptr, text.c_str(), zelmor::LoadText(IDS_APP_TITLE).c_str(), MB_OK | MB_ICONSTOP);
  }
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show_command) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  static TellTheOperator reporter;
  zelmor::window::SetFailureReporter(&reporter);

  zelmor::app::MainWindow window(instance);
  if (!window.Create(show_command)) return 1;

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (window.PreTranslate(msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

#include "lotw/upload_views_win.h"

#include "base/resource.h"
#include "lotw/passphrase_box_win.h"
#include "window/placement_win.h"

namespace zelmor::lotw {

std::optional<Secret> Win32UploadViews::AskPassphrase() { return lotw::AskPassphrase(owner_, instance_); }

void Win32UploadViews::ShowReport(const std::wstring& text) {
  if (!report_) {
    report_.reset(CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_LOTW_REPORT), owner_,
                                     &Win32UploadViews::ReportProcedure, reinterpret_cast<LPARAM>(this)));
    if (!report_) return;
    PlaceReport();
  }
  SetDlgItemTextW(report_.get(), IDC_LOTW_REPORT_TEXT, text.c_str());
  ShowWindow(report_.get(), SW_SHOWNOACTIVATE);
}

// Beside the main window where the screen has room, so that the log and the entry box stay in
// view; over its right edge where it has none.
void Win32UploadViews::PlaceReport() {
  RECT main{}, own{};
  GetWindowRect(owner_, &main);
  GetWindowRect(report_.get(), &own);
  const window::ScreenRect placed =
      window::PlacePopup({main.left, main.top, main.right, main.bottom}, own.right - own.left, own.bottom - own.top, 0,
                         window::PopupSide::Right, window::WorkAreaNear(owner_));
  SetWindowPos(report_.get(), nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Win32UploadViews::PreTranslate(MSG& msg) {
  return report_ && GetActiveWindow() == report_.get() && IsDialogMessageW(report_.get(), &msg);
}

INT_PTR CALLBACK Win32UploadViews::ReportProcedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      // The keyboard stays where the operator is typing.
      return FALSE;
    case WM_NCDESTROY:
      // Gone with the main window, which owns it: nothing is left to destroy later.
      if (auto* self = reinterpret_cast<Win32UploadViews*>(GetWindowLongPtrW(dialog, DWLP_USER))) {
        self->report_.release();
      }
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        // Hidden, not destroyed: the next report reuses it where the operator left it.
        ShowWindow(dialog, SW_HIDE);
        if (HWND owner = GetWindow(dialog, GW_OWNER)) SetActiveWindow(owner);
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace zelmor::lotw

#include "lotw/report_window_win.h"

#include "base/resource.h"
#include "base/texts.h"
#include "window/placement_win.h"

namespace zelmor::lotw {

void ReportWindow::Show(const std::wstring& text) {
  if (!window_) {
    window_.reset(CreateDialogParamW(instance_, MAKEINTRESOURCEW(IDD_LOTW_REPORT), owner_, &ReportWindow::Procedure,
                                     reinterpret_cast<LPARAM>(this)));
    if (!window_) return;
    SetWindowTextW(window_.get(), LoadText(caption_).c_str());
    Place();
  }
  SetDlgItemTextW(window_.get(), IDC_LOTW_REPORT_TEXT, text.c_str());
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
}

// Beside the main window where the screen has room, so that the log and the entry box stay in
// view; over its right edge where it has none.
void ReportWindow::Place() {
  RECT main{}, own{};
  GetWindowRect(owner_, &main);
  GetWindowRect(window_.get(), &own);
  const window::ScreenRect placed =
      window::PlacePopup({main.left, main.top, main.right, main.bottom}, own.right - own.left, own.bottom - own.top, 0,
                         window::PopupSide::Right, window::WorkAreaNear(owner_));
  SetWindowPos(window_.get(), nullptr, placed.left, placed.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool ReportWindow::PreTranslate(MSG& msg) {
  return window_ && GetActiveWindow() == window_.get() && IsDialogMessageW(window_.get(), &msg);
}

INT_PTR CALLBACK ReportWindow::Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrW(dialog, DWLP_USER, lparam);
      // The keyboard stays where the operator is typing.
      return FALSE;
    case WM_NCDESTROY:
      // Gone with the main window, which owns it: nothing is left to destroy later.
      if (auto* self = reinterpret_cast<ReportWindow*>(GetWindowLongPtrW(dialog, DWLP_USER))) {
        self->window_.release();
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

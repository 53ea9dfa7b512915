#include "window/modal_dialog_win.h"

#include "base/resource.h"
#include "base/texts.h"

namespace zelmor::window {

INT_PTR ModalDialog::Run(HINSTANCE instance, int id, HWND owner) {
  return DialogBoxParamW(instance, MAKEINTRESOURCEW(id), owner, &ModalDialog::Procedure,
                         reinterpret_cast<LPARAM>(this));
}

void ModalDialog::FocusControl(int id) {
  SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, id)), TRUE);
}

INT_PTR CALLBACK ModalDialog::Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  ModalDialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<ModalDialog*>(lparam);
    self->hwnd_ = dialog;
    SetWindowLongPtrW(dialog, DWLP_USER, lparam);
  } else {
    self = reinterpret_cast<ModalDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
  }
  if (!self) return FALSE;
  INT_PTR result = FALSE;
  try {
    result = self->OnMessage(message, wparam, lparam);
  } catch (...) {
    // Nothing the dialog did is taken: the operator is told, and it ends as if cancelled.
    MessageBoxW(dialog, LoadText(IDS_UNEXPECTED_FAILURE).c_str(), LoadText(IDS_APP_TITLE).c_str(),
                MB_OK | MB_ICONSTOP);
    EndDialog(dialog, IDCANCEL);
    result = TRUE;
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(dialog, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

}  // namespace zelmor::window

#pragma once
// One base for the program's modal dialogs (dialog resources in zelmor.rc): the dialog procedure
// finds its object through DWLP_USER (stored at WM_INITDIALOG), each message goes to the object's
// OnMessage, and a failure that escapes a handler is shown to the operator and closes the dialog
// as cancelled, never let into the system's dialog manager.
//
// Dialogs are laid out in dialog units, which follow the dialog's font: at every DPI they keep
// their look, and with per-monitor awareness Windows rescales them when they move to a monitor of
// another scaling.

#include <windows.h>

namespace zelmor::window {

class ModalDialog {
 public:
  ModalDialog() = default;
  virtual ~ModalDialog() = default;
  ModalDialog(const ModalDialog&) = delete;
  ModalDialog& operator=(const ModalDialog&) = delete;

  // Shows the dialog resource `id` over `owner` and returns once it is closed: the result given to
  // End (IDCANCEL for the close button and Escape), or -1 when it could not be shown.
  INT_PTR Run(HINSTANCE instance, int id, HWND owner);

 protected:
  HWND hwnd() const { return hwnd_; }
  // Every message from WM_INITDIALOG on; FALSE leaves it to the dialog manager. WM_INITDIALOG
  // returns TRUE to let the system focus the first control.
  virtual INT_PTR OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  void End(INT_PTR result) { EndDialog(hwnd_, result); }
  // Moves the keyboard focus to a control as a Tab would (an edit box's text is selected).
  void FocusControl(int id);

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};

}  // namespace zelmor::window

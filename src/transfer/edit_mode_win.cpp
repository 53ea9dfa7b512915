#include "transfer/edit_mode_win.h"

#include "transfer/clipboard_win.h"

namespace zelmor::transfer {

namespace {

// The window's own procedure has its `this` in the user data, so edit mode finds its side by a
// window property instead.
constexpr wchar_t kEditModeProperty[] = L"Zelmor.EditModeWindow";

}  // namespace

EditModeWindow::EditModeWindow(HWND main_window, LogPane& pane, MenuBarItems& menu_bar,
                               int hint_position, HMENU transfer_menu,
                               const EditModeCommands& commands, MainState& state,
                               LoggingProgram& logging_program, MessageBoxes& boxes)
    : main_window_(main_window),
      pane_(pane),
      menu_bar_(menu_bar),
      hint_position_(hint_position),
      transfer_menu_(transfer_menu),
      commands_(commands),
      logging_program_(logging_program),
      boxes_(boxes),
      mode_(state, *this) {}

EditModeWindow::~EditModeWindow() {
  mode_.Unload();
  if (IsWindow(main_window_) && FromWindow(main_window_) == this) {
    RemovePropW(main_window_, kEditModeProperty);
  }
}

EditModeWindow* EditModeWindow::FromWindow(HWND window) {
  return static_cast<EditModeWindow*>(GetPropW(window, kEditModeProperty));
}

bool EditModeWindow::OnCommand(UINT id) {
  // Failures here end the command quietly; none may leave the window procedure.
  if (id == commands_.log_edit) {
    try {
      mode_.LOGedit_Click();
    } catch (...) {
    }
    return true;
  }
  for (size_t i = 0; i < commands_.transfer_items.size(); ++i) {
    if (id != commands_.transfer_items[i]) continue;
    try {
      // Read when chosen, not when the notice came: that is the text the operator sees pasted.
      SendClipboardTextToField(kTransferMenu[i].code, ReadClipboardText(main_window_),
                               logging_program_, boxes_);
    } catch (...) {
    }
    return true;
  }
  return false;
}

void EditModeWindow::CheckEditItem(bool checked) {
  CheckMenuItem(menu_bar_.bar(), commands_.log_edit,
                MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void EditModeWindow::ShowHint(bool shown) { menu_bar_.ShowTopLevelItem(hint_position_, shown); }

void EditModeWindow::EnablePane(bool enabled) { pane_.SetEnabled(enabled); }

void EditModeWindow::StartClipboardWatch() { AddClipboardFormatListener(main_window_); }

void EditModeWindow::StopClipboardWatch() { RemoveClipboardFormatListener(main_window_); }

void EditModeWindow::Subclass() {
  // The property goes first: from the moment the procedure is replaced it must find its way back.
  if (!SetPropW(main_window_, kEditModeProperty, this)) return;
  const LONG_PTR previous = SetWindowLongPtrW(main_window_, GWLP_WNDPROC,
                                              reinterpret_cast<LONG_PTR>(&EditModeWindowProc));
  if (previous != 0) saved_procedure_ = reinterpret_cast<WNDPROC>(previous);
}

void EditModeWindow::Unsubclass() {
  if (saved_procedure_ && IsWindow(main_window_)) {
    SetWindowLongPtrW(main_window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved_procedure_));
  }
}

uint32_t EditModeWindow::ClipboardSequence() { return GetClipboardSequenceNumber(); }

LRESULT CALLBACK EditModeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  EditModeWindow* self = EditModeWindow::FromWindow(window);
  if (!self || !self->saved_procedure_) return DefWindowProcW(window, message, wparam, lparam);

  if (message == WM_CLIPBOARDUPDATE) {
    bool pop = false;
    try {
      pop = self->mode_.OnClipboardChanged(GetClipboardSequenceNumber());
    } catch (...) {
    }
    if (pop) {
      // A failure to show the menu is ignored; the notice still goes on below. The chosen item
      // comes back as an ordinary WM_COMMAND of the window.
      POINT at{};
      GetCursorPos(&at);
      SetForegroundWindow(window);
      TrackPopupMenu(self->transfer_menu_, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, window,
                     nullptr);
      // The menu ran a message loop: the window or its edit-mode side may be gone by now.
      self = EditModeWindow::FromWindow(window);
      if (!self) return 0;
      self->mode_.MenuClosed();
    }
  }

  const WNDPROC own = self->saved_procedure_;
  if (message == WM_NCDESTROY) RemovePropW(window, kEditModeProperty);
  return CallWindowProcW(own, window, message, wparam, lparam);
}

}  // namespace zelmor::transfer

#pragma once
// The main window's side of edit mode: its menus, the log pane, the clipboard listener and the
// edit-mode window procedure that pops up the transfer menu.

#include <windows.h>

#include <array>

#include "app/ports.h"
#include "transfer/edit_mode.h"
#include "transfer/field_transfer.h"
#include "transfer/logging_link.h"
#include "transfer/menu_bar_win.h"

namespace zelmor::transfer {

// The main window's command IDs that edit mode answers.
struct EditModeCommands {
  UINT log_edit = 0;                                             // LOGedit "LOG編集(&E)"
  std::array<UINT, kTransferMenuItemCount> transfer_items = {};  // cpDATE..cpREM2, in menu order
};

// The replacement procedure of the main window while edit mode is on. It pops up the transfer
// menu for each clipboard change and passes every message, that notice included, on to the
// window's own procedure.
LRESULT CALLBACK EditModeWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

class EditModeWindow : private EditModeHost {
 public:
  // `menu_bar` knows the bar with every item on it; `hint_position` is HLMSG's place there.
  // `transfer_menu` is the HLcopyMenu submenu that pops up. All references must outlive this.
  EditModeWindow(HWND main_window, LogPane& pane, MenuBarItems& menu_bar, int hint_position,
                 HMENU transfer_menu, const EditModeCommands& commands, MainState& state,
                 LoggingProgram& logging_program, MessageBoxes& boxes);
  // Gives the window its own procedure back and stops the clipboard watch if still needed.
  ~EditModeWindow() override;
  EditModeWindow(const EditModeWindow&) = delete;
  EditModeWindow& operator=(const EditModeWindow&) = delete;

  // A WM_COMMAND of the main window: LOGedit toggles edit mode; a transfer item reads the
  // clipboard now and sends its text to the item's field. False for any other command.
  bool OnCommand(UINT id);
  // The file commands call this first (it does nothing outside edit mode).
  void LeaveEditMode() { mode_.LeaveEditMode(); }
  // Unload step: the window's own procedure back, the clipboard listener gone; no flag changes.
  void Unload() { mode_.Unload(); }
  // EN_CHANGE of the log pane that the operator caused.
  void OnPaneEditedByUser() { mode_.OnPaneEditedByUser(); }

  EditMode& mode() { return mode_; }
  // The window's own procedure as taken at the latest entry; null before the first.
  WNDPROC saved_procedure() const { return saved_procedure_; }

 private:
  friend LRESULT CALLBACK EditModeWindowProc(HWND, UINT, WPARAM, LPARAM);
  static EditModeWindow* FromWindow(HWND window);

  void CheckEditItem(bool checked) override;
  void ShowHint(bool shown) override;
  void EnablePane(bool enabled) override;
  void StartClipboardWatch() override;
  void StopClipboardWatch() override;
  void Subclass() override;
  void Unsubclass() override;
  uint32_t ClipboardSequence() override;

  HWND main_window_;
  LogPane& pane_;
  MenuBarItems& menu_bar_;
  int hint_position_;
  HMENU transfer_menu_;
  EditModeCommands commands_;
  LoggingProgram& logging_program_;
  MessageBoxes& boxes_;
  WNDPROC saved_procedure_ = nullptr;
  EditMode mode_;
};

}  // namespace zelmor::transfer

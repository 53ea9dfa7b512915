#pragma once
// The main window's side of edit mode: its menus, the log pane, the clipboard listener and the
// transfer menu that pops up for each clipboard change.

#include <windows.h>

#include <array>

#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/log_pane.h"
#include "logfiles/file_command.h"
#include "transfer/edit_mode.h"
#include "transfer/field_transfer.h"
#include "transfer/logging_link.h"
#include "transfer/whole_line.h"
#include "window/menu_bar_win.h"

namespace zelmor::transfer {

// The main window's command IDs that edit mode answers.
struct EditModeCommands {
  UINT edit_mode = 0;                                            // "LOG編集(&E)"
  std::array<UINT, kTransferMenuItemCount> transfer_items = {};  // "to HL DATE".."to HL REM-2", in menu order
  UINT whole_contact = 0;                                        // every field of one log line
};

class EditModeWindow final : public logfiles::EditModeSwitch, private EditModeHost {
 public:
  // `menu_bar` knows the bar with every item on it; `hint_position` is the hint's place there.
  // `transfer_menu` is the submenu that pops up; `planner` reads a clipboard text for the
  // whole-contact item. All references must outlive this.
  EditModeWindow(HWND main_window, entry::LogPane& pane, window::MenuBarItems& menu_bar, int hint_position,
                 HMENU transfer_menu, const EditModeCommands& commands, MainState& state,
                 LoggingProgram& logging_program, MessageBoxes& boxes, ContactPlanner& planner);
  // Stops the clipboard watch if still needed.
  ~EditModeWindow() override;
  EditModeWindow(const EditModeWindow&) = delete;
  EditModeWindow& operator=(const EditModeWindow&) = delete;

  // A WM_COMMAND of the main window: the edit-mode item toggles edit mode; a transfer item reads
  // the clipboard now and sends its text to the item's field, the whole-contact item every field
  // of the first log line on it. False for any other command.
  bool OnCommand(UINT id);
  // WM_CLIPBOARDUPDATE of the main window: in edit mode, the transfer menu pops up at the mouse
  // pointer, its whole-contact item greyed unless the clipboard holds a readable log line, and the
  // chosen item comes back as a WM_COMMAND. Returns when the menu has closed.
  void OnClipboardUpdate();
  // The file commands call this first (it does nothing outside edit mode).
  void LeaveEditMode() override { mode_.LeaveEditMode(); }
  // The main window is closing: the clipboard watch stops; no flag changes.
  void Close() { mode_.Close(); }
  // The operator changed the log pane's text (not the program).
  void OnPaneEditedByUser() { mode_.OnPaneEditedByUser(); }

 private:
  void CheckEditItem(bool checked) override;
  void ShowHint(bool shown) override;
  void EnablePane(bool enabled) override;
  void StartClipboardWatch() override;
  void StopClipboardWatch() override;
  uint32_t ClipboardSequence() override;

  HWND main_window_;
  entry::LogPane& pane_;
  window::MenuBarItems& menu_bar_;
  int hint_position_;
  HMENU transfer_menu_;
  EditModeCommands commands_;
  LoggingProgram& logging_program_;
  MessageBoxes& boxes_;
  ContactPlanner& planner_;
  EditMode mode_;
};

}  // namespace zelmor::transfer

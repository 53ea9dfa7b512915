#include "transfer/edit_mode_win.h"

#include "transfer/clipboard_win.h"

namespace zelmor::transfer {

EditModeWindow::EditModeWindow(HWND main_window, entry::LogPane& pane, window::MenuBarItems& menu_bar,
                               int hint_position, HMENU transfer_menu, const EditModeCommands& commands,
                               MainState& state, LoggingProgram& logging_program, MessageBoxes& boxes,
                               ContactPlanner& planner)
    : main_window_(main_window),
      pane_(pane),
      menu_bar_(menu_bar),
      hint_position_(hint_position),
      transfer_menu_(transfer_menu),
      commands_(commands),
      logging_program_(logging_program),
      boxes_(boxes),
      planner_(planner),
      mode_(state, *this) {}

EditModeWindow::~EditModeWindow() { mode_.Close(); }

bool EditModeWindow::OnCommand(UINT id) {
  if (id == commands_.edit_mode) {
    mode_.ToggleEditMode();
    return true;
  }
  if (id == commands_.whole_contact && id != 0) {
    const auto fields = planner_.Plan(ReadClipboardText(main_window_));
    // The clipboard may have changed since the menu was shown; then there is nothing to send.
    if (fields) SendFieldsToLoggingProgram(*fields, logging_program_, boxes_);
    return true;
  }
  for (size_t i = 0; i < commands_.transfer_items.size(); ++i) {
    if (id != commands_.transfer_items[i]) continue;
    // Read when chosen, not when the notice came: that is the text the operator sees pasted.
    SendClipboardTextToField(kTransferMenu[i].code, ReadClipboardText(main_window_), logging_program_, boxes_);
    return true;
  }
  return false;
}

void EditModeWindow::OnClipboardUpdate() {
  if (!mode_.OnClipboardChanged(GetClipboardSequenceNumber())) return;
  // A failure to show the menu is ignored. The chosen item comes back as an ordinary WM_COMMAND
  // of the window.
  if (commands_.whole_contact != 0) {
    const bool readable = planner_.Plan(ReadClipboardText(main_window_)).has_value();
    EnableMenuItem(transfer_menu_, commands_.whole_contact, MF_BYCOMMAND | (readable ? MF_ENABLED : MF_GRAYED));
  }
  // Under Wine the display's focus news of a window closed a moment ago (the Open dialog) may
  // still wait unread; read inside the menu's own loop, it would close the menu at once. A wait of
  // no time reads it first, and on Windows costs nothing.
  MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(main_window_);
  TrackPopupMenu(transfer_menu_, TPM_LEFTALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, main_window_, nullptr);
  mode_.MenuClosed();
}

void EditModeWindow::CheckEditItem(bool checked) {
  CheckMenuItem(menu_bar_.bar(), commands_.edit_mode, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void EditModeWindow::ShowHint(bool shown) { menu_bar_.ShowTopLevelItem(hint_position_, shown); }

void EditModeWindow::EnablePane(bool enabled) { pane_.SetEnabled(enabled); }

void EditModeWindow::StartClipboardWatch() { AddClipboardFormatListener(main_window_); }

void EditModeWindow::StopClipboardWatch() { RemoveClipboardFormatListener(main_window_); }

uint32_t EditModeWindow::ClipboardSequence() { return GetClipboardSequenceNumber(); }

}  // namespace zelmor::transfer

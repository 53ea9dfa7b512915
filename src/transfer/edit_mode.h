#pragma once
// Edit mode: the main window's second state, in which the log pane can be edited and every
// clipboard change offers the transfer menu. This is the order of the steps and the clipboard-notice
// bookkeeping; the window side does each step (see edit_mode_win.h).

#include <cstdint>

#include "base/main_state.h"

namespace zelmor::transfer {

// The steps of entering and leaving edit mode, done by the main window.
class EditModeHost {
 public:
  virtual ~EditModeHost() = default;
  virtual void CheckEditItem(bool checked) = 0;  // LOGedit "LOG編集(&E)"
  virtual void ShowHint(bool shown) = 0;         // HLMSG on the menu bar
  virtual void EnablePane(bool enabled) = 0;     // the log pane Text1
  // Clipboard notices reach the main window while the watch is on.
  virtual void StartClipboardWatch() = 0;
  virtual void StopClipboardWatch() = 0;
  // The clipboard's change counter as it stands now; 0 when it cannot be read.
  virtual uint32_t ClipboardSequence() = 0;
};

class EditMode {
 public:
  EditMode(MainState& state, EditModeHost& host) : state_(state), host_(host) {}
  EditMode(const EditMode&) = delete;
  EditMode& operator=(const EditMode&) = delete;

  // The LOGedit command: enters edit mode when it is off, leaves it when it is on.
  void ToggleEditMode();
  // Leaves edit mode; the file commands call it first when the edit-mode flag holds 1. Outside
  // edit mode it does nothing.
  void LeaveEditMode();
  // A clipboard notice reached the main window. True when the transfer
  // menu is to pop up now; the caller then calls MenuClosed once it has closed. No menu outside
  // edit mode, none while one is open, and one only for a change that two notices report.
  bool OnClipboardChanged(uint32_t sequence);
  void MenuClosed();
  // The operator changed the log pane's text (not the program itself): in edit mode the log now
  // holds something that is not saved.
  void OnPaneEditedByUser();
  // The main window is closing: the watch stops. Neither flag changes.
  void Close();

  bool watching() const { return watching_; }

 private:
  void EnterEditMode();

  MainState& state_;
  EditModeHost& host_;
  bool watching_ = false;
  bool menu_open_ = false;
  uint32_t last_sequence_ = 0;
};

}  // namespace zelmor::transfer

#include "transfer/edit_mode.h"

namespace zelmor::transfer {

void EditMode::LOGedit_Click() {
  if (state_.edit_mode == 1) {
    LeaveEditMode();
  } else {
    EnterEditMode();
  }
}

void EditMode::EnterEditMode() {
  state_.edit_mode = 1;
  host_.CheckEditItem(true);
  host_.ShowHint(true);
  host_.EnablePane(true);
  // The change that is on the clipboard now is not news: only later changes pop the menu up.
  last_sequence_ = host_.ClipboardSequence();
  menu_open_ = false;
  // The watch starts before the procedure is replaced, so a notice that joining may bring reaches
  // the window's own procedure and shows no menu.
  host_.StartClipboardWatch();
  watching_ = true;
  host_.Subclass();
  subclassed_ = true;
}

void EditMode::LeaveEditMode() {
  if (state_.edit_mode != 1) return;
  state_.edit_mode = 0;
  host_.CheckEditItem(false);
  host_.ShowHint(false);
  host_.EnablePane(false);
  if (watching_) {
    host_.StopClipboardWatch();
    watching_ = false;
  }
  if (subclassed_) {
    host_.Unsubclass();
    subclassed_ = false;
  }
}

bool EditMode::OnClipboardChanged(uint32_t sequence) {
  if (state_.edit_mode != 1) return false;
  // A counter of 0 means it could not be read; then every notice counts, rather than none.
  if (sequence != 0) {
    if (sequence == last_sequence_) return false;
    last_sequence_ = sequence;
  }
  if (menu_open_) return false;
  menu_open_ = true;
  return true;
}

void EditMode::MenuClosed() { menu_open_ = false; }

void EditMode::OnPaneEditedByUser() {
  if (state_.edit_mode == 1) state_.unsaved_log = 1;
}

void EditMode::Unload() {
  if (watching_) {
    host_.StopClipboardWatch();
    watching_ = false;
  }
  if (subclassed_) {
    host_.Unsubclass();
    subclassed_ = false;
  }
}

}  // namespace zelmor::transfer

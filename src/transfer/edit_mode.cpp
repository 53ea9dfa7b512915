#include "transfer/edit_mode.h"

namespace zelmor::transfer {

void EditMode::ToggleEditMode() {
  if (state_.edit_mode) {
    LeaveEditMode();
  } else {
    EnterEditMode();
  }
}

void EditMode::EnterEditMode() {
  state_.edit_mode = true;
  host_.CheckEditItem(true);
  host_.ShowHint(true);
  host_.EnablePane(true);
  // The change that is on the clipboard now is not news: only later changes pop the menu up.
  last_sequence_ = host_.ClipboardSequence();
  menu_open_ = false;
  // A notice that joining the watch may bring reports the change counted above and shows no menu.
  host_.StartClipboardWatch();
  watching_ = true;
}

void EditMode::LeaveEditMode() {
  if (!state_.edit_mode) return;
  state_.edit_mode = false;
  host_.CheckEditItem(false);
  host_.ShowHint(false);
  host_.EnablePane(false);
  if (watching_) {
    host_.StopClipboardWatch();
    watching_ = false;
  }
}

bool EditMode::OnClipboardChanged(uint32_t sequence) {
  if (!state_.edit_mode) return false;
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
  if (state_.edit_mode) state_.log_unsaved = true;
}

void EditMode::Close() {
  if (watching_) {
    host_.StopClipboardWatch();
    watching_ = false;
  }
}

}  // namespace zelmor::transfer

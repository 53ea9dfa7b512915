#pragma once
// What every command of the File menu works on: the main window's state and the services it
// owns, borrowed by each command through one context. A new File command takes a
// FileCommandContext& (and whatever else only it needs) and starts with LeaveEditModeIfOn.

#include <string>

#include "base/clock.h"
#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/locale.h"
#include "entry/log_pane.h"
#include "logfiles/file_dialogs.h"
#include "logfiles/text_files.h"
#include "settings/profile.h"

namespace zelmor::logfiles {

// Edit mode belongs to a layer above the file commands; all they do with it is end it.
class EditModeSwitch {
 public:
  virtual ~EditModeSwitch() = default;
  // Leaves edit mode: the pane is disabled again and the clipboard no longer watched.
  virtual void LeaveEditMode() = 0;
};

struct FileCommandContext {
  MainState& state;
  settings::Profile& profile;
  FileDialogs& dialogs;
  // The main window's one dialog: each command sets what it needs and leaves the rest as the
  // previous command left it.
  FileDialogState& dialog_state;
  TextFiles& files;
  MessageBoxes& messages;
  entry::LogPane& pane;
  Clock& clock;
  // The locale the log lines were written in, for commands that read them back.
  entry::Locale& locale;
  EditModeSwitch& edit_mode;
  std::wstring executable_folder;  // no trailing backslash
};

// The first step of every File command: edit mode ends when it is on.
void LeaveEditModeIfOn(FileCommandContext& context);

// The folder where the dialogs of the log and of what is made from it start: "LOGfol" of section
// "Zelmor", or the program's folder when the key is missing or names a folder the dialogs cannot
// start in.
std::wstring LogFolder(FileCommandContext& context);

}  // namespace zelmor::logfiles

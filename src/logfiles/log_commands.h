#pragma once
// The File menu commands that move the whole log between the pane and files: "LOG Open(O)",
// "LOG Save(&S)" and the safety-copy viewer "非常用LOG Open(T)".

#include <functional>
#include <string>

#include "base/clock.h"
#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/log_pane.h"
#include "logfiles/file_dialogs.h"
#include "logfiles/text_files.h"
#include "settings/profile.h"

namespace zelmor::logfiles {

// The folder where the dialogs of the log and of what is made from it start: "LOGfol" of section
// "Zelmor", or the program's folder (`executable_folder`) when the key is missing or names a
// folder the dialogs cannot start in.
std::wstring LogFolder(settings::Profile& profile, const std::wstring& executable_folder);

class LogCommands {
 public:
  // Everything the commands touch belongs to the main window; they only borrow it.
  struct Context {
    MainState& state;
    settings::Profile& profile;
    FileDialogs& dialogs;
    // The main window's one dialog: the three commands set what they need and leave the rest as
    // the previous command left it.
    FileDialogState& dialog_state;
    TextFiles& files;
    MessageBoxes& messages;
    entry::LogPane& pane;
    Clock& clock;
    std::wstring executable_folder;  // no trailing backslash
    std::function<void()> leave_edit_mode;
  };

  explicit LogCommands(Context context);

  // LOG Open: replaces the pane with the lines of a chosen file and moves the caret to the end.
  // The unsaved-log flag keeps its value. A file that cannot be read is reported and leaves the
  // pane as it was.
  void OpenLog();

  // LOG Save: writes the pane and one CR LF to a chosen file and clears the unsaved-log flag.
  // The file is replaced whole or not at all; a failure is reported and keeps the flag. What an
  // interrupted save of the same file left beside it goes first.
  void SaveLog();

  // The safety-copy viewer: like LOG Open, but starting in the program's folder with the temp log's
  // own filter, the caret left at the start, and the pane already emptied when the file turns out
  // unreadable.
  void ViewSafetyCopy();

 private:
  void LeaveEditModeIfOn();
  // False when the operator chose to keep unsaved entries rather than open another log.
  bool MayReplaceUnsavedLog();
  std::wstring LogFolder();
  void RememberLogFolder(const std::wstring& file_path);

  Context c_;
};

}  // namespace zelmor::logfiles

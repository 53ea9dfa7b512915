#pragma once
// The File menu commands that move the whole log between the pane and files: "LOG Open(O)",
// "LOG Save(&S)" and the safety-copy viewer "非常用LOG Open(T)".

#include "logfiles/file_command.h"

namespace zelmor::logfiles {

class LogCommands {
 public:
  // Everything the commands touch belongs to the main window; they only borrow it.
  explicit LogCommands(FileCommandContext& context) : c_(context) {}

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
  // False when the operator chose to keep unsaved entries rather than open another log.
  bool MayReplaceUnsavedLog();
  void RememberLogFolder(const std::wstring& file_path);

  FileCommandContext& c_;
};

}  // namespace zelmor::logfiles

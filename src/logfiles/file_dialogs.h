#pragma once
// The main window's common Open and Save dialogs.

#include <string>

namespace zelmor::logfiles {

// The main window's one common file dialog: a property that a command does not set keeps the
// value its previous use left, as the operator expects of a dialog that remembers.
struct FileDialogState {
  std::wstring title;
  std::wstring filter;       // "description|pattern"
  std::wstring initial_dir;  // no trailing backslash
  std::wstring file_name;    // preset before showing; the chosen path after a successful show
};

// What the Save dialog does when the operator picks a file that exists. LOG Save replaces it
// without a question, as the original program did; a file made for other programs (ADIF) is asked
// about first, as Windows' own Save dialogs do.
enum class ExistingFile { Replace, AskFirst };

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // True with state.file_name holding the chosen path; false when the operator cancelled.
  virtual bool ShowOpen(FileDialogState& state) = 0;
  virtual bool ShowSave(FileDialogState& state, ExistingFile existing) = 0;
};

}  // namespace zelmor::logfiles

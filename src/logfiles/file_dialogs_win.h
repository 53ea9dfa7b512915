#pragma once
// The main window's common Open and Save dialogs.

#include <windows.h>

#include <string>

#include "logfiles/file_dialogs.h"

namespace zelmor::logfiles {

// "description|pattern|..." as the common dialogs want it: NUL-separated, ending in two NULs.
std::wstring DialogFilter(const std::wstring& filter);

class CommonFileDialogs : public FileDialogs {
 public:
  explicit CommonFileDialogs(HWND owner = nullptr) : owner_(owner) {}

  // The dialog starts in state.initial_dir with the name part of state.file_name in its name box
  // (a remembered full path would otherwise override the start folder). An open may name a
  // missing file; a save asks before replacing a file only when told to (OFN_OVERWRITEPROMPT).
  // False for a cancel and for a dialog that could not be shown (see last_error).
  bool ShowOpen(FileDialogState& state) override { return Show(state, false, ExistingFile::Replace); }
  bool ShowSave(FileDialogState& state, ExistingFile existing) override { return Show(state, true, existing); }

  // CommDlgExtendedError of the last show: 0 after a success or a cancel.
  DWORD last_error() const { return last_error_; }

 private:
  bool Show(FileDialogState& state, bool save, ExistingFile existing);

  HWND owner_;
  DWORD last_error_ = 0;
};

}  // namespace zelmor::logfiles

#include "logfiles/log_commands.h"

#include "base/paths.h"
#include "base/resource.h"
#include "base/texts.h"
#include "logfiles/log_text.h"
#include "settings/keys.h"

namespace zelmor::logfiles {

bool LogCommands::MayReplaceUnsavedLog() {
  if (!c_.state.log_unsaved) return true;
  return c_.messages.Show(LoadText(IDS_OPEN_UNSAVED_QUESTION), LoadText(IDS_APP_TITLE),
                          MessageButtons::YesNo, MessageIcon::Question) == MessageAnswer::Yes;
}

void LogCommands::RememberLogFolder(const std::wstring& file_path) {
  c_.profile.ProfileWrite(settings::kMainSection, settings::kLogFolderKey, base::FolderOf(file_path));
}

void LogCommands::OpenLog() {
  LeaveEditModeIfOn(c_);
  if (!MayReplaceUnsavedLog()) return;

  FileDialogState& dialog = c_.dialog_state;
  dialog.initial_dir = LogFolder(c_);
  dialog.filter = LoadText(IDS_LOG_FILTER);
  dialog.title = LoadText(IDS_LOG_OPEN_TITLE);
  if (!c_.dialogs.ShowOpen(dialog)) return;
  const std::wstring path = dialog.file_name;

  std::wstring file_text;
  if (!c_.files.Read(path, file_text)) {
    c_.messages.Show(LoadText(IDS_LOG_OPEN_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  c_.pane.SetText(PaneTextFromFile(file_text));
  RememberLogFolder(path);
  c_.pane.CaretToEnd();
}

void LogCommands::SaveLog() {
  LeaveEditModeIfOn(c_);

  FileDialogState& dialog = c_.dialog_state;
  dialog.initial_dir = LogFolder(c_);
  dialog.filter = LoadText(IDS_LOG_FILTER);
  dialog.title = LoadText(IDS_LOG_SAVE_TITLE);
  dialog.file_name = DefaultSaveName(c_.clock.Now());
  if (!c_.dialogs.ShowSave(dialog, ExistingFile::Replace)) return;
  const std::wstring path = dialog.file_name;

  if (!path.empty()) c_.files.RemoveLeftovers(path);
  if (path.empty() || !c_.files.Replace(path, c_.pane.Text() + L"\r\n")) {
    c_.messages.Show(LoadText(IDS_LOG_SAVE_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  RememberLogFolder(path);
  c_.state.log_unsaved = false;
}

void LogCommands::ViewSafetyCopy() {
  LeaveEditModeIfOn(c_);
  if (!MayReplaceUnsavedLog()) return;

  FileDialogState& dialog = c_.dialog_state;
  dialog.initial_dir = c_.executable_folder;
  dialog.filter = LoadText(IDS_SAFETY_COPY_FILTER);
  dialog.title = LoadText(IDS_SAFETY_COPY_TITLE);
  if (!c_.dialogs.ShowOpen(dialog)) return;
  const std::wstring path = dialog.file_name;

  // The viewer empties the pane before it reads, so an unreadable file leaves it empty.
  std::wstring file_text;
  if (!c_.files.Read(path, file_text)) {
    c_.pane.SetText(std::wstring());
    c_.messages.Show(LoadText(IDS_SAFETY_COPY_OPEN_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  c_.pane.SetText(PaneTextFromFile(file_text));
}

}  // namespace zelmor::logfiles

#include "logfiles/file_command.h"

#include "settings/log_folder.h"

namespace zelmor::logfiles {

void LeaveEditModeIfOn(FileCommandContext& context) {
  if (context.state.edit_mode) context.edit_mode.LeaveEditMode();
}

std::wstring LogFolder(FileCommandContext& context) {
  return settings::LogFolder(context.profile, context.executable_folder);
}

}  // namespace zelmor::logfiles

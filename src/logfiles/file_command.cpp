#include "logfiles/file_command.h"

#include <optional>

#include "settings/keys.h"

namespace zelmor::logfiles {
namespace {

// The file dialogs take a start folder of up to MAX_PATH - 1 characters.
constexpr size_t kLongestStartFolder = 259;

}  // namespace

void LeaveEditModeIfOn(FileCommandContext& context) {
  if (context.state.edit_mode) context.edit_mode.LeaveEditMode();
}

std::wstring LogFolder(FileCommandContext& context) {
  const std::optional<std::wstring> folder =
      context.profile.ProfileRead(settings::kMainSection, settings::kLogFolderKey);
  // A folder longer than any the file dialogs can start in (a damaged settings file) is no more
  // use than a missing one.
  if (!folder || folder->size() > kLongestStartFolder) return context.executable_folder;
  return *folder;
}

}  // namespace zelmor::logfiles

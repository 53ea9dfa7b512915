#include "settings/log_folder.h"

#include <optional>

#include "settings/keys.h"

namespace zelmor::settings {
namespace {

// The file dialogs take a start folder of up to MAX_PATH - 1 characters.
constexpr size_t kLongestStartFolder = 259;

}  // namespace

std::wstring LogFolder(Profile& profile, const std::wstring& program_folder) {
  const std::optional<std::wstring> folder = profile.ProfileRead(kMainSection, kLogFolderKey);
  if (!folder || folder->size() > kLongestStartFolder) return program_folder;
  return *folder;
}

}  // namespace zelmor::settings

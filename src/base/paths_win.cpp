#include "base/paths_win.h"

#include <windows.h>

#include "base/grow_buffer.h"
#include "base/paths.h"

namespace zelmor::base {

std::wstring ExecutableFolder() {
  const std::wstring path = GrowUntilFits<wchar_t>(MAX_PATH, 0, [](wchar_t* buffer, DWORD size) {
    return GetModuleFileNameW(nullptr, buffer, size);
  });
  const std::wstring folder = FolderOf(path);
  return folder.empty() ? std::wstring(L".") : folder;
}

std::wstring BesideExecutable(const std::wstring& file_name) {
  return JoinPath(ExecutableFolder(), file_name);
}

}  // namespace zelmor::base

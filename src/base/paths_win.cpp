#include "base/paths_win.h"

#include <windows.h>

#include "base/grow_buffer.h"

namespace zelmor::base {

std::wstring ExecutableFolder() {
  const std::wstring path = GrowUntilFits<wchar_t>(MAX_PATH, 0, [](wchar_t* buffer, DWORD size) {
    return GetModuleFileNameW(nullptr, buffer, size);
  });
  if (path.empty()) return L".";
  const auto slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring(L".") : path.substr(0, slash);
}

std::wstring BesideExecutable(const std::wstring& file_name) {
  return ExecutableFolder() + L"\\" + file_name;
}

}  // namespace zelmor::base

#include "lotw/fetch_views_win.h"

#include "base/atomic_file_win.h"
#include "lotw/passphrase_box_win.h"

namespace zelmor::lotw {

std::optional<LoginAnswer> Win32FetchViews::AskLogin(const std::wstring& login, const Secret* saved) {
  return lotw::AskLogin(owner_, instance_, login, saved);
}

bool Win32KeptFiles::Read(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  const DWORD error = base::ReadFileContent(path, bytes);
  if (error == ERROR_FILE_NOT_FOUND) {
    bytes.clear();
    return true;
  }
  return error == ERROR_SUCCESS;
}

bool Win32KeptFiles::Replace(const std::wstring& path, const std::string& bytes) {
  base::RemoveTemporarySiblings(path);
  return base::ReplaceFileContent(path, bytes) == ERROR_SUCCESS;
}

}  // namespace zelmor::lotw

#include "logfiles/text_files_win.h"

#include "platform/atomic_file_win.h"
#include "platform/codepage_win.h"

namespace zelmor::logfiles {

bool AnsiTextFiles::Read(const std::wstring& path, std::wstring& text) {
  text.clear();
  if (path.empty()) return Done(ERROR_INVALID_NAME);
  std::string bytes;
  const DWORD error = platform::ReadFileContent(path, bytes);
  if (error != ERROR_SUCCESS) return Done(error);
  text = platform::FromAnsi(bytes);
  // The conversion gives nothing only for nothing: anything else would pass off a failure as an
  // empty log.
  if (text.empty() && !bytes.empty()) return Done(ERROR_NO_UNICODE_TRANSLATION);
  return Done(ERROR_SUCCESS);
}

bool AnsiTextFiles::Replace(const std::wstring& path, const std::wstring& text) {
  if (path.empty()) return Done(ERROR_INVALID_NAME);
  const std::string bytes = platform::ToAnsi(text);
  // Never write an empty file in place of a log that failed to convert.
  if (bytes.empty() && !text.empty()) return Done(ERROR_NO_UNICODE_TRANSLATION);
  return Done(platform::ReplaceFileContent(path, bytes));
}

bool AnsiTextFiles::Exists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool AnsiTextFiles::Rename(const std::wstring& from, const std::wstring& to) {
  return Done(MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                  ? ERROR_SUCCESS
                  : GetLastError());
}

}  // namespace zelmor::logfiles

#include "logfiles/temp_log.h"

namespace zelmor::logfiles {

bool WriteTempLog(TextFiles& files, const std::wstring& path, const std::wstring& text) {
  return files.Replace(path, text + L"\r\n");
}

}  // namespace zelmor::logfiles

#pragma once
// Log files on disk: the ANSI code page outside, UTF-16 inside.

#include <windows.h>

#include <string>

#include "logfiles/text_files.h"

namespace zelmor::logfiles {

class AnsiTextFiles : public TextFiles {
 public:
  bool Read(const std::wstring& path, std::wstring& text) override;
  // Temporary file beside the target, flushed, then renamed over it: the old file stays whole
  // until the new one is complete, and a failure removes the temporary file.
  bool Replace(const std::wstring& path, const std::wstring& text) override;
  std::optional<std::string> Encode(const std::wstring& text) override;
  bool ReplaceEncoded(const std::wstring& path, const std::string& bytes) override;
  bool Exists(const std::wstring& path) override;
  bool Rename(const std::wstring& from, const std::wstring& to) override;
  void RemoveLeftovers(const std::wstring& path) override;

  // The Win32 error of the last failed call, for diagnostics; ERROR_SUCCESS after a success.
  DWORD last_error() const { return last_error_; }

 private:
  bool Done(DWORD error) {
    last_error_ = error;
    return error == ERROR_SUCCESS;
  }
  DWORD last_error_ = ERROR_SUCCESS;
};

}  // namespace zelmor::logfiles

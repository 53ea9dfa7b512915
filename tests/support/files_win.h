#pragma once
// Whole files as bytes, for tests that check exactly what reached the disk.

#include <string>
#include <vector>

#include "base/paths.h"

namespace test_support {

// A folder of its own under %TEMP%, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return zelmor::base::JoinPath(path_, name); }

 private:
  std::wstring path_;
};

// The bytes of the file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::wstring> FolderNames(const std::wstring& folder);

}  // namespace test_support

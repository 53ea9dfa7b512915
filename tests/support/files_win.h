#pragma once
// Whole files as bytes, for tests that check exactly what reached the disk.

#include <string>
#include <vector>

namespace test_support {

// The bytes of the file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// The names in a folder, sorted, without "." and "..".
std::vector<std::wstring> FolderNames(const std::wstring& folder);

}  // namespace test_support

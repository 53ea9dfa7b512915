#pragma once
// Whole files as bytes, for tests that check exactly what reached the disk.

#include <string>

namespace test_support {

// The bytes of the file; empty when it cannot be read.
std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

}  // namespace test_support

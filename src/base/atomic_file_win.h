#pragma once
// Replacing a file so that a crash, a kill or a power loss at any moment leaves either the old or
// the new content whole: write a temporary file beside it, flush it to disk, rename it over.

#include <windows.h>

#include <string>

namespace zelmor::base {

// Names of the temporary files contain this marker, so that leftovers of an interrupted write can
// be recognised and removed.
inline constexpr wchar_t kTemporaryMarker[] = L".zelmor-tmp";

// Writes `bytes` as the whole file and flushes it to disk. `creation` is CreateFileW's: CREATE_ALWAYS,
// or CREATE_NEW for a file that must not exist yet. ERROR_SUCCESS or the Win32 error.
DWORD WriteAndFlush(const std::wstring& path, const std::string& bytes, DWORD creation);
// Flushes what others wrote to the file. ERROR_SUCCESS or the Win32 error.
DWORD FlushFile(const std::wstring& path);

// A fresh name beside `path` for a temporary file that will replace it.
std::wstring TemporarySibling(const std::wstring& path);

// Returns ERROR_SUCCESS or the first Win32 error that made the replacement fail. On failure the
// target is untouched and the temporary file is removed.
DWORD ReplaceFileContent(const std::wstring& path, const std::string& bytes);

// Reads a whole file. Returns ERROR_SUCCESS or the Win32 error.
DWORD ReadFileContent(const std::wstring& path, std::string& bytes);

// Removes the leftovers of interrupted replacements of `path` (its temporary siblings).
void RemoveTemporarySiblings(const std::wstring& path);

}  // namespace zelmor::base

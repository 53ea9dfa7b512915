#pragma once
// Paths as Windows writes them, taken apart and put together in one way everywhere: a path from a
// file dialog, the settings file or the command line may use "/" as well as "\".

#include <string>
#include <string_view>

namespace zelmor::base {

inline bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// `name` in `folder`, with one backslash between unless the folder ends with a separator
// already ("C:\"); `name` alone when there is no folder.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);

// Everything before the last separator: "C:\logs" of "C:\logs\a.txt", "D:" of "D:\a.txt"; empty
// when there is none.
std::wstring FolderOf(std::wstring_view path);

// Everything after the last separator: the file's name; the whole path when there is none.
std::wstring NameOf(std::wstring_view path);

}  // namespace zelmor::base

#pragma once

#include <string>

namespace zelmor::base {

// The folder that holds the running executable, without a trailing backslash.
std::wstring ExecutableFolder();
// A file of that name in the executable's folder.
std::wstring BesideExecutable(const std::wstring& file_name);

}  // namespace zelmor::base

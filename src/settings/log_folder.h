#pragma once
// The log folder: where the log dialogs start, and whose logs the worked-before index reads.

#include <string>

#include "settings/profile.h"

namespace zelmor::settings {

// How the LoTW upload's files in the log folder begin: the .adi it sends and, beside it, the .txt
// that keeps TQSL's output. That .txt is no log, though its name ends like one.
inline constexpr wchar_t kLotwUploadNamePrefix[] = L"Zelmor-lotw-";

// "LOGfol" of section "Zelmor", or `program_folder` when the key is missing or names a folder
// longer than any the file dialogs can start in (a damaged settings file).
std::wstring LogFolder(Profile& profile, const std::wstring& program_folder);

}  // namespace zelmor::settings

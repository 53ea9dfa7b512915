#pragma once
// The temp log: a safety copy of the log pane beside the program, rewritten after every composed
// entry so that a crash before a save loses nothing the pane showed.

#include <string>

#include "app/ports.h"

namespace zelmor::logfiles {

inline constexpr wchar_t kTempLogName[] = L"Zelmor_temp.txt";

// Replaces the file at `path` with `text` and one CR LF, in the ANSI code page. The replacement
// is whole or not at all: a crash or a failure leaves the previous copy readable. False when the
// file could not be replaced; the caller decides what that means for the entry.
bool WriteTempLog(TextFiles& files, const std::wstring& path, const std::wstring& text);

}  // namespace zelmor::logfiles

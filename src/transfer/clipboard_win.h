#pragma once
// The clipboard's text as the transfer menu reads it.

#include <windows.h>

#include <string>

namespace zelmor::transfer {

// The clipboard's text in CF_TEXT (the ANSI code page), converted to UTF-16. Empty when the
// clipboard holds no text, or stays held by another program after a few brief retries.
std::wstring ReadClipboardText(HWND owner);

}  // namespace zelmor::transfer

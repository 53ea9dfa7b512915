#pragma once
// Text is UTF-16 inside the program; files, settings and WM_COPYDATA use the ANSI code page
// (932 on Japanese systems). These are the only crossings.

#include <string>
#include <string_view>

namespace zelmor::base {

std::string ToAnsi(std::wstring_view text);
std::wstring FromAnsi(std::string_view bytes);

}  // namespace zelmor::base

#pragma once
// Small text rules shared by every subsystem.

#include <string>
#include <string_view>

namespace zelmor {

// Removes leading and trailing U+0020 only: tabs, line breaks and full-width spaces are part of
// what the operator typed or copied.
std::wstring TrimSpaces(std::wstring_view text);

}  // namespace zelmor

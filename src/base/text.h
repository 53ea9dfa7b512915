#pragma once
// Small text rules shared by every subsystem.

#include <initializer_list>
#include <string>
#include <string_view>

namespace zelmor {

// Removes leading and trailing U+0020 only: tabs, line breaks and full-width spaces are part of
// what the operator typed or copied.
std::wstring TrimSpaces(std::wstring_view text);

// A text of the program's own with "%1" to "%9" replaced by the values in that order (a number
// without its value stays as it is), so that translations may put the values in any order.
std::wstring FillIn(std::wstring_view text, std::initializer_list<std::wstring_view> values);

}  // namespace zelmor

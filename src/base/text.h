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
// without its value stays as it is), so that translations may put the values in any order. Values
// are put in as they are: a "%2" inside the first value stays.
std::wstring FillText(std::wstring_view text, std::initializer_list<std::wstring_view> values);

}  // namespace zelmor

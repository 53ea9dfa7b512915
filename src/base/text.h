#pragma once
// Small text rules shared by every subsystem.

#include <initializer_list>
#include <string>
#include <string_view>

namespace zelmor {

// Removes leading and trailing U+0020 only: tabs, line breaks and full-width spaces are part of
// what the operator typed or copied.
std::wstring TrimSpaces(std::wstring_view text);

// The program's texts mark where values go with "%1" to "%9": `text` with each replaced by the
// value of that number (empty when there are fewer values). Values are put in as they are, so a
// "%2" inside the first value stays.
std::wstring FillText(std::wstring_view text, std::initializer_list<std::wstring_view> values);

}  // namespace zelmor

#pragma once
// Small text rules shared by every subsystem.

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace zelmor {

// ASCII letters and digits only, in wide text and in narrow (ADIF): a full-width digit, an
// accented letter or a Turkish dotless i is none of these, whatever the locale says. Characters
// only: a string literal would otherwise be taken as one "character" and come back unchanged.
template <typename Char, typename = std::enable_if_t<std::is_integral_v<Char>>> constexpr bool IsAsciiDigit(Char c) { return c >= Char('0') && c <= Char('9'); }
template <typename Char, typename = std::enable_if_t<std::is_integral_v<Char>>> constexpr bool IsAsciiUpper(Char c) { return c >= Char('A') && c <= Char('Z'); }
template <typename Char, typename = std::enable_if_t<std::is_integral_v<Char>>> constexpr bool IsAsciiLower(Char c) { return c >= Char('a') && c <= Char('z'); }
template <typename Char, typename = std::enable_if_t<std::is_integral_v<Char>>> constexpr bool IsAsciiLetter(Char c) { return IsAsciiUpper(c) || IsAsciiLower(c); }
template <typename Char, typename = std::enable_if_t<std::is_integral_v<Char>>> constexpr Char AsciiUpper(Char c) { return IsAsciiLower(c) ? static_cast<Char>(c - 'a' + 'A') : c; }
template <typename Char, typename = std::enable_if_t<std::is_integral_v<Char>>> constexpr Char AsciiLower(Char c) { return IsAsciiUpper(c) ? static_cast<Char>(c - 'A' + 'a') : c; }
// A space between words as the operator types them: U+0020, a tab or the full-width space.
constexpr bool IsWordSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }
// A full-width ASCII character ("ＡＯ－７", as a Japanese input method types it) as its ASCII one.
constexpr wchar_t HalfWidth(wchar_t c) { return c >= 0xFF01 && c <= 0xFF5E ? static_cast<wchar_t>(c - 0xFEE0) : c; }
std::wstring AsciiUpper(std::wstring text);
std::string AsciiUpper(std::string text);
std::wstring AsciiLower(std::wstring text);
// Equal but for ASCII case: settings names, log file names, folders.
bool SameAsciiCaseless(std::wstring_view a, std::wstring_view b);

// Removes leading and trailing U+0020 only: tabs, line breaks and full-width spaces are part of
// what the operator typed or copied.
std::wstring TrimSpaces(std::wstring_view text);

// A text of the program's own with "%1" to "%9" replaced by the values in that order (a number
// without its value stays as it is), so that translations may put the values in any order. Values
// are put in as they are: a "%2" inside the first value stays.
std::wstring FillText(std::wstring_view text, std::initializer_list<std::wstring_view> values);

// UTF-8 (files other programs write: LoTW's ADIF) and wide text: UTF-16 with surrogate pairs where
// wchar_t has 16 bits (Windows), UTF-32 elsewhere. Bytes that are no UTF-8 (a stray continuation
// byte, a cut-off or overlong sequence, a surrogate's code) each read as U+FFFD, so that any bytes
// give a text; a lone surrogate of the wide text writes as U+FFFD too.
std::wstring FromUtf8(std::string_view bytes);
std::string ToUtf8(std::wstring_view text);

}  // namespace zelmor

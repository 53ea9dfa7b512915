#include "base/text.h"

#include <gtest/gtest.h>

#include <string>

#include "printable.h"

namespace zelmor {
namespace {

using test_support::Utf8;

TEST(AsciiTest, OnlyAsciiLettersAndDigitsCount) {
  const struct {
    wchar_t c;
    bool digit, upper, lower;
    wchar_t upper_case, lower_case;
  } rows[] = {
      {L'0', true, false, false, L'0', L'0'},          {L'9', true, false, false, L'9', L'9'},
      {L'/', false, false, false, L'/', L'/'},          {L':', false, false, false, L':', L':'},
      {L'A', false, true, false, L'A', L'a'},           {L'Z', false, true, false, L'Z', L'z'},
      {L'a', false, false, true, L'A', L'a'},           {L'z', false, false, true, L'Z', L'z'},
      {L'@', false, false, false, L'@', L'@'},          {L'[', false, false, false, L'[', L'['},
      {L'`', false, false, false, L'`', L'`'},          {L'{', false, false, false, L'{', L'{'},
      {L'\uFF10', false, false, false, L'\uFF10', L'\uFF10'},  // full-width 0
      {L'\uFF21', false, false, false, L'\uFF21', L'\uFF21'},  // full-width A
      {L'\u00E9', false, false, false, L'\u00E9', L'\u00E9'},  // e acute
      {L'\u0131', false, false, false, L'\u0131', L'\u0131'},  // dotless i
  };
  for (const auto& row : rows) {
    const std::string at = Utf8(std::wstring(1, row.c));
    EXPECT_EQ(IsAsciiDigit(row.c), row.digit) << at;
    EXPECT_EQ(IsAsciiUpper(row.c), row.upper) << at;
    EXPECT_EQ(IsAsciiLower(row.c), row.lower) << at;
    EXPECT_EQ(IsAsciiLetter(row.c), row.upper || row.lower) << at;
    EXPECT_EQ(AsciiUpper(row.c), row.upper_case) << at;
    EXPECT_EQ(AsciiLower(row.c), row.lower_case) << at;
    if (row.c < 0x80) {  // the narrow text of the ADIF file follows the same rule
      const char n = static_cast<char>(row.c);
      EXPECT_EQ(IsAsciiDigit(n), row.digit) << at;
      EXPECT_EQ(AsciiUpper(n), static_cast<char>(row.upper_case)) << at;
    }
  }
  EXPECT_EQ(Utf8(AsciiUpper(std::wstring(L"ja1abc/p \u00e9\uff41"))), Utf8(L"JA1ABC/P \u00e9\uff41"));
  EXPECT_EQ(AsciiUpper(std::string("rs-44 fm")), "RS-44 FM");
  EXPECT_EQ(Utf8(AsciiLower(std::wstring(L"ZELMOR.INI \u00c9"))), Utf8(L"zelmor.ini \u00c9"));
}

TEST(AsciiTest, FullWidthFormsAndWordSpaces) {
  const struct {
    wchar_t c, half;
    bool space;
  } rows[] = {
      {L'\uFF01', L'!', false}, {L'\uFF10', L'0', false},     {L'\uFF21', L'A', false}, {L'\uFF41', L'a', false},
      {L'\uFF0D', L'-', false}, {L'\uFF5E', L'~', false},     {L'\uFF00', L'\uFF00', false},
      {L'\uFF5F', L'\uFF5F', false},  {L'\u3001', L'\u3001', false}, {L'A', L'A', false},
      {L' ', L' ', true},       {L'\t', L'\t', true},         {L'\u3000', L'\u3000', true},
      {L'\n', L'\n', false},    {L'\u00A0', L'\u00A0', false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(HalfWidth(row.c), row.half) << Utf8(std::wstring(1, row.c));
    EXPECT_EQ(IsWordSpace(row.c), row.space) << Utf8(std::wstring(1, row.c));
  }
}

TEST(AsciiTest, CaselessNamesDifferOnlyInAsciiCase) {
  const struct {
    const wchar_t* a;
    const wchar_t* b;
    bool same;
  } rows[] = {
      {L"Zelmor", L"ZELMOR", true},   {L"LOGfol", L"logFOL", true},  {L"", L"", true},
      {L"Zelmor", L"Zelmo", false},   {L"a.exe", L"a.ex", false},     {L"\u00e9", L"\u00c9", false},
      {L"\uff41", L"\uff21", false},  {L"[", L"{", false},            {L"@", L"`", false},
  };
  for (const auto& row : rows) EXPECT_EQ(SameAsciiCaseless(row.a, row.b), row.same) << Utf8(row.a) << " / " << Utf8(row.b);
}

TEST(Utf8Test, AnyBytesGiveATextAndUtf8ComesBack) {
  const struct {
    const char* what;
    std::string bytes;
    std::wstring text;
  } rows[] = {
      {"ASCII", "JA1ABC", L"JA1ABC"},
      {"two and three bytes", "\xc3\xa9\xe7\xa7\xbb\xe5\x8b\x95", L"\u00e9\u79fb\u52d5"},
      {"four bytes: a surrogate pair in UTF-16", "\xf0\x9f\x9b\xb0", std::wstring(L"\U0001F6F0")},
      {"a stray continuation byte", "a\x80" "b", L"a\uFFFD" L"b"},
      {"a sequence cut by the end", "a\xe7\xa7", L"a\uFFFD\uFFFD"},
      {"a sequence cut by ASCII", "\xe7\xa7" "b", L"\uFFFD\uFFFD" L"b"},
      {"an overlong '/'", "\xc0\xaf\xe0\x80\xaf", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"a surrogate's code", "\xed\xa0\x80", L"\uFFFD\uFFFD\uFFFD"},
      {"past U+10FFFF", "\xf4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
      {"bytes no UTF-8 has", "\xfe\xff", L"\uFFFD\uFFFD"},
      {"a NUL", std::string("a\0b", 3), std::wstring(L"a\0b", 3)},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FromUtf8(row.bytes), row.text) << row.what;
    if (row.text.find(L'\uFFFD') == std::wstring::npos) EXPECT_EQ(ToUtf8(row.text), row.bytes) << row.what;
  }
  // A lone surrogate of UTF-16 (or one in UTF-32) is no character.
  EXPECT_EQ(ToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"a"), "\xef\xbf\xbd" "a");
}

}  // namespace
}  // namespace zelmor

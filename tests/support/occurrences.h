#pragma once
// How often a piece stands in a text (an ADIF field in an export, a line in a log).

#include <cstddef>
#include <string>

namespace test_support {

template <typename Text>
size_t Occurrences(const Text& text, const Text& piece) {
  size_t n = 0;
  for (size_t at = text.find(piece); at != Text::npos; at = text.find(piece, at + 1)) ++n;
  return n;
}

inline size_t Occurrences(const std::wstring& text, const wchar_t* piece) { return Occurrences(text, std::wstring(piece)); }
inline size_t Occurrences(const std::string& text, const char* piece) { return Occurrences(text, std::string(piece)); }

}  // namespace test_support

#include "base/text.h"

namespace zelmor {

std::wstring AsciiUpper(std::wstring text) {
  for (wchar_t& c : text) c = AsciiUpper(c);
  return text;
}

std::string AsciiUpper(std::string text) {
  for (char& c : text) c = AsciiUpper(c);
  return text;
}

std::wstring AsciiLower(std::wstring text) {
  for (wchar_t& c : text) c = AsciiLower(c);
  return text;
}

bool SameAsciiCaseless(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::wstring TrimSpaces(std::wstring_view text) {
  const size_t first = text.find_first_not_of(L' ');
  if (first == std::wstring_view::npos) return std::wstring();
  const size_t last = text.find_last_not_of(L' ');
  return std::wstring(text.substr(first, last - first + 1));
}

std::wstring FillText(std::wstring_view text, std::initializer_list<std::wstring_view> values) {
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 1 < text.size() && text[i + 1] >= L'1' && text[i + 1] <= L'9') {
      const size_t n = static_cast<size_t>(text[i + 1] - L'1');
      if (n < values.size()) {
        out += *(values.begin() + n);
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace zelmor

#include "contact/contact.h"

#include <utility>

#include "base/text.h"

namespace zelmor::contact {
namespace {


bool IsAlnumPart(const std::wstring& part, bool& letter, bool& digit) {
  if (part.empty()) return false;
  for (wchar_t c : part) {
    if (IsAsciiDigit(c)) digit = true;
    else if (IsAsciiLetter(c)) letter = true;
    else return false;
  }
  return true;
}

}  // namespace

bool IsCallSign(const std::wstring& word) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : word) {
    if (c == L'/') parts.emplace_back();
    else parts.back() += c;
  }
  if (parts.size() > 3) return false;
  // The base is the longest part (KH6/JA1ABC/P): it alone needs both letters and digits.
  size_t base = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    bool letter = false, digit = false;
    if (!IsAlnumPart(parts[i], letter, digit)) return false;
    if (parts[i].size() > parts[base].size()) base = i;
  }
  // With three parts the base is the middle one.
  if (parts.size() == 3) base = 1;
  // A prefix of one to three characters, a digit, and a suffix that ends in a letter: "5NN" and
  // a locator such as "PM95" are not call signs.
  const std::wstring& b = parts[base];
  if (!IsAsciiLetter(b.back())) return false;
  for (size_t i = 1; i <= 3 && i + 1 < b.size(); ++i) {
    if (IsAsciiDigit(b[i])) return true;
  }
  return false;
}

bool IsReport(const std::wstring& w) {
  auto cut_digit = [](wchar_t c) { return (c >= L'1' && c <= L'9') || c == L'N' || c == L'n'; };
  if ((w.size() == 2 || w.size() == 3) && w[0] >= L'1' && w[0] <= L'5') {
    if (w.size() == 2) return w[1] >= L'1' && w[1] <= L'9';
    return cut_digit(w[1]) && cut_digit(w[2]);
  }
  if ((w.size() == 2 || w.size() == 3) && (w[0] == L'-' || w[0] == L'+')) {
    return IsAsciiDigit(w[1]) && (w.size() == 2 || IsAsciiDigit(w[2]));
  }
  return false;
}

MemoWords ClassifyMemo(const std::wstring& memo) {
  MemoWords result;
  std::wstring word;
  auto flush = [&] {
    if (!word.empty()) result.words.push_back({word, WordKind::Remark});
    word.clear();
  };
  for (wchar_t c : memo) {
    if (IsWordSpace(c)) flush();
    else word += c;
  }
  flush();

  auto& words = result.words;
  size_t next = 0;
  if (!words.empty() && IsCallSign(words[0].text)) {
    words[0].kind = WordKind::Call;
    next = 1;
    if (next < words.size() && IsReport(words[next].text)) {
      words[next++].kind = WordKind::ReportSent;
      if (next < words.size() && IsReport(words[next].text)) words[next++].kind = WordKind::ReportReceived;
    }
  }
  for (size_t i = next; i < words.size(); ++i) {
    if (entry::IsGridLocator(words[i].text)) {
      words[i].kind = WordKind::Grid;
      break;
    }
  }
  return result;
}

std::wstring MemoWords::Find(WordKind kind) const {
  for (const auto& w : words) {
    if (w.kind == kind) return w.text;
  }
  return std::wstring();
}

std::wstring MemoWords::Remarks(bool with_grid) const {
  std::wstring text;
  for (const auto& w : words) {
    if (w.kind == WordKind::Remark || (with_grid && w.kind == WordKind::Grid)) {
      if (!text.empty()) text += L' ';
      text += w.text;
    }
  }
  return text;
}

std::optional<Contact> ReadContact(const std::wstring& line, const std::wstring& template_text,
                                   const LineFormats& formats, const LocalTime& now) {
  return ContactReader(template_text, formats, now).Read(line);
}

std::optional<Contact> ContactReader::Read(const std::wstring& line) {
  auto values = lines_.Read(line);
  if (!values) return std::nullopt;
  Contact c;
  static_cast<entry::LineValues&>(c) = std::move(*values);
  if (c.memo) c.words = ClassifyMemo(*c.memo);
  return c;
}

std::optional<Contact> FirstReadableLine(const std::wstring& text, const std::wstring& template_text,
                                         const LineFormats& formats, const LocalTime& now) {
  for (const auto& line : entry::SplitAtEveryLineEnd(text)) {
    const std::wstring trimmed = TrimSpaces(line);
    if (trimmed.empty()) continue;
    if (auto contact = ReadContact(trimmed, template_text, formats, now)) return contact;
  }
  return std::nullopt;
}

}  // namespace zelmor::contact

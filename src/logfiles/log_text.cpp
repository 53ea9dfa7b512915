#include "logfiles/log_text.h"

#include <cwchar>

namespace zelmor::logfiles {
namespace {

// Calls `line(begin, end)` for each line of `text`, in order.
template <typename LineFn>
void ForEachLine(const std::wstring& text, LineFn line) {
  size_t start = 0;
  const size_t size = text.size();
  while (start < size) {
    const size_t cr = text.find(L'\r', start);
    if (cr == std::wstring::npos) {
      line(start, size);
      return;
    }
    line(start, cr);
    start = cr + 1;
    if (start < size && text[start] == L'\n') ++start;
  }
}

}  // namespace

std::vector<std::wstring> SplitAtCarriageReturns(const std::wstring& file_text) {
  std::vector<std::wstring> lines;
  ForEachLine(file_text, [&](size_t begin, size_t end) {
    lines.emplace_back(file_text, begin, end - begin);
  });
  return lines;
}

std::wstring PaneTextFromFile(const std::wstring& file_text) {
  // One pass into one string: a log of 100,000 lines must load without a copy per line.
  std::wstring pane;
  pane.reserve(file_text.size() + file_text.size() / 16 + 2);
  ForEachLine(file_text, [&](size_t begin, size_t end) {
    pane.append(file_text, begin, end - begin);
    pane += L"\r\n";
  });
  for (size_t nul = pane.find(L'\0'); nul != std::wstring::npos; nul = pane.find(L'\0', nul + 1)) pane[nul] = L' ';
  return pane;
}

std::wstring DefaultSaveName(const LocalTime& today) {
  wchar_t date[16];
  std::swprintf(date, sizeof date / sizeof date[0], L"%02d%02d%02d", today.year % 100, today.month,
                today.day);
  return L"Zelmor" + std::wstring(date);
}

}  // namespace zelmor::logfiles

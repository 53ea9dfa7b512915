#include "logfiles/log_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmor::logfiles {
namespace {

using Lines = std::vector<std::wstring>;

struct SplitRow {
  const char* why;
  std::wstring file;
  Lines lines;
};

TEST(SplitAtCarriageReturnsTest, LineEndsAtCrOrCrLfAndLoneLfStaysInside) {
  const std::wstring nul(1, L'\0');
  const SplitRow rows[] = {
      {"a saved pane: the writer's final CR LF comes back as one empty line",
       L"L1\r\nL2\r\n\r\n", {L"L1", L"L2", L""}},
      {"a terminator at the very end starts no further line", L"L1\r\nL2\r\n", {L"L1", L"L2"}},
      {"zero bytes are no lines", L"", {}},
      {"LF-only separators make one single line", L"A\nB\nC\n", {L"A\nB\nC\n"}},
      {"a lone CR ends a line", L"A\rB", {L"A", L"B"}},
      {"CR CR LF is an empty line between two", L"A\r\r\nB", {L"A", L"", L"B"}},
      {"LF CR: the LF stays in the first line", L"A\n\rB", {L"A\n", L"B"}},
      {"a last line without terminator is still a line", L"L1\r\nL2", {L"L1", L"L2"}},
      {"a lone CR line end", L"\r", {L""}},
      {"NUL characters stay inside their line", L"A" + nul + L"B\r\n" + nul, {L"A" + nul + L"B", nul}},
      {"Japanese text passes unchanged", L"日付\u3000時間\r\n", {L"日付\u3000時間"}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SplitAtCarriageReturns(row.file), row.lines) << row.why;
  }
}

struct PaneRow {
  const char* why;
  std::wstring file;
  std::wstring pane;
};

TEST(PaneTextFromFileTest, EachLineGetsCrLf) {
  const std::wstring nul(1, L'\0');
  const PaneRow rows[] = {
      {"saved pane of L1 and L2 reads back with one more empty line", L"L1\r\nL2\r\n\r\n",
       L"L1\r\nL2\r\n\r\n"},
      {"zero bytes give an empty pane", L"", L""},
      {"a last line without terminator gets one", L"L1\r\nL2", L"L1\r\nL2\r\n"},
      {"lone CRs become CR LF", L"A\rB\r", L"A\r\nB\r\n"},
      {"LF-only file: one line holding its LFs", L"A\nB\n", L"A\nB\n\r\n"},
      // The pane ends its text at a NUL: everything after it would vanish from view.
      {"NULs of a crash-damaged file become spaces", L"A" + nul + nul + L"B\r\n" + nul,
       L"A  B\r\n \r\n"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(PaneTextFromFile(row.file), row.pane) << row.why;
  }
}

TEST(PaneTextFromFileTest, AgreesWithSplitAtCarriageReturns) {
  const std::wstring files[] = {L"a\r\n\rb\n\r\n\r\r", L"\n\n", L"x\r\n\r\n\r\n", L"\r\n"};
  for (const auto& file : files) {
    std::wstring joined;
    for (const auto& line : SplitAtCarriageReturns(file)) joined += line + L"\r\n";
    EXPECT_EQ(PaneTextFromFile(file), joined);
  }
}

TEST(DefaultSaveNameTest, ZelmorAndYymmdd) {
  struct Row {
    LocalTime today;
    const wchar_t* name;
  } rows[] = {
      {{2026, 12, 6, 23, 59, 59}, L"Zelmor261206"},
      {{2000, 1, 1, 0, 0, 0}, L"Zelmor000101"},   // two-digit year keeps its leading zero
      {{2109, 10, 31, 12, 0, 0}, L"Zelmor091031"},
  };
  for (const auto& row : rows) EXPECT_EQ(DefaultSaveName(row.today), row.name);
}

}  // namespace
}  // namespace zelmor::logfiles

// The log pane on a real multi-line EDIT control, made with the main window's styles: where an
// append goes, where it leaves the caret, and what the safety copy is told of a text set.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "entry/log_pane_win.h"

namespace zelmor::entry {
namespace {

struct ToldTexts : PaneTextWatcher {
  std::vector<std::wstring> texts;
  void OnPaneTextSet(const std::wstring& text, uint64_t) override { texts.push_back(text); }
};

class LogPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_.reset(CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr));
    edit_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                            WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                                ES_AUTOHSCROLL | ES_NOHIDESEL,
                            0, 0, 280, 160, parent_.get(), nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit_, nullptr);
    pane_.set_window(edit_);
    pane_.set_watcher(&told_);
  }

  std::pair<DWORD, DWORD> Selection() {
    DWORD start = 0, end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return {start, end};
  }

  base::UniqueHwnd parent_;
  HWND edit_ = nullptr;
  EditLogPane pane_;
  ToldTexts told_;
};

TEST_F(LogPaneTest, AppendGoesToTheEndWhereverTheOperatorLeftTheSelection) {
  const std::wstring text = L"L1 JA1ABC\r\nL2 JR2XYZ\r\n";
  const DWORD end = static_cast<DWORD>(text.size());
  struct Row {
    DWORD start, stop;
    const char* what;
  } rows[] = {
      {0, 0, "caret at the start, as setting the text leaves it"},
      {3, 9, "a call sign selected"},
      {9, 3, "the same selected backwards"},
      {end, end, "caret already at the end, as an entry leaves it"},
      {end, 0, "everything selected"},
  };
  for (const Row& row : rows) {
    pane_.SetText(text);
    SendMessageW(edit_, EM_SETSEL, row.start, row.stop);
    pane_.Append(L"L3 7K1ABC\r\n");
    EXPECT_EQ(pane_.Text(), text + L"L3 7K1ABC\r\n") << row.what;
    const DWORD after = end + 11;
    EXPECT_EQ(Selection(), std::make_pair(after, after)) << row.what;
    pane_.CaretToEnd();
    EXPECT_EQ(Selection(), std::make_pair(after, after)) << row.what;
  }
}

TEST_F(LogPaneTest, AppendsPastTheControlsDefaultLimitAreKept) {
  const std::wstring line(98, L'x');
  for (int i = 0; i < 400; ++i) pane_.Append(line + L"\r\n");
  EXPECT_EQ(pane_.Length(), 40000u) << "the default limit of 30,000 characters dropped appends";
}

TEST_F(LogPaneTest, TheWatcherIsToldOnlyOfATextThePaneHoldsWhole) {
  pane_.SetText(L"L1\r\n");
  pane_.Append(L"L2\r\n");
  // A NUL ends the text the control takes: what it holds is not what it was given.
  pane_.SetText(std::wstring(L"L1\r\n\0L2\r\n", 9));
  EXPECT_EQ(told_.texts, std::vector<std::wstring>{L"L1\r\n"});
}

TEST_F(LogPaneTest, EndsLineWhenTheNextAppendStartsALineOfItsOwn) {
  const struct {
    std::wstring text;
    bool ends_line;
  } rows[] = {
      {L"", true},
      {L"L1\r\n", true},
      {L"L1\r\nL2\r\n\r\n", true},
      {L"L1", false},
      {L"L1\r\nL2", false},  // an edit left the last line open
      {L"L1\r\n\u3000", false},
  };
  for (const auto& row : rows) {
    pane_.SetText(row.text);
    EXPECT_EQ(pane_.EndsLine(), row.ends_line) << row.text.size() << " characters";
  }
}

}  // namespace
}  // namespace zelmor::entry

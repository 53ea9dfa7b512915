#include "template_window/template_editor.h"

#include <gtest/gtest.h>

#include <optional>

#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "memory_profile_store.h"

namespace zelmor::template_window {
namespace {

TEST(TemplateTrimTest, RemovesOnlyLeadingAndTrailingAsciiSpaces) {
  struct Row {
    const wchar_t* in;
    const wchar_t* out;
    const char* why;
  } rows[] = {
      {L"  #DT #TM  ", L"#DT #TM", "both ends, inner gap kept"},
      {L"   ", L"", "only spaces: empty"},
      {L"", L"", "empty stays empty"},
      {L"\t#DT\t", L"\t#DT\t", "tabs are not spaces"},
      {L"\u3000#DT\u3000", L"\u3000#DT\u3000", "ideographic spaces are not trimmed"},
      {L" a b ", L"a b", "one each side"},
  };
  for (const auto& row : rows) EXPECT_EQ(TrimSpaces(row.in), row.out) << row.why;
}

class TemplateEditorTest : public ::testing::Test {
 protected:
  MainState state;
  settings::MemoryProfileStore store;
  settings::Profile profile{store};
  TemplateEditor editor{state, profile};
};

TEST_F(TemplateEditorTest, EveryEditSetsTrimmedTemplateAtOnce) {
  editor.OnTextChanged(L"  #DT #MM  ");
  EXPECT_EQ(state.template_text, L"#DT #MM");
  editor.OnTextChanged(L"");
  EXPECT_EQ(state.template_text, L"");
  EXPECT_FALSE(store.Has(L"Zelmor", L"LOGdat")) << "edits are saved only at close";
}

TEST_F(TemplateEditorTest, CloseWritesTrimmedBoxUnderZelmor) {
  editor.OnClose(L" #DT #TMJ ");
  EXPECT_EQ(store.Get(L"Zelmor", L"LOGdat", L"missing"), L"#DT #TMJ");
  EXPECT_FALSE(store.Has(L"LOGpos", L"LOGdat"));
}

TEST_F(TemplateEditorTest, EmptyTemplateIsSavedAsPresentAndEmpty) {
  editor.OnClose(L"   ");
  EXPECT_EQ(profile.ProfileRead(L"Zelmor", L"LOGdat"), std::optional<std::wstring>(L""))
      << "an empty template must not read back as missing";
}

TEST(TokenHelpTest, GapsAreIdeographicSpaces) {
  const std::wstring help = LoadText(IDS_TEMPLATE_HELP);
  EXPECT_EQ(help.find(L' '), std::wstring::npos);
  EXPECT_NE(help.find(L"#MD=モード\u3000\u3000\u3000#LF="), std::wstring::npos);
  size_t gaps = 0;
  for (wchar_t c : help) gaps += c == L'\u3000';
  EXPECT_EQ(gaps, 10u);  // seven single gaps and one triple
}

}  // namespace
}  // namespace zelmor::template_window

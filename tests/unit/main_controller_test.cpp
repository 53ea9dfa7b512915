// Start-up, close question and unload of the main window, with the window and files faked.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/main_controller.h"
#include "app/resource.h"
#include "app/startup.h"
#include "settings/keys.h"

namespace zelmor::app {
namespace {

using ::testing::ElementsAre;

TEST(FormatVersionTest, MinorHasTwoDigitsAndRevisionIsUpperHex) {
  struct Row {
    int major, minor, revision;
    const wchar_t* expected;
  } rows[] = {
      {1, 0, 0, L"1.00"},      // the shipped version
      {1, 2, 10, L"1.02A"},    // revision in hex, no separator
      {2, 15, 255, L"2.15FF"},
      {3, 100, 1, L"3.1001"},  // a minor of three digits is not cut
      {0, 5, 0, L"0.05"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(FormatVersion(row.major, row.minor, row.revision), row.expected)
        << row.major << "." << row.minor << "." << row.revision;
  EXPECT_EQ(LoadText(IDS_CAPTION_PREFIX) + FormatVersion(1, 0, 0), L"Zelmor Ver 1.00");
}

TEST(ParseTwipsTest, RoundsHalvesToEvenAndRejectsWhatIsNoNumber) {
  struct Row {
    const wchar_t* text;
    std::optional<int32_t> expected;
  } rows[] = {
      {L"1260", 1260},
      {L"1234.5", 1234},  // halves go to the even neighbour
      {L"1235.5", 1236},
      {L"1234.51", 1235},
      {L"-0.5", 0},
      {L"-1.5", -2},
      {L" 42 ", 42},
      {L"+7", 7},
      {L"2147483647", 2147483647},
      {L"-2147483648", INT32_MIN},
      {L"2147483648", std::nullopt},  // beyond 32 bits: the default applies
      {L"99999999999999999999", std::nullopt},
      {L"", std::nullopt},
      {L"abc", std::nullopt},
      {L"12abc", std::nullopt},
      {L".", std::nullopt},
      {L"-", std::nullopt},
      {L"1e3", std::nullopt},
  };
  for (const auto& row : rows) EXPECT_EQ(ParseTwips(row.text), row.expected) << '"' << row.text << '"';
}

TEST(FormatTwipsTest, WholeNumbersHaveNoDecimalPart) {
  EXPECT_EQ(FormatTwips(1260.0f), L"1260");
  EXPECT_EQ(FormatTwips(0.0f), L"0");
  EXPECT_EQ(FormatTwips(-150.0f), L"-150");
  EXPECT_EQ(FormatTwips(1260.5f), L"1260.5");
  for (int32_t v : {0, 15, 7110, 4275, -32000, 1000000}) EXPECT_EQ(ParseTwips(FormatTwips(static_cast<float>(v))), v);
}

TEST(ResizeRuleTest, BoxesFollowTheOuterSizeAndNeverGoNegative) {
  PaneLayout at_default = ResizeRule(7110, 4275);
  EXPECT_EQ(at_default.text1_width, 6975);
  EXPECT_EQ(at_default.text2_width, 6975);
  EXPECT_EQ(at_default.text1_height, 3015);
  EXPECT_EQ(at_default.text2_top, 3065);
  PaneLayout bigger = ResizeRule(7110 + 1500, 4275 + 1500);
  EXPECT_EQ(bigger.text1_width, 6975 + 1500);
  EXPECT_EQ(bigger.text2_top, 3065 + 1500);
  PaneLayout tiny = ResizeRule(100, 300);
  EXPECT_EQ(tiny.text1_width, 0);
  EXPECT_EQ(tiny.text1_height, 0);
  EXPECT_EQ(tiny.text2_top, 50);
}

class RecordingView : public MainView {
 public:
  std::vector<std::string> calls;
  float top = 0, left = 0, width = 0, height = 0;
  std::wstring caption;
  void HideEditModeMenus() override { calls.push_back("hide menus"); }
  void SetCaption(const std::wstring& c) override {
    caption = c;
    calls.push_back("caption");
  }
  void SetTop(float v) override { top = v, calls.push_back("top " + std::to_string(int(v))); }
  void SetLeft(float v) override { left = v, calls.push_back("left " + std::to_string(int(v))); }
  void SetWidth(float v) override { width = v, calls.push_back("width " + std::to_string(int(v))); }
  void SetHeight(float v) override { height = v, calls.push_back("height " + std::to_string(int(v))); }
  float Top() override { return top; }
  float Left() override { return left; }
  float Width() override { return width; }
  float Height() override { return height; }
  void RestoreOwnWindowProcedure() override { calls.push_back("restore procedure"); }
  void CloseTemplateWindow() override { calls.push_back("close template window"); }
};

class RecordingLinks : public entry::FeedLinks {
 public:
  std::vector<std::string>& calls;
  bool server = true;
  explicit RecordingLinks(std::vector<std::string>& c) : calls(c) {}
  bool Open(int label, const std::wstring&, const std::wstring&, const std::wstring&) override {
    calls.push_back("open " + std::to_string(label + 1));
    return server;
  }
  bool Request(int, std::wstring&) override { return false; }
  void Close(int label) override { calls.push_back("close " + std::to_string(label + 1)); }
};

class ScriptedBoxes : public MessageBoxes {
 public:
  MessageAnswer answer = MessageAnswer::Yes;
  int shown = 0;
  std::wstring text, title;
  MessageAnswer Show(const std::wstring& t, const std::optional<std::wstring>& c, MessageButtons buttons,
                     MessageIcon icon) override {
    ++shown;
    text = t;
    title = c.value_or(L"(none)");
    EXPECT_EQ(buttons, MessageButtons::YesNo);
    EXPECT_EQ(icon, MessageIcon::Question);
    return answer;
  }
};

class MainControllerTest : public ::testing::Test {
 protected:
  MainState state;
  settings::MemoryProfileStore store;
  settings::Profile profile{store};
  RecordingView view;
  RecordingLinks links{view.calls};
  entry::Feed feed{links};
  ScriptedBoxes boxes;
  MainController controller{state, profile, view, feed, boxes};

  void Put(const wchar_t* section, const wchar_t* key, const wchar_t* value) { store.Put(section, key, value); }
};

TEST_F(MainControllerTest, FirstStartRunsEveryStepInOrderWithDefaults) {
  state.unsaved_log = 1;
  state.edit_mode = 1;
  controller.Form_Load({1, 0, 0});
  EXPECT_THAT(view.calls, ElementsAre("hide menus", "caption", "top 0", "left 0", "width 7110", "height 4275",
                                      "open 1", "open 2", "open 3", "open 4", "open 5"));
  EXPECT_EQ(view.caption, L"Zelmor Ver 1.00");
  EXPECT_EQ(state.unsaved_log, 0);
  EXPECT_EQ(state.edit_mode, 0);
  EXPECT_EQ(state.TemplateText, L"#DT #TMJ #MM %Sat=#SN/Rev:#RV% #LF #MD Up=#TX/Down=#RX");
}

TEST_F(MainControllerTest, BadGeometryValuesFallBackOneByOneAndStartUpGoesOn) {
  Put(L"LOGpos", L"ELTop", L"750");
  Put(L"LOGpos", L"ELLeft", L"1500.5");
  Put(L"LOGpos", L"ELWidth", L"abc");
  Put(L"LOGpos", L"ELHeight", L"");
  Put(L"Zelmor", L"LOGdat", L"#MM only");
  controller.Form_Load({1, 0, 0});
  EXPECT_EQ(view.top, 750);
  EXPECT_EQ(view.left, 1500);
  EXPECT_EQ(view.width, 7110);
  EXPECT_EQ(view.height, 4275);
  // The template and the feed are not lost to one bad value.
  EXPECT_EQ(state.TemplateText, L"#MM only");
  EXPECT_EQ(view.calls.back(), "open 5");
}

TEST_F(MainControllerTest, TemplateKeyHoldingTheSectionNameCountsAsMissingButEmptyStaysEmpty) {
  Put(L"Zelmor", L"LOGdat", L"Zelmor");
  controller.Form_Load({1, 0, 0});
  EXPECT_EQ(state.TemplateText, settings::kDefaultTemplate);
  Put(L"Zelmor", L"LOGdat", L"");
  controller.Form_Load({1, 0, 0});
  EXPECT_EQ(state.TemplateText, L"");
  Put(L"LOGpos", L"ELTop", L"LOGpos");  // indistinguishable from missing
  controller.Form_Load({1, 0, 0});
  EXPECT_EQ(view.top, 0);
}

TEST_F(MainControllerTest, MissingTrackingProgramClosesAllFiveLinks) {
  links.server = false;
  controller.Form_Load({1, 0, 0});
  EXPECT_THAT(std::vector<std::string>(view.calls.end() - 6, view.calls.end()),
              ElementsAre("open 1", "close 1", "close 2", "close 3", "close 4", "close 5"));
}

TEST_F(MainControllerTest, CloseAsksOnlyWhileTheLogIsUnsaved) {
  EXPECT_FALSE(controller.Form_QueryUnload());
  EXPECT_EQ(boxes.shown, 0);
  state.unsaved_log = 1;
  boxes.answer = MessageAnswer::No;
  EXPECT_TRUE(controller.Form_QueryUnload());
  EXPECT_EQ(boxes.text, L"LOGデータが未保存ですが\r\n終了してよろしいですか？");
  EXPECT_EQ(boxes.title, L"Zelmor");
  EXPECT_EQ(state.unsaved_log, 1);
  boxes.answer = MessageAnswer::Yes;
  EXPECT_FALSE(controller.Form_QueryUnload());
}

TEST_F(MainControllerTest, UnloadWritesGeometryThenClosesLinksThenTheTemplateWindow) {
  view.top = 1500, view.left = 30, view.width = 8610, view.height = 5775;
  view.calls.clear();
  controller.Form_Unload();
  EXPECT_THAT(view.calls, ElementsAre("restore procedure", "close 1", "close 2", "close 3", "close 4", "close 5",
                                      "close template window"));
  EXPECT_EQ(store.Get(L"LOGpos", L"ELTop", L"?"), L"1500");
  EXPECT_EQ(store.Get(L"LOGpos", L"ELLeft", L"?"), L"30");
  EXPECT_EQ(store.Get(L"LOGpos", L"ELWidth", L"?"), L"8610");
  EXPECT_EQ(store.Get(L"LOGpos", L"ELHeight", L"?"), L"5775");
}

}  // namespace
}  // namespace zelmor::app

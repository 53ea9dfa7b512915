// Start-up, close question and unload of the main window, with the window and files faked.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/lifecycle.h"

#include "app/geometry.h"
#include "base/resource.h"
#include "base/texts.h"
#include "fakes.h"
#include "memory_profile_store.h"
#include "entry/log_format.h"
#include "settings/keys.h"

namespace zelmor::app {
namespace {

using ::testing::Contains;
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
  EXPECT_EQ(at_default.pane_width, 6975);
  EXPECT_EQ(at_default.entry_width, 6975);
  EXPECT_EQ(at_default.pane_height, 3015);
  EXPECT_EQ(at_default.pane_height + kEntryBelowPane, 3065);
  PaneLayout bigger = ResizeRule(7110 + 1500, 4275 + 1500);
  EXPECT_EQ(bigger.pane_width, 6975 + 1500);
  EXPECT_EQ(bigger.pane_height + kEntryBelowPane, 3065 + 1500);
  PaneLayout tiny = ResizeRule(100, 300);
  EXPECT_EQ(tiny.pane_width, 0);
  EXPECT_EQ(tiny.pane_height, 0);
}

TEST(KeepOnScreenTest, VisibleWindowsStayAndLostOnesComeToThePrimaryWorkArea) {
  const ScreenRect primary{0, 0, 1280, 984};
  const ScreenRect second{1280, 0, 3200, 1080};
  const ScreenRect both[] = {primary, second};
  struct Row {
    const char* what;
    ScreenRect stored;
    ScreenRect placed;
  };
  const Row rows[] = {
      {"on the primary monitor", {100, 100, 574, 385}, {100, 100, 574, 385}},
      {"partly off the primary monitor", {-400, -20, 74, 265}, {-400, -20, 74, 265}},
      {"on the second monitor", {2000, 500, 2474, 785}, {2000, 500, 2474, 785}},
      {"where an unplugged monitor was", {4000, 100, 4474, 385}, {0, 0, 474, 285}},
      {"an absurd top edge", {0, -2000000000, 474, -1999999715}, {0, 0, 474, 285}},
      {"larger than the work area", {5000, 5000, 7000, 7000}, {0, 0, 1280, 984}},
      {"touching the edge only", {3200, 0, 3600, 285}, {0, 0, 400, 285}},
  };
  for (const Row& row : rows) {
    const ScreenRect got = KeepOnScreen(row.stored, both, 2, primary);
    EXPECT_EQ(std::vector<int>({got.left, got.top, got.right, got.bottom}),
              std::vector<int>({row.placed.left, row.placed.top, row.placed.right, row.placed.bottom}))
        << row.what;
  }
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
  void KeepOnScreen() override { calls.push_back("keep on screen"); }
  float Top() override { return top; }
  float Left() override { return left; }
  float Width() override { return width; }
  float Height() override { return height; }
  void Show() override { calls.push_back("show"); }
  void FocusEntryBox() override { calls.push_back("focus entry box"); }
  void EndEditModeWatch() override { calls.push_back("end clipboard watch"); }
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

constexpr wchar_t kFolder[] = L"C:\\Z";
constexpr wchar_t kSettings[] = L"C:\\Z\\Zelmor.ini";

class LifecycleTest : public ::testing::Test {
 protected:
  MainState state;
  settings::MemoryProfileStore store;
  settings::Profile profile{store};
  RecordingView view;
  RecordingLinks links{view.calls};
  entry::Feed feed{links};
  fakes::FakePane pane;
  fakes::FakeMessages boxes;
  fakes::FakeFiles files;
  fakes::FixedClock clock;
  logfiles::SafetyCopy safety_copy{files, profile, clock, kFolder};
  Lifecycle lifecycle{{state, profile, view, feed, pane, boxes, safety_copy, files, kSettings}};

  void Put(const wchar_t* section, const wchar_t* key, const wchar_t* value) { store.Put(section, key, value); }
};

TEST_F(LifecycleTest, FirstStartRunsEveryStepInOrderWithDefaults) {
  state.log_unsaved = true;
  state.edit_mode = true;
  lifecycle.Start({1, 0, 0});
  EXPECT_THAT(view.calls, ElementsAre("hide menus", "caption", "top 0", "left 0", "width 7110", "height 4275",
                                      "keep on screen", "open 1", "open 2", "open 3", "open 4", "open 5", "show",
                                      "focus entry box"));
  EXPECT_EQ(view.caption, L"Zelmor Ver 1.00");
  EXPECT_FALSE(state.log_unsaved);
  EXPECT_FALSE(state.edit_mode);
  EXPECT_EQ(state.template_text, L"#DT #TMJ #MM %Sat=#SN/Rev:#RV% #LF #MD Up=#TX/Down=#RX");
  EXPECT_EQ(files.leftovers_removed, (std::vector<std::wstring>{kSettings, L"C:\\Z\\Zelmor_temp.txt"}));
  EXPECT_EQ(store.Get(L"Zelmor", L"Running", L"?"), L"1");
}

TEST_F(LifecycleTest, EarlierRunsCopyIsOfferedAfterTheWindowShowsAndBeforeTheFirstKey) {
  Put(L"Zelmor", L"Running", L"1");
  files.disk[L"C:\\Z\\Zelmor_temp.txt"] = L"L1\r\n\r\n";
  fakes::Journal journal;
  boxes.journal = &journal;
  lifecycle.Start({1, 0, 0});
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(view.calls[view.calls.size() - 2], "show");
  EXPECT_EQ(view.calls.back(), "focus entry box");
  EXPECT_EQ(pane.text, L"L1\r\n\r\n");
}

TEST_F(LifecycleTest, BadGeometryValuesFallBackOneByOneAndStartUpGoesOn) {
  Put(L"LOGpos", L"ELTop", L"750");
  Put(L"LOGpos", L"ELLeft", L"1500.5");
  Put(L"LOGpos", L"ELWidth", L"abc");
  Put(L"LOGpos", L"ELHeight", L"");
  Put(L"Zelmor", L"LOGdat", L"#MM only");
  lifecycle.Start({1, 0, 0});
  EXPECT_EQ(view.top, 750);
  EXPECT_EQ(view.left, 1500);
  EXPECT_EQ(view.width, 7110);
  EXPECT_EQ(view.height, 4275);
  // The template and the feed are not lost to one bad value.
  EXPECT_EQ(state.template_text, L"#MM only");
  EXPECT_THAT(view.calls, Contains("open 5"));
}

TEST_F(LifecycleTest, TemplateKeyHoldingTheSectionNameCountsAsMissingButEmptyStaysEmpty) {
  Put(L"Zelmor", L"LOGdat", L"Zelmor");
  lifecycle.Start({1, 0, 0});
  EXPECT_EQ(state.template_text, entry::kDefaultTemplate);
  Put(L"Zelmor", L"LOGdat", L"");
  lifecycle.Start({1, 0, 0});
  EXPECT_EQ(state.template_text, L"");
  Put(L"LOGpos", L"ELTop", L"LOGpos");  // indistinguishable from missing
  lifecycle.Start({1, 0, 0});
  EXPECT_EQ(view.top, 0);
}

TEST_F(LifecycleTest, MissingTrackingProgramClosesAllFiveLinksAndTheWindowStillShows) {
  links.server = false;
  lifecycle.Start({1, 0, 0});
  EXPECT_THAT(std::vector<std::string>(view.calls.end() - 8, view.calls.end()),
              ElementsAre("open 1", "close 1", "close 2", "close 3", "close 4", "close 5", "show",
                          "focus entry box"));
}

TEST_F(LifecycleTest, CloseAsksOnlyWhileTheLogIsUnsaved) {
  EXPECT_TRUE(lifecycle.ConfirmClose());
  EXPECT_TRUE(boxes.shown.empty());
  state.log_unsaved = true;
  boxes.answer = MessageAnswer::No;
  EXPECT_FALSE(lifecycle.ConfirmClose());
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, L"LOGデータが未保存ですが\r\n終了してよろしいですか？");
  EXPECT_EQ(boxes.shown[0].title, std::optional<std::wstring>(L"Zelmor"));
  EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
  EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Question);
  EXPECT_TRUE(state.log_unsaved);
  boxes.answer = MessageAnswer::Yes;
  EXPECT_TRUE(lifecycle.ConfirmClose());
}

TEST_F(LifecycleTest, CloseWritesGeometryThenClosesLinksThenTheTemplateWindowOnce) {
  lifecycle.Start({1, 0, 0});
  view.top = 1500, view.left = 30, view.width = 8610, view.height = 5775;
  view.calls.clear();
  lifecycle.Close();
  lifecycle.Close();  // the session's end and the window's close may both ask
  EXPECT_THAT(view.calls, ElementsAre("end clipboard watch", "close 1", "close 2", "close 3", "close 4", "close 5",
                                      "close template window"));
  EXPECT_EQ(store.Get(L"LOGpos", L"ELTop", L"?"), L"1500");
  EXPECT_EQ(store.Get(L"LOGpos", L"ELLeft", L"?"), L"30");
  EXPECT_EQ(store.Get(L"LOGpos", L"ELWidth", L"?"), L"8610");
  EXPECT_EQ(store.Get(L"LOGpos", L"ELHeight", L"?"), L"5775");
  EXPECT_EQ(store.Get(L"Zelmor", L"Running", L"?"), L"0");
}

}  // namespace
}  // namespace zelmor::app

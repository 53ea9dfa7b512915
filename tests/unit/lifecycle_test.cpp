// Start-up, close question and unload of the main window, with the window and files faked.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/lifecycle.h"

#include "app/geometry.h"
#include "window/placement.h"
#include "base/resource.h"
#include "base/texts.h"
#include "fakes.h"
#include "upload_fakes.h"
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

class RecordingView : public MainView {
 public:
  std::vector<std::string> calls;
  window::TwipsRect placement;
  std::wstring caption;
  void HideEditModeMenus() override { calls.push_back("hide menus"); }
  void SetCaption(const std::wstring& c) override {
    caption = c;
    calls.push_back("caption");
  }
  window::TwipsRect Placement() override { return placement; }
  void Place(const window::TwipsRect& p) override {
    placement = p;
    calls.push_back("place top " + std::to_string(int(p.top)) + " left " + std::to_string(int(p.left)) + " width " +
                    std::to_string(int(p.width)) + " height " + std::to_string(int(p.height)));
  }
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
  fakes::FakeTqsl tqsl;
  Lifecycle lifecycle{{state, profile, view, feed, pane, boxes, safety_copy, files, tqsl, kSettings}};

  void Put(const wchar_t* section, const wchar_t* key, const wchar_t* value) { store.Put(section, key, value); }
};

TEST_F(LifecycleTest, FirstStartRunsEveryStepInOrderWithDefaults) {
  state.log_unsaved = true;
  state.edit_mode = true;
  lifecycle.Start({1, 0, 0});
  // The tracking program is looked for last: nothing the operator sees waits for it.
  EXPECT_THAT(view.calls, ElementsAre("hide menus", "caption", "place top 0 left 0 width 7110 height 4275", "show",
                                      "focus entry box", "open 1", "open 2", "open 3", "open 4", "open 5"));
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
  EXPECT_THAT(std::vector<std::string>(view.calls.end() - 7, view.calls.end()),
              ElementsAre("show", "focus entry box", "open 1", "open 2", "open 3", "open 4", "open 5"));
  EXPECT_EQ(pane.text, L"L1\r\n\r\n");
}

TEST_F(LifecycleTest, BadGeometryValuesFallBackOneByOneAndStartUpGoesOn) {
  Put(L"LOGpos", L"ELTop", L"750");
  Put(L"LOGpos", L"ELLeft", L"1500.5");
  Put(L"LOGpos", L"ELWidth", L"abc");
  Put(L"LOGpos", L"ELHeight", L"");
  Put(L"Zelmor", L"LOGdat", L"#MM only");
  lifecycle.Start({1, 0, 0});
  EXPECT_EQ(view.placement.top, 750);
  EXPECT_EQ(view.placement.left, 1500);
  EXPECT_EQ(view.placement.width, 7110);
  EXPECT_EQ(view.placement.height, 4275);
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
  EXPECT_EQ(view.placement.top, 0);
}

TEST_F(LifecycleTest, MissingTrackingProgramClosesAllFiveLinksAndTheWindowStillShows) {
  links.server = false;
  lifecycle.Start({1, 0, 0});
  EXPECT_THAT(std::vector<std::string>(view.calls.end() - 8, view.calls.end()),
              ElementsAre("show", "focus entry box", "open 1", "close 1", "close 2", "close 3", "close 4",
                          "close 5"));
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

TEST_F(LifecycleTest, CloseDuringAnUploadAsksAfterTheLogsQuestion) {
  tqsl.running = true;
  const struct {
    const char* what;
    bool unsaved;
    CloseRequest request;
    MessageAnswer answer;
    std::vector<std::wstring> asked;
    bool closes;
  } rows[] = {
      {"saved log, the close box", false, CloseRequest::Window, MessageAnswer::Yes,
       {L"LoTWへの送信中です（TQSLの送信は続きます）。\r\n終了してよろしいですか？"}, true},
      {"saved log, No keeps the window", false, CloseRequest::Window, MessageAnswer::No,
       {L"LoTWへの送信中です（TQSLの送信は続きます）。\r\n終了してよろしいですか？"}, false},
      {"unsaved log: its question first", true, CloseRequest::Window, MessageAnswer::Yes,
       {L"LOGデータが未保存ですが\r\n終了してよろしいですか？", L"LoTWへの送信中です（TQSLの送信は続きます）。\r\n終了してよろしいですか？"},
       true},
      {"unsaved log, No: the upload is not asked about", true, CloseRequest::Window, MessageAnswer::No,
       {L"LOGデータが未保存ですが\r\n終了してよろしいですか？"}, false},
      {"the session ends: TQSL ends with it", false, CloseRequest::EndSession, MessageAnswer::Yes,
       {L"LoTWへの送信中です。\r\nWindowsを終了すると、TQSLの送信も止まります。\r\n終了してよろしいですか？"}, true},
  };
  for (const auto& row : rows) {
    boxes.shown.clear();
    state.log_unsaved = row.unsaved;
    boxes.answer = row.answer;
    EXPECT_EQ(lifecycle.ConfirmClose(row.request), row.closes) << row.what;
    std::vector<std::wstring> asked;
    for (const auto& shown : boxes.shown) {
      asked.push_back(shown.text);
      EXPECT_EQ(shown.title, std::optional<std::wstring>(L"Zelmor")) << row.what;
      EXPECT_EQ(shown.buttons, MessageButtons::YesNo) << row.what;
    }
    EXPECT_EQ(asked, row.asked) << row.what;
  }
}

TEST_F(LifecycleTest, CloseWritesGeometryThenClosesLinksThenTheTemplateWindowOnce) {
  lifecycle.Start({1, 0, 0});
  view.placement = {30, 1500, 8610, 5775};
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

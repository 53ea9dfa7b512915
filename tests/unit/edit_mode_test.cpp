#include "transfer/edit_mode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelmor::transfer {
namespace {

// Records every step the window is asked to do, in order.
class RecordingHost : public EditModeHost {
 public:
  void CheckEditItem(bool checked) override { steps.push_back(checked ? "check" : "uncheck"); }
  void ShowHint(bool shown) override { steps.push_back(shown ? "show hint" : "hide hint"); }
  void EnablePane(bool enabled) override { steps.push_back(enabled ? "enable pane" : "disable pane"); }
  void StartClipboardWatch() override { steps.push_back("start watch"); }
  void StopClipboardWatch() override { steps.push_back("stop watch"); }
  uint32_t ClipboardSequence() override { return sequence; }

  uint32_t sequence = 100;
  std::vector<std::string> steps;
};

using Steps = std::vector<std::string>;

class EditModeTest : public ::testing::Test {
 protected:
  void Enter() {
    mode.ToggleEditMode();
    host.steps.clear();
  }

  MainState state;
  RecordingHost host;
  EditMode mode{state, host};
};

TEST_F(EditModeTest, EnteringSetsTheFlagThenDoesTheStepsInOrder) {
  mode.ToggleEditMode();
  EXPECT_TRUE(state.edit_mode);
  EXPECT_EQ(host.steps,
            (Steps{"check", "show hint", "enable pane", "start watch"}));
}

TEST_F(EditModeTest, ToggleTwiceGivesTheNormalStateBack) {
  mode.ToggleEditMode();
  host.steps.clear();
  mode.ToggleEditMode();
  EXPECT_FALSE(state.edit_mode);
  EXPECT_EQ(host.steps,
            (Steps{"uncheck", "hide hint", "disable pane", "stop watch"}));
  EXPECT_FALSE(mode.watching());
}

TEST_F(EditModeTest, LeaveOutsideEditModeDoesNothing) {
  mode.LeaveEditMode();
  EXPECT_FALSE(state.edit_mode);
  EXPECT_TRUE(host.steps.empty());
}

TEST_F(EditModeTest, CloseStopsTheWatchOnlyWhenItRuns) {
  mode.Close();
  EXPECT_TRUE(host.steps.empty()) << "never entered: nothing to stop";

  Enter();
  mode.Close();
  EXPECT_EQ(host.steps, (Steps{"stop watch"}));
  EXPECT_TRUE(state.edit_mode) << "unloading changes no flag";

  host.steps.clear();
  mode.Close();
  EXPECT_TRUE(host.steps.empty()) << "a second unload has nothing left to undo";
}

TEST_F(EditModeTest, ClipboardChangesPopTheMenuOnlyInEditModeAndOneAtATime) {
  EXPECT_FALSE(mode.OnClipboardChanged(101)) << "outside edit mode";

  Enter();
  EXPECT_FALSE(mode.OnClipboardChanged(100)) << "the change on the clipboard at entry is old news";
  EXPECT_TRUE(mode.OnClipboardChanged(102)) << "first change after entering";
  EXPECT_FALSE(mode.OnClipboardChanged(102)) << "second notice for the same change";
  EXPECT_FALSE(mode.OnClipboardChanged(103)) << "a change while the menu is open";
  mode.MenuClosed();
  EXPECT_FALSE(mode.OnClipboardChanged(103)) << "the change seen while open does not come back";
  EXPECT_TRUE(mode.OnClipboardChanged(104)) << "next change after the menu closed";
  mode.MenuClosed();

  mode.ToggleEditMode();
  EXPECT_FALSE(mode.OnClipboardChanged(105)) << "after leaving";
}

TEST_F(EditModeTest, UnreadableSequenceStillPopsTheMenu) {
  host.sequence = 0;
  Enter();
  EXPECT_TRUE(mode.OnClipboardChanged(0));
  mode.MenuClosed();
  EXPECT_TRUE(mode.OnClipboardChanged(0)) << "without a counter no notice can be told a duplicate";
}

TEST_F(EditModeTest, ReenteringStartsAfreshFromTheCurrentClipboard) {
  Enter();
  EXPECT_TRUE(mode.OnClipboardChanged(101));
  mode.ToggleEditMode();  // leaves with the menu still marked open, as when the window leaves from it
  host.sequence = 110;
  mode.ToggleEditMode();
  EXPECT_FALSE(mode.OnClipboardChanged(110)) << "a notice still queued from before entering";
  EXPECT_TRUE(mode.OnClipboardChanged(111));
}

TEST_F(EditModeTest, OperatorEditsMarkTheLogUnsavedOnlyInEditMode) {
  mode.OnPaneEditedByUser();
  EXPECT_FALSE(state.log_unsaved) << "outside edit mode the pane cannot be typed into";

  Enter();
  mode.OnPaneEditedByUser();
  EXPECT_TRUE(state.log_unsaved);
}

}  // namespace
}  // namespace zelmor::transfer

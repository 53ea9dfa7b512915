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
  void Subclass() override { steps.push_back("subclass"); }
  void Unsubclass() override { steps.push_back("unsubclass"); }
  uint32_t ClipboardSequence() override { return sequence; }

  uint32_t sequence = 100;
  std::vector<std::string> steps;
};

using Steps = std::vector<std::string>;

class EditModeTest : public ::testing::Test {
 protected:
  void Enter() {
    mode.LOGedit_Click();
    host.steps.clear();
  }

  MainState state;
  RecordingHost host;
  EditMode mode{state, host};
};

TEST_F(EditModeTest, EnteringSetsTheFlagThenDoesTheStepsInOrder) {
  mode.LOGedit_Click();
  EXPECT_EQ(state.edit_mode, 1);
  EXPECT_EQ(host.steps,
            (Steps{"check", "show hint", "enable pane", "start watch", "subclass"}));
}

TEST_F(EditModeTest, ToggleTwiceGivesTheNormalStateBack) {
  mode.LOGedit_Click();
  host.steps.clear();
  mode.LOGedit_Click();
  EXPECT_EQ(state.edit_mode, 0);
  EXPECT_EQ(host.steps,
            (Steps{"uncheck", "hide hint", "disable pane", "stop watch", "unsubclass"}));
  EXPECT_FALSE(mode.subclassed());
}

TEST_F(EditModeTest, LeaveOutsideEditModeDoesNothing) {
  mode.LeaveEditMode();
  EXPECT_EQ(state.edit_mode, 0);
  EXPECT_TRUE(host.steps.empty());
}

TEST_F(EditModeTest, UnloadGivesTheProcedureBackOnlyWhenReplaced) {
  mode.Unload();
  EXPECT_TRUE(host.steps.empty()) << "never entered: the window procedure is left alone";

  Enter();
  mode.Unload();
  EXPECT_EQ(host.steps, (Steps{"stop watch", "unsubclass"}));
  EXPECT_EQ(state.edit_mode, 1) << "unloading changes no flag";

  host.steps.clear();
  mode.Unload();
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

  mode.LOGedit_Click();
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
  mode.LOGedit_Click();  // leaves with the menu still marked open, as when the window leaves from it
  host.sequence = 110;
  mode.LOGedit_Click();
  EXPECT_FALSE(mode.OnClipboardChanged(110)) << "a notice still queued from before entering";
  EXPECT_TRUE(mode.OnClipboardChanged(111));
}

TEST_F(EditModeTest, OperatorEditsMarkTheLogUnsavedOnlyInEditMode) {
  mode.OnPaneEditedByUser();
  EXPECT_EQ(state.unsaved_log, 0) << "outside edit mode the pane cannot be typed into";

  Enter();
  mode.OnPaneEditedByUser();
  EXPECT_EQ(state.unsaved_log, 1);
}

}  // namespace
}  // namespace zelmor::transfer

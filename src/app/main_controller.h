#pragma once
// Start-up, close confirmation and unload of the main window.

#include "app/ports.h"
#include "entry/feed.h"
#include "settings/profile.h"

namespace zelmor::app {

// What the lifecycle needs from the main window itself.
class MainView {
 public:
  virtual ~MainView() = default;
  // The two menus that only edit mode shows: HLcopyMenu, then HLMSG.
  virtual void HideEditModeMenus() = 0;
  virtual void SetCaption(const std::wstring& caption) = 0;
  // Window edges and outer size, in twips; setting a size lays the text boxes out again.
  virtual void SetTop(float twips) = 0;
  virtual void SetLeft(float twips) = 0;
  virtual void SetWidth(float twips) = 0;
  virtual void SetHeight(float twips) = 0;
  // The window's normal (restored) rectangle, also while it is minimized or maximized, so that a
  // restart never puts the window off-screen.
  virtual float Top() = 0;
  virtual float Left() = 0;
  virtual float Width() = 0;
  virtual float Height() = 0;
  // Gives the window its own procedure back when edit mode replaced it.
  virtual void RestoreOwnWindowProcedure() = 0;
  // Unloads the template settings window, which saves the template as it closes.
  virtual void CloseTemplateWindow() = 0;
};

struct Version {
  int major = 1, minor = 0, revision = 0;
};

class MainController {
 public:
  MainController(MainState& state, settings::Profile& profile, MainView& view, entry::Feed& feed,
                 MessageBoxes& boxes)
      : state_(state), profile_(profile), view_(view), feed_(feed), boxes_(boxes) {}

  void Form_Load(const Version& version);
  // True when the operator chose to keep the window open.
  bool Form_QueryUnload();
  void Form_Unload();

 private:
  void RestoreGeometry();
  void LoadTemplate();

  MainState& state_;
  settings::Profile& profile_;
  MainView& view_;
  entry::Feed& feed_;
  MessageBoxes& boxes_;
};

}  // namespace zelmor::app

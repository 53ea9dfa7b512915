#pragma once
// Start-up and closing of the main window, each in one place and in its one order.

#include <string>

#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/feed.h"
#include "entry/log_pane.h"
#include "logfiles/safety_copy.h"
#include "logfiles/text_files.h"
#include "lotw/lotw_upload.h"
#include "settings/profile.h"
#include "window/placement.h"

namespace zelmor::app {

// What start-up and closing need from the main window itself.
class MainView {
 public:
  virtual ~MainView() = default;
  // The two menus that only edit mode shows: the transfer menu, then the hint.
  virtual void HideEditModeMenus() = 0;
  virtual void SetCaption(const std::wstring& caption) = 0;
  // The window's normal (restored) outer rectangle in twips, also while it is minimized or
  // maximized, so that a restart never puts the window where a minimized one stands.
  virtual window::TwipsRect Placement() = 0;
  // Moves the window there in one step and lays the text boxes out again; a rectangle that no
  // monitor shows any more goes onto the primary monitor's work area.
  virtual void Place(const window::TwipsRect& placement) = 0;
  virtual void Show() = 0;
  virtual void FocusEntryBox() = 0;
  // Edit mode's clipboard watch ends with the window; the flags stay.
  virtual void EndEditModeWatch() = 0;
  // Closes the template settings window, which saves the template as it closes.
  virtual void CloseTemplateWindow() = 0;
};

// What asks the program to close: the operator (close box, "閉じる(&X)"), or Windows ending the
// session, which ends an upload's TQSL too.
enum class CloseRequest { Window, EndSession };

struct Version {
  int major = 1, minor = 0, revision = 0;
};

class Lifecycle {
 public:
  struct Parts {
    MainState& state;
    settings::Profile& profile;
    MainView& view;
    entry::Feed& feed;
    entry::LogPane& pane;
    MessageBoxes& boxes;
    logfiles::SafetyCopy& safety_copy;
    logfiles::TextFiles& files;
    const lotw::TqslProcess& tqsl;
    std::wstring settings_path;
  };
  explicit Lifecycle(Parts parts) : p_(std::move(parts)) {}

  // From the program's start to the window waiting for the first entry: leftovers of interrupted
  // settings writes go, the state is reset, caption, geometry and template come from the settings,
  // the window shows, an earlier run's unsaved log is offered back, the entry box takes the
  // keyboard, and the feed begins looking for the tracking program.
  void Start(const Version& version);
  // Every close request, whatever its source: true when the window may close. While the log is
  // unsaved the operator is asked first; then, while an upload runs, whether to close anyway
  // (TQSL goes on alone when the window closes, but not when the session ends).
  bool ConfirmClose(CloseRequest request = CloseRequest::Window);
  // Once the close is decided: the clipboard watch ends, the geometry is saved, the feed links
  // close, the template window closes (saving the template), and the run is marked as closed
  // normally. A second call does nothing.
  void Close();

 private:
  void LoadTemplate();

  Parts p_;
  bool closed_ = false;
};

}  // namespace zelmor::app

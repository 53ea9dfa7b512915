#pragma once
// Every part of the program, made once the main window and its controls exist, and wired to each
// other here and nowhere else.
//
// Members are made in the order they are declared and go in the reverse order, so each part comes
// after everything it borrows.
// - A new part is one more member, made in parts_win.cpp. Where a lower layer must call it, that
//   layer owns an interface which the part implements (entry::SafetyCopyWriter,
//   logfiles::EditModeSwitch, transfer::ContactPlanner), and the member is passed as it.
// - A new File menu command is a member made from `file_commands` (and what only it needs); its
//   menu item goes into zelmor.rc with its ID in resource.h, and MainWindow::OnCommand calls it.

#include <windows.h>

#include <string>

#include "adif/export_command.h"
#include "base/time_zone_win.h"
#include "app/lifecycle.h"
#include "base/clock_win.h"
#include "base/main_state.h"
#include "base/message_boxes_win.h"
#include "entry/entry_box.h"
#include "entry/feed.h"
#include "entry/feed_look_up_win.h"
#include "entry/locale_win.h"
#include "entry/log_pane_win.h"
#include "entry/tracker_source.h"
#include "logfiles/file_command.h"
#include "logfiles/file_dialogs_win.h"
#include "logfiles/log_commands.h"
#include "logfiles/safety_copy.h"
#include "logfiles/text_files_win.h"
#include "lotw/credentials_win.h"
#include "lotw/fetch_views_win.h"
#include "lotw/lotw_fetch.h"
#include "lotw/lotw_upload.h"
#include "lotw/report_fetch_win.h"
#include "lotw/tqsl_process_win.h"
#include "lotw/upload_views_win.h"
#include "settings/profile.h"
#include "settings/profile_store_win.h"
#include "station/station_command.h"
#include "station/station_dialog_win.h"
#include "station/station_store.h"
#include "template_window/template_window_win.h"
#include "trackers/dde_trackers_win.h"
#include "trackers/tracker_menu_win.h"
#include "transfer/edit_mode_win.h"
#include "transfer/hamlog_link_win.h"
#include "transfer/whole_line.h"
#include "window/menu_bar_win.h"
#include "worked/worked_before_win.h"

namespace zelmor::app {

// Places on the main window's menu bar, as the resource script lists them.
inline constexpr int kHintMenuPosition = 1;
inline constexpr int kTransferMenuPosition = 2;

// The main window and the controls the parts work on.
struct MainControls {
  HWND window;
  HWND pane;
  HWND entry;
};

// Worked-before as the fetch of confirmations sees it.
class WorkedConfirmations : public lotw::ConfirmedContacts {
 public:
  explicit WorkedConfirmations(worked::WorkedBefore& worked) : worked_(worked) {}
  void ConfirmationsChanged() override { worked_.ConfirmationsChanged(); }
  size_t MatchingContacts(const std::vector<confirmations::Confirmation>& confirmations) override {
    return worked_.MatchingContacts(confirmations);
  }

 private:
  worked::WorkedBefore& worked_;
};

struct Parts {
  // `view` is the main window as start-up and closing see it.
  Parts(HINSTANCE instance, const MainControls& controls, MainView& view);
  Parts(const Parts&) = delete;
  Parts& operator=(const Parts&) = delete;

  std::wstring folder;  // the program's own, without a trailing backslash
  MainState state;
  settings::IniProfileStore store;
  settings::Profile profile;
  base::Win32MessageBoxes boxes;
  base::SystemClock clock;
  entry::UserLocale locale;
  entry::EditLogPane pane;
  entry::EditEntryField entry_field;
  // The tracking programs the feed may read, and which of them the operator allows.
  entry::TrackerSetting tracker_setting;
  trackers::DdeTrackerSet trackers;
  entry::Feed feed;
  // Carries the start-up's look for the tracking programs on while the window answers; goes before
  // the feed and the links it uses.
  entry::FeedLookUp feed_look_up;
  trackers::TrackerMenu tracker_menu;
  logfiles::AnsiTextFiles files;
  logfiles::SafetyCopy safety_copy;
  // The operator's station, read from the settings as the program starts, and its lines in the log.
  station::CurrentStation station;
  station::StationStatement station_statement;
  // The index of every log, the hint next to the entry box and the summary; told of each entry's
  // lines by the entry box, and the settings' watcher (it follows the log folder).
  worked::WorkedBefore worked;
  entry::EntryBoxContext entry_box;
  transfer::HamlogLink link;
  // Made before start-up takes the edit-mode menus off the bar: it notes them all.
  window::MenuBarItems menu_bar;
  transfer::WholeLinePlanner contact_planner;
  transfer::EditModeWindow edit_mode;
  logfiles::CommonFileDialogs dialogs;
  logfiles::FileDialogState dialog_state;
  // What every File menu command borrows.
  logfiles::FileCommandContext file_commands;
  logfiles::LogCommands log_commands;
  ComputerTimeZone zone;
  station::Win32StationDialog station_dialog;
  station::StationCommand station_command;
  adif::ExportCommand adif_export;
  lotw::Win32TqslProcess tqsl;
  lotw::Win32TqslPlaces tqsl_places;
  lotw::Win32UploadViews upload_views;
  lotw::LotwUpload lotw;
  lotw::Win32ReportTransport report_transport;
  lotw::Win32PasswordVault password_vault;
  lotw::Win32FetchViews fetch_views;
  lotw::Win32KeptFiles kept_files;
  WorkedConfirmations worked_confirmations;
  lotw::LotwFetch lotw_fetch;
  template_window::TemplateWindow template_window;
  Lifecycle lifecycle;
};

}  // namespace zelmor::app

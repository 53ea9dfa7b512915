#include "app/parts_win.h"

#include "app/version_win.h"
#include "base/paths_win.h"
#include "base/resource.h"
#include "settings/keys.h"

namespace zelmor::app {
namespace {

transfer::EditModeCommands EditModeCommandIds() {
  transfer::EditModeCommands commands;
  commands.edit_mode = IDM_EDIT_MODE;
  commands.transfer_items = {IDM_TO_HL_DATE, IDM_TO_HL_TIME, IDM_TO_HL_CALL, IDM_TO_HL_HIS_RST,
                             IDM_TO_HL_MY_RST, IDM_TO_HL_MODE, IDM_TO_HL_FREQ, IDM_TO_HL_CODE,
                             IDM_TO_HL_NAME, IDM_TO_HL_REM1, IDM_TO_HL_REM2};
  commands.whole_contact = IDM_TO_HL_WHOLE_CONTACT;
  return commands;
}

}  // namespace

Parts::Parts(HINSTANCE instance, const MainControls& controls, MainView& view)
    : folder(base::ExecutableFolder()),
      profile(store),
      boxes(controls.window),
      entry_field(controls.entry),
      trackers(entry::DdeFeedLinks::kDefaultRequestTimeoutMs, false),
      feed(trackers.Sources(), &tracker_setting),
      feed_look_up(controls.window),
      tracker_menu(feed, tracker_setting, profile),
      safety_copy(files, profile, clock, folder),
      station(profile),
      station_statement(station),
      worked({state, profile, locale, pane, entry_field, clock, instance, controls.entry, folder,
              logfiles::kSafetyCopyName,
              std::make_shared<trackers::DdeTrackerSetMaker>(entry::SatelliteNow::kRequestTimeoutMs),
              &tracker_setting, &station}),
      entry_box{state, feed, pane, entry_field, clock, locale, safety_copy, station_statement, &worked},
      link(controls.window),
      menu_bar(controls.window),
      contact_planner(state, profile, locale, clock),
      edit_mode(controls.window, pane, menu_bar, kHintMenuPosition, menu_bar.Popup(kTransferMenuPosition),
                EditModeCommandIds(), state, link, boxes, contact_planner),
      dialogs(controls.window),
      file_commands{state, profile, dialogs, dialog_state, files, boxes, pane, clock, locale, edit_mode, folder},
      log_commands(file_commands),
      station_dialog(controls.window, instance),
      station_command(file_commands, station, station_statement, station_dialog, safety_copy),
      adif_export(file_commands, zone, OwnVersionText(), station),
      tqsl(controls.window),
      upload_views(controls.window, instance),
      lotw(file_commands, {zone, OwnVersionText(), station, station_command, tqsl, tqsl_places, upload_views}),
      report_transport(controls.window),
      fetch_views(controls.window, instance),
      worked_confirmations(worked),
      lotw_fetch(file_commands, {station, report_transport, password_vault, fetch_views, kept_files, worked_confirmations}),
      template_window(instance, state, profile),
      lifecycle({state, profile, view, feed, pane, boxes, safety_copy, files, tqsl,
                 base::BesideExecutable(settings::kFileName)}) {
  trackers.set_initiator(&feed_look_up);
  feed.set_runner(&feed_look_up);
  // Before start-up sets the feed up.
  tracker_menu.Load();
  // Attached here rather than made with it: attaching also lifts the control's text limit.
  pane.set_window(controls.pane);
  // A log loaded into the pane is converted for the safety copy as it loads, not at the next Enter.
  pane.set_watcher(&safety_copy);
}

}  // namespace zelmor::app

#pragma once
// "追跡ソフト(&R)" in the File menu: 自動, CSATmate, SatPC32, Orbitron, with a radio check on the
// operator's choice and "(接続中)" after the program the feed reads now. The choice is kept in
// "Zelmor.ini" ([Zelmor] Tracker=).

#include <windows.h>

#include "entry/feed.h"
#include "entry/tracker_source.h"
#include "settings/profile.h"

namespace zelmor::trackers {

class TrackerMenu {
 public:
  TrackerMenu(entry::Feed& feed, entry::TrackerSetting& setting, settings::Profile& profile)
      : feed_(feed), setting_(setting), profile_(profile) {}
  // The choice as the settings hold it; before the feed is first set up.
  void Load();
  // WM_INITMENUPOPUP: when `menu` is this submenu, its check and marks are brought up to date.
  void OnMenuOpening(HMENU menu);
  // True when `id` is one of the submenu's items: the choice is taken, stored, and the feed looks
  // for the program at once.
  bool OnCommand(UINT id);

 private:
  entry::Feed& feed_;
  entry::TrackerSetting& setting_;
  settings::Profile& profile_;
};

}  // namespace zelmor::trackers

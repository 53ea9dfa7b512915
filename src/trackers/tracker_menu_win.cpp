#include "trackers/tracker_menu_win.h"

#include <string>

#include "base/resource.h"
#include "base/texts.h"
#include "settings/keys.h"

namespace zelmor::trackers {
namespace {

constexpr UINT kTrackerItems[entry::kTrackerCount] = {IDM_TRACKER_CSATMATE, IDM_TRACKER_SATPC32,
                                                      IDM_TRACKER_ORBITRON};

UINT ItemOf(entry::TrackerChoice choice) {
  return choice == entry::TrackerChoice::kAuto ? IDM_TRACKER_AUTO : kTrackerItems[static_cast<int>(choice)];
}

}  // namespace

void TrackerMenu::Load() {
  const auto stored = profile_.ProfileRead(settings::kMainSection, settings::kTrackerKey);
  setting_.Set(entry::ParseTrackerChoice(stored.value_or(L"")));
}

void TrackerMenu::OnMenuOpening(HMENU menu) {
  if (!menu || GetMenuItemID(menu, 0) != IDM_TRACKER_AUTO) return;
  const auto connected = feed_.Connected();
  for (int i = 0; i < entry::kTrackerCount; ++i) {
    const auto tracker = static_cast<entry::Tracker>(i);
    std::wstring text = entry::TrackerName(tracker);
    if (connected == tracker) text += L" " + LoadText(IDS_TRACKER_CONNECTED);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu, kTrackerItems[i], FALSE, &info);
  }
  CheckMenuRadioItem(menu, IDM_TRACKER_AUTO, IDM_TRACKER_ORBITRON, ItemOf(setting_.Get()), MF_BYCOMMAND);
}

bool TrackerMenu::OnCommand(UINT id) {
  entry::TrackerChoice choice;
  if (id == IDM_TRACKER_AUTO) {
    choice = entry::TrackerChoice::kAuto;
  } else if (id >= IDM_TRACKER_CSATMATE && id <= IDM_TRACKER_ORBITRON) {
    choice = static_cast<entry::TrackerChoice>(id - IDM_TRACKER_CSATMATE);
  } else {
    return false;
  }
  setting_.Set(choice);
  profile_.ProfileWrite(settings::kMainSection, settings::kTrackerKey, entry::TrackerChoiceText(choice));
  feed_.ChoiceChanged();
  feed_.SetUp();
  return true;
}

}  // namespace zelmor::trackers

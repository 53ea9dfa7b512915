#include "adif/station_command.h"

#include "base/resource.h"
#include "base/texts.h"

namespace zelmor::adif {

bool StationCommand::Ask() {
  logfiles::LeaveEditModeIfOn(c_);
  const std::optional<contact::Station> chosen = dialog_.Ask(station_.Get());
  if (!chosen) return false;
  if (!station_.Set(*chosen)) {
    c_.messages.Show(LoadText(IDS_STATION_SAVE_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::None);
  }
  return true;
}

}  // namespace zelmor::adif

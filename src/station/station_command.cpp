#include "station/station_command.h"

#include <exception>

#include "base/resource.h"
#include "base/texts.h"

namespace zelmor::station {

bool StationCommand::Ask() {
  logfiles::LeaveEditModeIfOn(c_);
  const std::optional<station::Station> before = station_.Get();
  const std::optional<station::Station> chosen = dialog_.Ask(before);
  if (!chosen) return false;
  const bool stored = station_.Set(*chosen);
  const std::optional<std::wstring> line = before != chosen ? statement_.Line(c_.pane) : statement_.Due(c_.pane);
  if (line) {
    c_.pane.Append(*line);
    try {
      // As for an entry: a copy that cannot be written now gets the line with the next entry.
      safety_copy_.Write(c_.pane, *line);
    } catch (const std::exception&) {
    }
    c_.pane.CaretToEnd();
    statement_.Stated(c_.pane);
    c_.state.log_unsaved = true;
  }
  if (!stored) {
    c_.messages.Show(LoadText(IDS_STATION_SAVE_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::None);
  }
  return true;
}

}  // namespace zelmor::station

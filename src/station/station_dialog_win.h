#pragma once
// The station dialog "局情報": the call sign as operated, the grid or grid line, the prefecture and
// the city/gun/ku from TQSL's lists, and the TQSL Station Location.

#include <windows.h>

#include <optional>

#include "station/station.h"
#include "station/station_command.h"

namespace zelmor::station {

// Shows the dialog (modal, over `owner`, from the resources of `instance`) filled with `current`.
// OK checks every field: the first wrong one is named in a message box and gets the focus, and the
// dialog stays open. The station confirmed, in canonical form, or nothing when cancelled.
std::optional<Station> AskStation(HWND owner, HINSTANCE instance, const std::optional<Station>& current);

class Win32StationDialog : public StationDialog {
 public:
  Win32StationDialog(HWND owner, HINSTANCE instance) : owner_(owner), instance_(instance) {}
  std::optional<Station> Ask(const std::optional<Station>& current) override;

 private:
  HWND owner_;
  HINSTANCE instance_;
};

}  // namespace zelmor::station

#pragma once
// The File menu command "局情報(&M)...": the operator's station for the outing.

#include <optional>

#include "entry/entry_box.h"
#include "logfiles/file_command.h"
#include "station/station.h"
#include "station/station_statement.h"
#include "station/station_store.h"

namespace zelmor::station {

// The dialog "局情報", filled with the station in force.
class StationDialog {
 public:
  virtual ~StationDialog() = default;
  // The station the operator confirmed, checked and in canonical form; nothing when cancelled.
  virtual std::optional<station::Station> Ask(const std::optional<station::Station>& current) = 0;
};

class StationCommand {
 public:
  StationCommand(logfiles::FileCommandContext& context, station::CurrentStation& station,
                 station::StationStatement& statement, StationDialog& dialog, entry::SafetyCopyWriter& safety_copy)
      : c_(context), station_(station), statement_(statement), dialog_(dialog), safety_copy_(safety_copy) {}

  // Leaves edit mode (a copy in the dialog would pop the transfer menu up) and shows the dialog
  // with the station in force. OK makes the station the one in force and stores it in
  // "Zelmor.ini"; a file that refuses it is reported, and the station holds until the program
  // ends. The log states the new station like an entry: its line is appended to the pane and the
  // safety copy, and the log is unsaved. A station the pane holds already is not stated again.
  // True when the operator confirmed a station.
  bool Ask();

 private:
  logfiles::FileCommandContext& c_;
  station::CurrentStation& station_;
  station::StationStatement& statement_;
  StationDialog& dialog_;
  entry::SafetyCopyWriter& safety_copy_;
};

}  // namespace zelmor::station

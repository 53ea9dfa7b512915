#pragma once
// The File menu command "ADIF出力(&A)": the whole log as an ADIF file for LoTW and other loggers.

#include <optional>
#include <string>
#include <vector>

#include "adif/adif_export.h"
#include "base/time_zone.h"
#include "logfiles/file_command.h"
#include "station/station_store.h"

namespace zelmor::adif {

class ExportCommand {
 public:
  // Everything the command touches belongs to the main window; it only borrows it. `zone` is the
  // computer's rules (the log holds local times, ADIF wants UTC); `program_version` as the
  // caption shows it; `station` the operator's station in force.
  ExportCommand(logfiles::FileCommandContext& context, const TimeZoneRules& zone, std::wstring program_version,
                const station::CurrentStation& station);

  // Leaves edit mode, asks for a file in the Save dialog (starting in the log folder with today's
  // proposed name; an existing file is replaced only when the operator says so), writes every line
  // of the pane to it as ADIF, and shows what was exported and what was not, and with which station.
  // Satellite names are looked up with the operator's spellings of section "SatNames" too. The
  // file is replaced whole or not at all; a failure is reported and leaves the old file. A cancel
  // does nothing, and the log folder setting stays: an ADIF file is made for another program,
  // often in another folder.
  void Export();

 private:
  logfiles::FileCommandContext& c_;
  const TimeZoneRules& zone_;
  std::wstring program_version_;
  const station::CurrentStation& station_;
};

// The log pane as ADIF, as every command that exports it writes it: with the template, the locale,
// the computer's time zone, the operator's satellite spellings and `station` (the one in force).
ExportResult ExportPane(logfiles::FileCommandContext& context, const TimeZoneRules& zone,
                        const std::wstring& program_version, const std::optional<station::Station>& station);

// The operator's report after an export: the station or stations the records carry, the counts,
// the names LoTW does not know, and the lines that were not exported (the first few of them, with
// their line numbers).
std::wstring SummaryText(const ExportSummary& summary);

// The report's lines about the stations: the one used, or each of several, or none at all.
std::vector<std::wstring> StationSummary(const ExportSummary& summary);

}  // namespace zelmor::adif

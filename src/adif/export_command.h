#pragma once
// The File menu command "ADIF出力(&A)": the whole log as an ADIF file for LoTW and other loggers.

#include <functional>
#include <string>

#include "adif/adif_export.h"
#include "adif/time_zone.h"
#include "base/clock.h"
#include "base/main_state.h"
#include "base/message_boxes.h"
#include "entry/locale.h"
#include "entry/log_pane.h"
#include "logfiles/file_dialogs.h"
#include "logfiles/text_files.h"
#include "settings/profile.h"

namespace zelmor::adif {

class ExportCommand {
 public:
  // Everything the command touches belongs to the main window; it only borrows it.
  struct Context {
    MainState& state;
    settings::Profile& profile;
    logfiles::FileDialogs& dialogs;
    // The main window's one dialog, shared with the log commands.
    logfiles::FileDialogState& dialog_state;
    logfiles::TextFiles& files;
    MessageBoxes& messages;
    entry::LogPane& pane;
    Clock& clock;
    // The computer's rules: the log holds local times, ADIF wants UTC.
    const TimeZoneRules& zone;
    std::wstring executable_folder;  // no trailing backslash
    std::wstring program_version;    // as the caption shows it
    // The locale the log lines were written in, read when the command runs.
    std::function<entry::LocaleFormats()> locale;
    std::function<void()> leave_edit_mode;
  };

  explicit ExportCommand(Context context);

  // Leaves edit mode, asks for a file in the Save dialog (starting in the log folder with today's
  // proposed name), writes every line of the pane to it as ADIF, and shows what was exported and
  // what was not. Satellite names are looked up with the operator's spellings of section
  // "SatNames" too. The file is replaced whole or not at all; a failure is reported and leaves the
  // old file. A cancel does nothing, and the log folder setting stays: an ADIF file is made for
  // another program, often in another folder.
  void Export();

 private:
  Context c_;
};

// The operator's report after an export: the counts, the names LoTW does not know, and the lines
// that were not exported (the first few of them, with their line numbers).
std::wstring SummaryText(const ExportSummary& summary);

}  // namespace zelmor::adif

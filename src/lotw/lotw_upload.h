#pragma once
// The File menu command "LoTWへ送信(&L)": the log, with the operator's stations, to LoTW in one
// action. It exports the log to a dated .adi in the log folder and has TQSL sign and upload it in
// batch mode, as a child process: the operator goes on logging while it runs, and reads how it
// went in a report that never takes the keyboard from the entry box.

#include <optional>
#include <string>

#include "adif/adif_export.h"
#include "base/time_zone.h"
#include "logfiles/file_command.h"
#include "lotw/tqsl_job.h"
#include "station/station_command.h"
#include "station/station_store.h"

namespace zelmor::lotw {

// TQSL run as a child process, one upload at a time. Its end comes later, as a message to the
// main window, which hands it to LotwUpload::OnTqslEnded.
class TqslProcess {
 public:
  enum class Start { Started, Busy, Failed };
  virtual ~TqslProcess() = default;
  // Starts TQSL with UploadArguments for `job` (and -p when `passphrase` is given).
  virtual Start Begin(const TqslJob& job, const Secret* passphrase) = 0;
  // From Begin until Finish has taken the result.
  virtual bool Running() const = 0;
  // How the run ended, once it has; nothing while it runs or when no run waits.
  virtual std::optional<TqslOutcome> Finish() = 0;
  // Why the last Begin failed, in the system's words.
  virtual std::wstring FailureText() const = 0;
};

// What the upload shows beyond message boxes.
class UploadViews {
 public:
  virtual ~UploadViews() = default;
  // The passphrase box: what the operator typed, or nothing when cancelled. Never stored.
  virtual std::optional<Secret> AskPassphrase() = 0;
  // The upload's report, replacing the one shown before; it does not take the keyboard.
  virtual void ShowReport(const std::wstring& text) = 0;
};

class LotwUpload {
 public:
  struct Services {
    const TimeZoneRules& zone;
    std::wstring program_version;
    station::CurrentStation& station;
    station::StationCommand& station_command;
    TqslProcess& tqsl;
    TqslPlaces& places;
    UploadViews& views;
  };
  LotwUpload(logfiles::FileCommandContext& context, Services services)
      : c_(context), s_(std::move(services)) {}

  // Leaves edit mode; refuses a second upload while one runs; finds TQSL ("TQSLpath" of
  // "Zelmor.ini", the registry, PATH) or says where to get it; asks for the station when none is
  // set; exports the log with its stations to "Zelmor-lotw-<yyMMdd-hhmm>.adi" in the log folder
  // (a log with nothing to send starts no TQSL); starts TQSL with the station's Station Location
  // and shows the report of an upload under way.
  void Upload();

  // TQSL has ended: a wrong or missing passphrase is asked for once and the upload run again with
  // it; otherwise the report tells how the upload went. A stale notice does nothing.
  void OnTqslEnded();

  bool Running() const { return s_.tqsl.Running(); }

 private:
  void Tell(int text_id, const std::wstring& value = std::wstring());
  bool Start(const Secret* passphrase);

  logfiles::FileCommandContext& c_;
  Services s_;
  // The upload under way (or the last one): what TQSL was given, and what went into the file.
  TqslJob job_;
  adif::ExportSummary sent_;
};

// The report: how the upload went (UploadMessage), or that it is under way when `outcome` is
// nothing; then the file, the count of contacts in it and of lines left out, and the stations.
std::wstring UploadReport(const std::optional<TqslOutcome>& outcome, const std::wstring& adif_path,
                          const adif::ExportSummary& sent);

}  // namespace zelmor::lotw

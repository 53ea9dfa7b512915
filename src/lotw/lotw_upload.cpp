#include "lotw/lotw_upload.h"

#include <utility>
#include <vector>

#include "adif/export_command.h"
#include "base/paths.h"
#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "settings/keys.h"

namespace zelmor::lotw {
namespace {

}  // namespace

std::wstring UploadReport(const std::optional<TqslOutcome>& outcome, const std::wstring& adif_path,
                          const adif::ExportSummary& sent) {
  std::vector<std::wstring> lines{outcome ? UploadMessage(*outcome) : LoadText(IDS_LOTW_RUNNING), std::wstring(),
                                  FillText(LoadText(IDS_LOTW_FILE), {adif_path}),
                                  FillText(LoadText(IDS_LOTW_COUNT), {std::to_wstring(sent.exported)})};
  if (!sent.skipped.empty()) {
    lines.push_back(FillText(LoadText(IDS_LOTW_NOT_IN_FILE), {std::to_wstring(sent.skipped.size())}));
  }
  for (std::wstring& line : adif::StationSummary(sent)) lines.push_back(std::move(line));
  if (sent.with_current_station) {
    lines.push_back(FillText(LoadText(IDS_EXPORT_CURRENT_STATION), {std::to_wstring(sent.with_current_station)}));
  }
  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
  return text;
}

void LotwUpload::Tell(int text_id, const std::wstring& value) {
  c_.messages.Show(FillText(LoadText(text_id), {value}), std::nullopt, MessageButtons::Ok, MessageIcon::None);
}

void LotwUpload::Upload() {
  logfiles::LeaveEditModeIfOn(c_);
  if (s_.tqsl.Running()) return Tell(IDS_LOTW_BUSY);

  // TQSL first: its Station Location is what the station asks for.
  const std::optional<std::wstring> tqsl =
      FindTqsl(c_.profile.ProfileRead(settings::kMainSection, settings::kTqslPathKey), s_.places);
  if (!tqsl) return Tell(IDS_LOTW_TQSL_MISSING);

  if (!s_.station.Get()) {
    const MessageAnswer set = c_.messages.Show(LoadText(IDS_LOTW_NO_STATION), std::nullopt, MessageButtons::YesNo,
                                               MessageIcon::Question);
    if (set != MessageAnswer::Yes || !s_.station_command.Ask()) return;
  }
  const station::Station station = *s_.station.Get();

  const adif::ExportResult result = adif::ExportPane(c_, s_.zone, s_.program_version, station);
  if (result.summary.exported == 0) return Tell(IDS_LOTW_NOTHING_TO_SEND);

  const LocalTime now = c_.clock.Now();
  const std::wstring path =
      base::JoinPath(logfiles::LogFolder(c_), UploadFileName(now.year, now.month, now.day, now.hour, now.minute));
  c_.files.RemoveLeftovers(path);
  if (!c_.files.ReplaceEncoded(path, result.adif)) return Tell(IDS_LOTW_WRITE_FAILED, path);

  job_ = TqslJob{*tqsl, station.station_location, path};
  sent_ = result.summary;
  Start(nullptr);
}

bool LotwUpload::Start(const Secret* passphrase) {
  switch (s_.tqsl.Begin(job_, passphrase)) {
    case TqslProcess::Start::Started:
      s_.views.ShowReport(UploadReport(std::nullopt, job_.adif_path, sent_));
      return true;
    case TqslProcess::Start::Busy:
      Tell(IDS_LOTW_BUSY);
      return false;
    case TqslProcess::Start::Failed:
      Tell(IDS_LOTW_START_FAILED, s_.tqsl.FailureText());
      return false;
  }
  return false;
}

void LotwUpload::OnTqslEnded() {
  const std::optional<TqslOutcome> outcome = s_.tqsl.Finish();
  if (!outcome) return;
  if (WantsPassphrase(*outcome)) {
    if (const std::optional<Secret> passphrase = s_.views.AskPassphrase()) {
      if (Start(&*passphrase)) return;
    }
  }
  s_.views.ShowReport(UploadReport(outcome, job_.adif_path, sent_));
}

}  // namespace zelmor::lotw

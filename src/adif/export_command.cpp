#include "adif/export_command.h"

#include <optional>
#include <utility>
#include <vector>

#include "contact/satellite_names.h"
#include "base/resource.h"
#include "base/texts.h"
#include "settings/keys.h"

namespace zelmor::adif {
namespace {

// Enough of the lines that were not exported (and of the names LoTW does not know) to find them
// in the log, in a box that still fits on the screen.
constexpr size_t kListedLines = 10;
// A message box is as wide as its longest line; a listed line is cut here.
constexpr size_t kListedLineChars = 60;

// The text `id` with "%1" and "%2" filled in.
std::wstring Fill(int id, const std::wstring& first, const std::wstring& second = std::wstring()) {
  const std::wstring text = LoadText(id);
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 1 < text.size() && (text[i + 1] == L'1' || text[i + 1] == L'2')) {
      out += text[++i] == L'1' ? first : second;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::wstring Count(size_t n) { return std::to_wstring(n); }

std::wstring Listed(const std::wstring& line) {
  if (line.size() <= kListedLineChars) return line;
  return line.substr(0, kListedLineChars) + L"\u2026";
}

// ADIF's header is ASCII; the version is made of digits and letters anyway.
std::string Ascii(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c > 0 && c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

ExportCommand::ExportCommand(logfiles::FileCommandContext& context, const TimeZoneRules& zone,
                             std::wstring program_version, const station::CurrentStation& station)
    : c_(context), zone_(zone), program_version_(std::move(program_version)), station_(station) {}

ExportResult ExportPane(logfiles::FileCommandContext& c, const TimeZoneRules& zone,
                        const std::wstring& program_version, const std::optional<station::Station>& station) {
  const contact::SatelliteNames names(c.profile.ProfileEntries(settings::kSatNamesSection));
  const entry::LocaleFormats locale = c.locale.Formats();
  const LocalTime now = c.clock.Now();
  const CivilTime local_now{now.year, now.month, now.day, now.hour, now.minute, now.second};
  ExportSettings settings;
  settings.template_text = c.state.template_text;
  settings.formats = {locale.short_date, locale.time_separator, locale.decimal_mark};
  settings.zone = &zone;
  settings.names = &names;
  // A clock reading the rules cannot convert (a clock set into the hour that summer time skips)
  // stamps the file as it reads; the records do not depend on it.
  settings.now_utc = zone.ToUtc(local_now).value_or(local_now);
  settings.now = now;
  settings.program_version = Ascii(program_version);
  settings.station = station;
  return ExportLog(c.pane.Text(), settings);
}

void ExportCommand::Export() {
  logfiles::LeaveEditModeIfOn(c_);

  logfiles::FileDialogState& dialog = c_.dialog_state;
  dialog.initial_dir = logfiles::LogFolder(c_);
  dialog.filter = LoadText(IDS_ADIF_FILTER);
  dialog.title = LoadText(IDS_ADIF_TITLE);
  const LocalTime today = c_.clock.Now();
  dialog.file_name = ProposedFileName(today.year, today.month, today.day);
  if (!c_.dialogs.ShowSave(dialog, logfiles::ExistingFile::AskFirst)) return;
  const std::wstring path = dialog.file_name;
  const ExportResult result = ExportPane(c_, zone_, program_version_, station_.Get());

  if (!path.empty()) c_.files.RemoveLeftovers(path);
  // ADIF is ASCII: its bytes go to the file as they are.
  if (path.empty() || !c_.files.ReplaceEncoded(path, result.adif)) {
    c_.messages.Show(LoadText(IDS_ADIF_SAVE_FAILED), std::nullopt, MessageButtons::Ok, MessageIcon::None);
    return;
  }
  c_.messages.Show(SummaryText(result.summary), std::nullopt, MessageButtons::Ok, MessageIcon::None);
}

std::vector<std::wstring> StationSummary(const ExportSummary& s) {
  if (s.stations.empty()) return {LoadText(IDS_EXPORT_NO_STATION)};
  if (s.stations.size() == 1) return {Fill(IDS_EXPORT_STATION, station::Describe(s.stations[0]))};
  std::vector<std::wstring> lines{Fill(IDS_EXPORT_STATIONS, Count(s.stations.size()))};
  for (size_t i = 0; i < s.stations.size() && i < kListedLines; ++i) {
    lines.push_back(Fill(IDS_EXPORT_STATION_ITEM, station::Describe(s.stations[i])));
  }
  if (s.stations.size() > kListedLines) lines.push_back(Fill(IDS_EXPORT_STATION_ITEM, L"\u2026"));
  return lines;
}

std::wstring SummaryText(const ExportSummary& s) {
  size_t unreadable = 0, no_call = 0, no_utc = 0;
  for (const SkippedLine& line : s.skipped) {
    if (line.reason == SkipReason::Unreadable) ++unreadable;
    if (line.reason == SkipReason::NoCallSign) ++no_call;
    if (line.reason == SkipReason::NoUtcTime) ++no_utc;
  }

  std::vector<std::wstring> lines{LoadText(IDS_ADIF_DONE), std::wstring()};
  for (std::wstring& line : StationSummary(s)) lines.push_back(std::move(line));
  lines.push_back(Fill(IDS_ADIF_EXPORTED, Count(s.exported)));
  if (s.with_current_station) lines.push_back(Fill(IDS_EXPORT_CURRENT_STATION, Count(s.with_current_station)));
  lines.push_back(Fill(IDS_ADIF_WITHOUT_SATELLITE, Count(s.without_satellite_data)));
  lines.push_back(Fill(IDS_ADIF_UNKNOWN_SATELLITE, Count(s.unknown_satellite_names)));
  if (!s.unknown_names.empty()) {
    std::wstring names;
    for (size_t i = 0; i < s.unknown_names.size() && i < kListedLines; ++i) {
      if (i) names += L", ";
      names += s.unknown_names[i].empty() ? LoadText(IDS_ADIF_NO_NAME) : Listed(s.unknown_names[i]);
    }
    if (s.unknown_names.size() > kListedLines) names += L", \u2026";
    lines.push_back(Fill(IDS_ADIF_NAMES, names));
    lines.push_back(LoadText(IDS_ADIF_NAMES_HINT));
  }
  // The rarer notes only when they happened.
  if (s.unknown_modes) lines.push_back(Fill(IDS_ADIF_UNKNOWN_MODE, Count(s.unknown_modes)));
  if (s.text_replaced) lines.push_back(Fill(IDS_ADIF_TEXT_REPLACED, Count(s.text_replaced)));
  lines.push_back(Fill(IDS_ADIF_UNREADABLE, Count(unreadable)));
  if (no_call) lines.push_back(Fill(IDS_ADIF_NO_CALL, Count(no_call)));
  if (no_utc) lines.push_back(Fill(IDS_ADIF_NO_UTC, Count(no_utc)));

  if (!s.skipped.empty()) {
    lines.push_back(std::wstring());
    lines.push_back(LoadText(IDS_ADIF_NOT_EXPORTED));
    for (size_t i = 0; i < s.skipped.size() && i < kListedLines; ++i) {
      lines.push_back(Fill(IDS_ADIF_LINE, Count(s.skipped[i].line_number), Listed(s.skipped[i].text)));
    }
    if (s.skipped.size() > kListedLines) lines.push_back(Fill(IDS_ADIF_MORE, Count(s.skipped.size() - kListedLines)));
  }

  std::wstring text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? L"\r\n" : L"") + lines[i];
  return text;
}

}  // namespace zelmor::adif

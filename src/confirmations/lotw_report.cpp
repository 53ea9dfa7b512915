#include "confirmations/lotw_report.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "base/calendar.h"
#include "base/text.h"
#include "confirmations/adif_reader.h"
#include "entry/log_format.h"

namespace zelmor::confirmations {

namespace {

constexpr char kLastQsl[] = "APP_LOTW_LASTQSL";
constexpr char kEndOfReport[] = "APP_LOTW_EOF";

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return IsAsciiDigit(c); });
}

int Number(std::string_view digits) {
  int n = 0;
  for (char c : digits) n = n * 10 + (c - '0');
  return n;
}

bool Contains(std::string_view text, std::string_view caseless_lower) {
  if (caseless_lower.size() > text.size()) return false;
  for (size_t at = 0; at + caseless_lower.size() <= text.size(); ++at) {
    size_t k = 0;
    while (k < caseless_lower.size() && AsciiLower(text[at + k]) == caseless_lower[k]) ++k;
    if (k == caseless_lower.size()) return true;
  }
  return false;
}

bool IsSatelliteRecord(AdifRecordView record) {
  return AsciiUpper(std::string(TrimBlanks(record.Value("PROP_MODE")))) == "SAT";
}

// QSO_DATE YYYYMMDD and TIME_ON HHMM or HHMMSS, as minutes; nothing for any other shape or a
// date no calendar has.
std::optional<int64_t> UtcMinute(std::string_view date, std::string_view time) {
  date = TrimBlanks(date);
  time = TrimBlanks(time);
  if (date.size() != 8 || !AllDigits(date) || (time.size() != 4 && time.size() != 6) || !AllDigits(time)) {
    return std::nullopt;
  }
  const CalendarDate day{Number(date.substr(0, 4)), Number(date.substr(4, 2)), Number(date.substr(6, 2))};
  const int hour = Number(time.substr(0, 2)), minute = Number(time.substr(2, 2));
  const int second = time.size() == 6 ? Number(time.substr(4, 2)) : 0;
  if (!IsCalendarDate(day) || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  return MinuteNumber(day.year, day.month, day.day, hour, minute);
}

// GRIDSQUARE's square and each square of VUCC_GRIDS, once each, in upper case.
std::vector<std::wstring> Grids(AdifRecordView record) {
  std::vector<std::wstring> grids;
  const auto add = [&grids](std::string_view locator) {
    locator = TrimBlanks(locator);
    const std::wstring wide = FromUtf8(locator);
    // A locator of 8 characters (with the extended square) has the same square as its first 6.
    const std::wstring checked = wide.size() == 8 ? wide.substr(0, 6) : wide;
    if (!entry::IsGridLocator(checked)) return;
    std::wstring square = AsciiUpper(checked.substr(0, 4));
    if (std::find(grids.begin(), grids.end(), square) == grids.end()) grids.push_back(std::move(square));
  };
  add(record.Value("GRIDSQUARE"));
  std::string_view line = record.Value("VUCC_GRIDS");
  while (!line.empty()) {
    const size_t comma = line.find(',');
    add(line.substr(0, comma));
    if (comma == std::string_view::npos) break;
    line.remove_prefix(comma + 1);
  }
  return grids;
}

std::wstring Wide(AdifRecordView record, std::string_view name) {
  return FromUtf8(TrimBlanks(record.Value(name)));
}

std::optional<Confirmation> ConfirmationOf(AdifRecordView record) {
  const auto minute = UtcMinute(record.Value("QSO_DATE"), record.Value("TIME_ON"));
  if (!minute) return std::nullopt;
  Confirmation c;
  c.call = AsciiUpper(Wide(record, "CALL"));
  c.satellite = Wide(record, "SAT_NAME");
  c.band = AsciiLower(Wide(record, "BAND"));
  c.utc_minute = *minute;
  c.grids = Grids(record);
  c.station_call = AsciiUpper(Wide(record, "STATION_CALLSIGN"));
  c.received = Wide(record, "QSLRDATE");
  return c;
}

// What makes a record the same contact: a re-confirmation differs in QSLRDATE and the details,
// never in these. TIME_ON of 4 digits is the same as with ":00" seconds.
std::string Identity(AdifRecordView record) {
  std::string time(TrimBlanks(record.Value("TIME_ON")));
  if (time.size() == 4) time += "00";
  std::string key;
  for (const char* name : {"CALL", "SAT_NAME", "BAND", "QSO_DATE", "STATION_CALLSIGN"}) {
    key += AsciiUpper(std::string(TrimBlanks(record.Value(name))));
    key += '\0';
  }
  return key + time;
}

std::string KeptHeader(std::string_view last_qsl) {
  std::string text = "Zelmor: satellite contacts confirmed on LoTW\r\n";
  text += FormatAdifField({"PROGRAMID", "", "Zelmor"}) + "\r\n";
  if (!last_qsl.empty()) text += FormatAdifField({kLastQsl, "", std::string(last_qsl)}) + "\r\n";
  return text + "<EOH>\r\n";
}

}  // namespace

ReportReading ReadReport(std::string_view body) {
  ReportReading reading;
  const AdifView adif = ViewAdif(body);
  const size_t count = adif.RecordCount();
  // A web page's tag may look like a field ("<12:30>" in a table); only a header or a record
  // makes the words some record's text instead of LoTW's refusal.
  if (!adif.has_header && count == 0 && Contains(body, "password incorrect")) {
    reading.fault = ReportFault::kWrongPassword;
    return reading;
  }
  if (!adif.has_header && !adif.any_length && count == 0) {
    reading.fault = ReportFault::kNotAdif;
    return reading;
  }
  bool ended = adif.Unclosed().Find(kEndOfReport) != nullptr;
  for (size_t i = 0; i < count && !ended; ++i) ended = adif.Record(i).Find(kEndOfReport) != nullptr;
  if (!ended || adif.cut_off) {
    reading.fault = ReportFault::kCutOff;
    return reading;
  }
  reading.records = count;
  reading.last_qsl = std::string(adif.Header().Value(kLastQsl));
  for (size_t i = 0; i < count; ++i) {
    const AdifRecordView record = adif.Record(i);
    if (!IsSatelliteRecord(record)) continue;
    auto confirmation = ConfirmationOf(record);
    if (!confirmation) {
      ++reading.undated;
      continue;
    }
    reading.satellite.push_back(std::move(*confirmation));
    reading.satellite_adif.push_back(FormatAdifRecord(record));
  }
  return reading;
}

KeptFile ReadKept(std::string_view text) {
  KeptFile kept;
  const AdifView adif = ViewAdif(text);
  kept.last_qsl = std::string(adif.Header().Value(kLastQsl));
  kept.confirmations.reserve(adif.RecordCount());
  for (size_t i = 0; i < adif.RecordCount(); ++i) {
    const AdifRecordView record = adif.Record(i);
    if (!IsSatelliteRecord(record)) continue;
    if (auto confirmation = ConfirmationOf(record)) kept.confirmations.push_back(std::move(*confirmation));
  }
  return kept;
}

Merged Merge(std::string_view kept_text, const ReportReading& report) {
  if (report.fault != ReportFault::kNone) return Merged{std::string(kept_text), 0};
  const AdifView kept = ViewAdif(kept_text);
  const std::string_view kept_last = kept.Header().Value(kLastQsl);
  Merged merged;
  merged.text = KeptHeader(report.last_qsl.empty() ? kept_last : report.last_qsl);
  std::unordered_set<std::string> known;
  for (size_t i = 0; i < kept.RecordCount(); ++i) {
    known.insert(Identity(kept.Record(i)));
    merged.text += FormatAdifRecord(kept.Record(i));
  }
  for (const std::string& record_text : report.satellite_adif) {
    const AdifView one = ViewAdif(record_text);
    if (one.RecordCount() == 0) continue;
    if (!known.insert(Identity(one.Record(0))).second) continue;
    merged.text += record_text;
    ++merged.added;
  }
  return merged;
}

}  // namespace zelmor::confirmations

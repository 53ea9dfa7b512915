#include "adif/adif_export.h"

#include <algorithm>
#include <cstdio>
#include <variant>

#include "adif/lotw_tables.h"
#include "contact/bands.h"
#include "base/text.h"
#include "entry/log_format.h"

namespace zelmor::adif {
namespace {

using contact::Contact;
using contact::WordKind;

bool SameText(const std::string& a, const char* b) { return AsciiUpper(a) == AsciiUpper(std::string(b)); }

// Printable ASCII as it is; each run of anything else as one "?".
std::string Ascii(const std::wstring& text, bool& replaced) {
  std::string out;
  bool in_run = false;
  for (wchar_t c : text) {
    if (c >= 0x20 && c <= 0x7E) {
      out += static_cast<char>(c);
      in_run = false;
    } else {
      if (!in_run) out += '?';
      in_run = true;
      replaced = true;
    }
  }
  return out;
}

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Digits(int value, int width) {
  char text[16];
  std::snprintf(text, sizeof text, "%0*d", width, value);
  return text;
}

// Kilohertz as megahertz with three decimals: 145965 -> "145.965".
std::string Megahertz(int64_t khz) {
  return std::to_string(khz / 1000) + "." + Digits(static_cast<int>(khz % 1000), 3);
}

std::string Locator(const std::wstring& grid) {
  bool unused = false;
  return Ascii(entry::LocatorCase(grid), unused);
}

}  // namespace

std::string SatelliteModeLetter(const std::string& band) {
  static const std::pair<const char*, const char*> kLetters[] = {
      {"15m", "T"}, {"12m", "H"}, {"10m", "A"}, {"2m", "V"},  {"70cm", "U"},
      {"23cm", "L"}, {"13cm", "S"}, {"6cm", "C"}, {"3cm", "X"}, {"1.25cm", "K"},
  };
  for (const auto& [name, letter] : kLetters) {
    if (band == name) return letter;
  }
  return std::string();
}

AdifMode MapMode(const std::wstring& logged, std::optional<int64_t> reference_hz) {
  bool replaced = false;
  const std::string text = AsciiUpper(Trim(Ascii(logged, replaced)));
  if (text.empty()) return {};
  if (text == "SSB" && !replaced) {
    if (!reference_hz) return {"SSB", ""};
    return {"SSB", *reference_hz >= 10000000 ? "USB" : "LSB"};
  }
  if (!replaced) {
    for (const ModeName& m : kModeNames) {
      if (SameText(text, m.text)) return {m.mode, m.submode};
    }
  }
  return {text, "", false};
}

std::string FormatField(const Field& field) {
  return "<" + field.name + ":" + std::to_string(field.data.size()) + ">" + field.data;
}

std::string Header(const std::string& program_version, const CivilTime& created) {
  const std::string timestamp = Digits(created.year, 4) + Digits(created.month, 2) + Digits(created.day, 2) + " " +
                                Digits(created.hour, 2) + Digits(created.minute, 2) + Digits(created.second, 2);
  // The first character is not "<": that tells a reader the file has a header.
  std::string header = "Zelmor log, ADIF export\r\n";
  for (const Field& f : {Field{"ADIF_VER", kAdifVersion}, Field{"PROGRAMID", "Zelmor"},
                         Field{"PROGRAMVERSION", program_version}, Field{"CREATED_TIMESTAMP", timestamp}}) {
    header += FormatField(f) + "\r\n";
  }
  return header + "<EOH>\r\n";
}

std::vector<Field> StationFields(const station::Station& station) {
  std::vector<Field> fields;
  bool unused = false;
  const auto add = [&](const char* name, const std::wstring& value) {
    if (!value.empty()) fields.push_back({name, Ascii(value, unused)});
  };
  add("STATION_CALLSIGN", station.call_sign);
  add(station.IsGridLine() ? "MY_VUCC_GRIDS" : "MY_GRIDSQUARE", station.GridText());
  add("MY_STATE", station.prefecture);
  add("MY_CNTY", station.city);
  if (!station.prefecture.empty()) fields.push_back({"MY_DXCC", kJapanDxcc});
  return fields;
}

RecordResult ContactRecord(const Contact& c, const station::Station* station, const TimeZoneRules& zone,
                           const contact::SatelliteNames& names) {
  RecordResult result;
  RecordNotes& notes = result.notes;
  const std::wstring call = c.words.Find(WordKind::Call);
  if (call.empty()) {
    result.skipped = SkipReason::NoCallSign;
    return result;
  }
  const auto utc = zone.ToUtc(CivilTime{c.date.year, c.date.month, c.date.day, c.hour, c.minute, 0});
  if (!utc) {
    result.skipped = SkipReason::NoUtcTime;
    return result;
  }
  auto& fields = result.fields;
  auto add = [&](const char* name, const std::string& data) {
    if (!data.empty()) fields.push_back({name, data});
  };
  auto ascii = [&](const std::wstring& text) { return Ascii(text, notes.text_replaced); };

  add("CALL", AsciiUpper(ascii(call)));
  add("QSO_DATE", Digits(utc->year, 4) + Digits(utc->month, 2) + Digits(utc->day, 2));
  add("TIME_ON", Digits(utc->hour, 2) + Digits(utc->minute, 2));

  std::optional<int64_t> up_hz, down_hz;
  if (c.uplink && c.uplink->kilohertz > 0) up_hz = c.uplink->kilohertz * 1000;
  if (c.downlink && c.downlink->kilohertz > 0) down_hz = c.downlink->kilohertz * 1000;
  const contact::ContactBands bands = contact::BandsOf(c);
  const std::string& band = bands.uplink;
  const std::string& band_rx = bands.downlink;
  add("BAND", band);
  add("BAND_RX", band_rx);
  if (up_hz) add("FREQ", Megahertz(c.uplink->kilohertz));
  if (down_hz) add("FREQ_RX", Megahertz(c.downlink->kilohertz));

  if (c.mode) {
    std::optional<int64_t> reference = up_hz ? up_hz : down_hz;
    if (!reference && !band.empty()) {
      for (const contact::Band& b : contact::kBands) {
        if (band == b.name) reference = b.lower_hz;
      }
    }
    const AdifMode mode = MapMode(*c.mode, reference);
    bool replaced = false;
    Ascii(*c.mode, replaced);
    notes.text_replaced = notes.text_replaced || replaced;
    notes.unknown_mode = !mode.known;
    add("MODE", mode.mode);
    add("SUBMODE", mode.submode);
  }
  add("RST_SENT", AsciiUpper(ascii(c.words.Find(WordKind::ReportSent))));
  add("RST_RCVD", AsciiUpper(ascii(c.words.Find(WordKind::ReportReceived))));

  if (c.HasSatelliteData()) {
    const contact::SatelliteName sat = c.satellite_name ? names.Lookup(*c.satellite_name) : contact::SatelliteName{};
    notes.unknown_satellite = !sat.known;
    // LoTW refuses PROP_MODE SAT without a satellite, so a line without a name gets neither.
    if (!sat.name.empty()) {
      add("PROP_MODE", "SAT");
      add("SAT_NAME", ascii(sat.name));
    }
    const std::string up_letter = SatelliteModeLetter(band), down_letter = SatelliteModeLetter(band_rx);
    if (!up_letter.empty() && !down_letter.empty()) add("SAT_MODE", up_letter + "/" + down_letter);
  }
  add("GRIDSQUARE", Locator(c.words.Find(WordKind::Grid)));
  if (station) {
    for (Field& f : StationFields(*station)) fields.push_back(std::move(f));
  }
  add("COMMENT", ascii(c.words.Remarks(false)));
  return result;
}

ExportResult ExportLog(const std::wstring& pane_text, const ExportSettings& settings) {
  ExportResult result;
  ExportSummary& summary = result.summary;
  std::string records;
  const auto lines = entry::SplitAtEveryLineEnd(pane_text);
  // The station the log states for the lines that follow.
  std::optional<station::Station> logged_station;
  contact::ContactReader reader(settings.template_text, settings.formats, settings.now);
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::wstring& line = lines[i];
    if (line.find_first_not_of(L' ') == std::wstring::npos) continue;
    if (auto stated = station::StationOfLine(line)) {
      if (auto* s = std::get_if<station::Station>(&*stated)) logged_station = std::move(*s);
      else summary.skipped.push_back({i + 1, line, SkipReason::Unreadable});
      continue;
    }
    const auto contact = reader.Read(line);
    if (!contact) {
      summary.skipped.push_back({i + 1, line, SkipReason::Unreadable});
      continue;
    }
    const station::Station* station =
        logged_station ? &*logged_station : settings.station ? &*settings.station : nullptr;
    const RecordResult record = ContactRecord(*contact, station, *settings.zone, *settings.names);
    if (record.skipped) {
      summary.skipped.push_back({i + 1, line, *record.skipped});
      continue;
    }
    for (size_t f = 0; f < record.fields.size(); ++f) {
      if (f != 0) records += ' ';
      records += FormatField(record.fields[f]);
    }
    records += " <EOR>\r\n";
    ++summary.exported;
    if (!contact->HasSatelliteData()) ++summary.without_satellite_data;
    if (record.notes.unknown_satellite) {
      ++summary.unknown_satellite_names;
      const std::wstring name = contact->satellite_name.value_or(L"");
      if (std::find(summary.unknown_names.begin(), summary.unknown_names.end(), name) == summary.unknown_names.end()) {
        summary.unknown_names.push_back(name);
      }
    }
    if (record.notes.unknown_mode) ++summary.unknown_modes;
    if (record.notes.text_replaced) ++summary.text_replaced;
    if (station) {
      if (!logged_station) ++summary.with_current_station;
      if (std::find(summary.stations.begin(), summary.stations.end(), *station) == summary.stations.end()) {
        summary.stations.push_back(*station);
      }
    }
  }
  result.adif = Header(settings.program_version, settings.now_utc) + "\r\n" + records;
  return result;
}

std::wstring ProposedFileName(int year, int month, int day) {
  const std::string digits = Digits(year % 100, 2) + Digits(month, 2) + Digits(day, 2);
  return L"Zelmor" + std::wstring(digits.begin(), digits.end()) + L".adi";
}

}  // namespace zelmor::adif

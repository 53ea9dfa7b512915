// Reading log lines back: ReadLogLine and ReadWithTemplate with any line, any template, any
// locale formats and any clock reading, then the whole-line plan and the ADIF record of what was
// read; and ReadStationLine, whose station is read back the same once written again and is never
// a contact, and which the export reads with the dialog's rules: a station the dialog would give,
// or a broken line that the contacts after it pass over. (round_trip_fuzz.cpp holds the writer and
// the reader to each other.)
//
// Fields: line, template, short-date picture, time separator, decimal mark; then, for the
// composed-line check, memo, satellite name, receive frequency, transmit frequency, Rev, mode,
// date and time ("2024 3 5 21 5"), and a byte choosing its template and locale ('0'..'8'); a
// byte 'L' that repeats the line until it holds 64 KiB; last, the clock's reading for the reader
// ("2024 3 6 12 0"). Missing fields take the default template, Japanese formats and the worked
// example's values.
//
// Lines of a mebibyte (the longest a composition writes) are read once at start-up, outside the
// fuzzing loop: at a second each under the sanitizers they would slow every run that mutates a
// long input, while a reading that does not stay linear already shows at 64 KiB.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "adif/adif_export.h"
#include "base/clock.h"
#include "contact/contact.h"
#include "entry/line_reader.h"
#include "entry/log_format.h"
#include "entry/log_line.h"
#include "fuzz_input.h"
#include "station/station.h"
#include "transfer/whole_line.h"

namespace zelmor::fuzz {
namespace {

using contact::Contact;
using contact::LineFormats;

const LocalTime kReadAt{2024, 3, 6, 12, 0, 0};

const FixedOffsetZone kJapan(540);

bool IsWordBreak(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }

// What any reading must hold, whatever the line.
void CheckContact(const Contact& c, const std::wstring& line) {
  const CalendarDate& d = c.date;
  FUZZ_CHECK(IsCalendarDate(d) && d.year <= 9999,
             "no calendar date: " + std::to_string(d.year) + "-" + std::to_string(d.month) + "-" +
                 std::to_string(d.day));
  FUZZ_CHECK(c.hour >= 0 && c.hour <= 23 && c.minute >= 0 && c.minute <= 59,
             "no clock time: " + std::to_string(c.hour) + ":" + std::to_string(c.minute));
  FUZZ_CHECK(c.zone.empty() || (c.zone.size() == 1 && c.zone[0] >= L'A' && c.zone[0] <= L'Z'), "zone " + Show(c.zone));
  if (c.shape == contact::LineShape::Fallback) FUZZ_CHECK(!c.HasSatelliteData(), "fallback line with satellite data");
  for (const auto& w : c.words.words) {
    FUZZ_CHECK(!w.text.empty(), "empty memo word");
    for (wchar_t ch : w.text) FUZZ_CHECK(!IsWordBreak(ch), "memo word with a break: " + Show(w.text));
  }
  // Values are pieces of the line (checked where that is cheap to find out).
  if (line.size() <= 4096) {
    for (const auto* value : {&c.memo, &c.satellite_name, &c.rev, &c.mode}) {
      if (*value) FUZZ_CHECK(line.find(**value) != std::wstring::npos, "value not in the line: " + Show(**value));
    }
  }
  for (const auto* f : {&c.uplink, &c.downlink}) {
    if (*f && (*f)->kilohertz < 0) FUZZ_CHECK((*f)->text[0] == L'-', "frequency sign " + Show((*f)->text));
  }

  for (const auto& field : transfer::PlanWholeLine(c, transfer::DefaultFieldMapping())) {
    FUZZ_CHECK(!field.text.empty() && field.text.front() != L' ' && field.text.back() != L' ',
               "field " + std::to_string(field.code) + " " + Show(field.text));
  }

  const contact::SatelliteNames names;
  const adif::RecordResult record = adif::ContactRecord(c, nullptr, kJapan, names);
  for (const auto& f : record.fields) {
    FUZZ_CHECK(!f.data.empty(), "empty ADIF field " + f.name);
    for (char ch : f.data) FUZZ_CHECK(ch >= 0x20 && ch <= 0x7E, "ADIF field " + f.name + " is not ASCII");
  }
}

// A line the composition writes, with realistic templates and formats and any values, reads back
// with the date and time it was written with.
void CheckComposedLine(const Input& in) {
  static const wchar_t* const kTemplates[] = {entry::kDefaultTemplate, L"#DT #TMJ #MM #SN #MD",
                                              L"#DT #TM #MM|#SN|#RV|#LF|#TX|#RX|#MD"};
  static const LineFormats kFormats[] = {{L"yyyy/MM/dd", L":", L"."}, {L"yyyy/M/d", L":", L"."},
                                         {L"dd.MM.yyyy", L":", L","}};
  const unsigned char choice = in.Byte(12, '0');
  if (choice < '0' || choice > '8') return;
  const std::wstring template_text = kTemplates[(choice - '0') % 3];
  const LineFormats& formats = kFormats[(choice - '0') / 3];

  const entry::FeedSnapshot feed{in.Text(6, L"SAT-1"), in.Text(7, L"435.850.000"), in.Text(8, L"145.950.000"),
                                 in.Text(9, L" 12345"), in.Text(10, L"USB")};
  const std::wstring memo = in.Text(5, L" CQ 599 ");
  LocalTime now = TimeFrom(in.Text(11), LocalTime{2024, 3, 5, 21, 5, 37});
  // Dates a calendar holds, in this century (two-digit years are read so).
  if (now.year < 2000 || now.year > 2099 || now.month < 1 || now.month > 12 || now.day < 1 ||
      now.day > DaysInMonth(now.year, now.month) || now.hour < 0 || now.hour > 23 || now.minute < 0 ||
      now.minute > 59) {
    return;
  }
  const entry::LocaleFormats locale{formats.short_date, formats.time_separator, formats.decimal_mark};
  const auto line = entry::LogLine(template_text, feed, memo, now, locale);
  if (!line) return;
  // Lines are split at line ends before they are read; a value holding one makes two lines.
  if (line->find_first_of(L"\r\n") != std::wstring::npos) return;
  // The reader takes frequencies of at most 15 integer digits (a float's can have 33).
  const auto tx = entry::ParseFrequencySingle(feed.transmit_frequency, locale.decimal_mark);
  const auto rx = entry::ParseFrequencySingle(feed.receive_frequency, locale.decimal_mark);
  if (!tx || !rx || *tx > 1e20f || *rx > 1e20f || *tx < -1e20f || *rx < -1e20f) return;

  const auto c = contact::ReadContact(*line, template_text, formats, now);
  FUZZ_CHECK(c.has_value(), "composed line unreadable: " + Show(line->substr(0, 400)));
  CheckContact(*c, *line);
  FUZZ_CHECK(c->date.year == now.year && c->date.month == now.month && c->date.day == now.day && c->hour == now.hour &&
                 c->minute == now.minute,
             "date or time changed in " + Show(line->substr(0, 400)));
}

std::wstring Repeated(const std::wstring& piece, size_t length) {
  std::wstring line = piece;
  while (!piece.empty() && line.size() < length) line += piece;
  return line;
}

// Whether TQSL's lists and grid geometry take the station's MY_ fields.
bool TqslTakes(const station::Station& s) {
  const station::CityGunKu* city = s.city.empty() ? nullptr : station::FindCityGunKu(s.city);
  const bool grids = s.IsGridLine() ? station::IsGridLine(s.grids)
                                    : s.grids.size() == 1 && station::CanonicalGrid(s.grids[0]) == s.grids[0];
  return grids && (s.prefecture.empty() || station::FindPrefecture(s.prefecture)) &&
         (s.city.empty() || (city && std::wstring(city->prefecture, city->prefecture + std::strlen(city->prefecture)) ==
                                              s.prefecture));
}

// A station line read with the dialog's rules, in a log between two contacts under another
// station: a station the dialog gives back as it is, or a broken line that the export counts as
// unreadable while the contact after it keeps the station before it.
void CheckStationLine(const std::wstring& line) {
  const auto stated = station::StationOfLine(line);
  FUZZ_CHECK(stated.has_value(), "a station line that the dialog's rules do not take for one: " + Show(line));
  const station::Station* read = std::get_if<station::Station>(&*stated);
  if (read) {
    const auto again = station::ReadStation(station::ToText(*read));
    FUZZ_CHECK(std::holds_alternative<station::Station>(again) && std::get<station::Station>(again) == *read,
               "a station line's station is not one the dialog gives: " + Show(line));
  }
  // A log's line ends there: the line would be more than one.
  if (line.find_first_of(L"\r\n") != std::wstring::npos) return;
  const station::Station before{L"JA1ZZZ", {L"PM95"}, L"10", L"", L"Home"};
  const std::wstring contact = L"2024/03/05 21:05J JA1ABC 59 59";
  adif::ExportSettings settings;
  settings.template_text = entry::kDefaultTemplate;
  settings.zone = &kJapan;
  const contact::SatelliteNames names;
  settings.names = &names;
  settings.now = kReadAt;
  const adif::ExportResult result = adif::ExportLog(
      entry::FormatStationLine(station::ToLine(before)) + L"\r\n" + contact + L"\r\n" + line + L"\r\n" + contact,
      settings);
  const adif::ExportSummary& s = result.summary;
  FUZZ_CHECK(s.exported == 2 && s.with_current_station == 0, "contacts lost around " + Show(line));
  std::vector<station::Station> stations{before};
  if (read && *read != before) stations.push_back(*read);
  FUZZ_CHECK(s.stations == stations, "stations differ around " + Show(line));
  FUZZ_CHECK(read ? s.skipped.empty()
                  : s.skipped.size() == 1 && s.skipped[0].line_number == 3 &&
                        s.skipped[0].reason == adif::SkipReason::Unreadable,
             "a broken station line not counted as unreadable, or a good one counted: " + Show(line));
  for (const auto& station : s.stations) {
    FUZZ_CHECK(TqslTakes(station), "MY_ fields TQSL refuses from " + Show(line));
  }
}

bool SameValues(const std::optional<entry::LineValues>& a, const std::optional<entry::LineValues>& b) {
  if (!a || !b) return a.has_value() == b.has_value();
  const auto same_frequency = [](const std::optional<entry::Frequency>& x, const std::optional<entry::Frequency>& y) {
    return x.has_value() == y.has_value() && (!x || (x->text == y->text && x->kilohertz == y->kilohertz));
  };
  const auto& lf = a->log_frequency;
  const auto& lg = b->log_frequency;
  return a->shape == b->shape && a->date == b->date && a->hour == b->hour && a->minute == b->minute &&
         a->zone == b->zone && a->memo == b->memo && a->satellite_name == b->satellite_name && a->rev == b->rev &&
         a->mode == b->mode && same_frequency(a->uplink, b->uplink) && same_frequency(a->downlink, b->downlink) &&
         lf.has_value() == lg.has_value() &&
         (!lf || (lf->text == lg->text && lf->uplink_mhz == lg->uplink_mhz && lf->downlink_mhz == lg->downlink_mhz));
}

void CheckLine(const std::wstring& line, const std::wstring& template_text, const LineFormats& formats,
               const LocalTime& now = kReadAt) {
  // A reader that read other lines before (a log file's) reads this one as a fresh one does:
  // nothing of a line stays behind in its working memory.
  entry::LogLineReader reused(template_text, formats, now);
  reused.Read(L"2024/03/05 21:05J CQ 599 %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850 and more");
  reused.Read(line + line);
  FUZZ_CHECK(SameValues(reused.Read(line), entry::ReadLogLine(line, template_text, formats, now)),
             "a reader that read other lines first reads differently: " + Show(line.substr(0, 400)));

  if (const auto station = entry::ReadStationLine(line)) {
    FUZZ_CHECK(entry::ReadStationLine(entry::FormatStationLine(*station)) == station,
               "station line read, written and read again differs: " + Show(line));
    FUZZ_CHECK(!contact::ReadContact(line, template_text, formats, now), "a station line read as a contact: " + Show(line));
    CheckStationLine(line);
  } else {
    FUZZ_CHECK(!station::StationOfLine(line), "the dialog's rules take for a station line what is none: " + Show(line));
  }
  if (const auto c = contact::ReadContact(line, template_text, formats, now)) CheckContact(*c, line);
  if (const auto v = entry::ReadWithTemplate(line, template_text, formats, now)) {
    Contact c;
    static_cast<entry::LineValues&>(c) = *v;
    if (c.memo) c.words = contact::ClassifyMemo(*c.memo);
    CheckContact(c, line);
  }
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  using namespace zelmor;
  const std::wstring default_template = entry::kDefaultTemplate;
  const contact::LineFormats japanese;
  constexpr size_t kMebibyte = 1u << 20;
  // A composed line repeated, a memo full of the literal after it, a run of digits.
  fuzz::CheckLine(fuzz::Repeated(L"2024/03/05 21:05J CQ 599 %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850",
                                 kMebibyte),
                  default_template, japanese);
  fuzz::CheckLine(L"2024/03/05 21:05J " + fuzz::Repeated(L" %Sat=x/Rev:", kMebibyte) + L" %Sat=ISS/Rev:1% 1/2 FM",
                  default_template, japanese);
  fuzz::CheckLine(std::wstring(kMebibyte, L'1'), L"#DT#MM#LF#TX", contact::LineFormats{L"yMd", L"", L""});
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor;
  const fuzz::Input in(data, size);
  std::wstring line = in.Text(0, L"2024/03/05 21:05J CQ 599 %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850");
  if (in.Byte(13) == 'L') line = fuzz::Repeated(line, 1u << 16);
  const std::wstring template_text = in.Text(1, entry::kDefaultTemplate);
  const contact::LineFormats formats{in.Text(2, L"yyyy/MM/dd"), in.Text(3, L":"), in.Text(4, L".")};
  fuzz::CheckLine(line, template_text, formats, fuzz::TimeFrom(in.Text(14), fuzz::kReadAt));
  fuzz::CheckComposedLine(in);
  return 0;
}

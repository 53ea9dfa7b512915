// The worked-before index fed any log text through the one reader, with its sources replaced,
// grown line by line and removed in any order, then asked about any typed memo: no crash, and
// every count agrees with a plain model that keeps each source's lines and counts them afresh.
//
// Fields: log text A, log text B, the memo, the satellite the tracking program reports (empty:
// none), now ("2026 12 1 10 30"), the operations (one byte each: 'a'/'b' replace source 1/2 with
// A/B, 's' the same as 'a' merged a contact at a time, 'h' B staged for source 2 and dropped
// half-way, 'p' append A's lines to the pane one by one as Enters do, 'P' replace the pane with B,
// '1', '2', '0' remove source 1, 2, the pane; 'c' LoTW's confirmations made from the contacts
// held now, some of them a little off in time; others do nothing), the dupe window's minutes (a
// byte). What the confirmations confirm, contacts and squares, is counted afresh by the model too.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "base/text.h"
#include "base/time_zone.h"
#include "contact/bands.h"
#include "entry/log_format.h"
#include "fuzz_input.h"
#include "settings/keys.h"
#include "station/station.h"
#include "worked/worked_hint.h"
#include "worked/worked_index.h"
#include "worked/worked_summary.h"

namespace zelmor::fuzz {
namespace {

using namespace contact;
using namespace worked;

const LineReading kReading{entry::kDefaultTemplate, LineFormats{L"yyyy/MM/dd", L":", L"."}};
// The index's own satellite names: LoTW's list alone.
const SatelliteNames kSatellites;
const FixedOffsetZone kJapan(540);

struct ModelContact {
  std::wstring call, satellite;  // the call upper-case; SatelliteNames::Key
  int64_t minute;
  int grid, band;
  std::wstring satellite_name;  // as logged, spaces around removed
  bool operator<(const ModelContact& o) const {
    return std::tie(call, satellite, minute, grid, band) < std::tie(o.call, o.satellite, o.minute, o.grid, o.band);
  }
};

// The contact's time in UTC, as Japan's clock logged it; none outside the calendar.
std::optional<int64_t> UtcOf(const ModelContact& c) {
  const CalendarDate date = DateOfDayNumber(c.minute >= 0 ? c.minute / 1440 : -((-c.minute + 1439) / 1440));
  const int64_t in_day = c.minute - DayNumber(date.year, date.month, date.day) * 1440;
  const auto utc = kJapan.ToUtc({date.year, date.month, date.day, static_cast<int>(in_day / 60),
                                 static_cast<int>(in_day % 60), 0});
  if (!utc) return std::nullopt;
  return c.minute - 540;
}

// The rule, told plainly: the same operator, satellite and band where both tell them, within 30
// minutes.
bool ModelConfirms(const confirmations::Confirmation& q, const ModelContact& c) {
  if (BaseCall(NormalizedCall(q.call)) != BaseCall(c.call)) return false;
  const auto utc = UtcOf(c);
  if (!utc || std::llabs(q.utc_minute - *utc) > 30) return false;
  const std::wstring satellite = kSatellites.Key(q.satellite);
  if (!satellite.empty() && !c.satellite.empty() && satellite != c.satellite) return false;
  const int band = BandNumber(std::string(q.band.begin(), q.band.end()));
  return band < 0 || c.band < 0 || band == c.band;
}

// Each source's lines, counted from scratch with the reader whenever asked.
struct Model {
  std::map<std::wstring, std::vector<std::wstring>> sources;
  std::vector<confirmations::Confirmation> confirmations;

  void Count(std::set<ModelContact>& contacts, size_t& unreadable, size_t& without_call) const {
    std::map<std::wstring, size_t> most_unreadable, most_without;
    ContactReader reader(kReading.template_text, kReading.formats, kReading.now);
    for (const auto& [name, lines] : sources) {
      std::map<std::wstring, size_t> here_unreadable, here_without;
      for (const auto& line : lines) {
        if (line.find_first_not_of(L' ') == std::wstring::npos) continue;
        // The operator's station is neither a contact nor an unreadable line; one the dialog
        // would refuse is a broken line.
        if (const auto stated = station::StationOfLine(line)) {
          if (std::holds_alternative<station::StationFault>(*stated)) ++here_unreadable[line];
          continue;
        }
        const auto c = reader.Read(line);
        if (!c) {
          ++here_unreadable[line];
          continue;
        }
        const std::wstring call = c->words.Find(WordKind::Call);
        if (call.empty()) {
          ++here_without[line];
          continue;
        }
        contacts.insert({NormalizedCall(call), c->satellite_name ? kSatellites.Key(*c->satellite_name) : L"",
                         CalendarMinute(c->date.year, c->date.month, c->date.day, c->hour, c->minute),
                         GridNumber(c->words.Find(WordKind::Grid)), BandNumber(BandsOf(*c).uplink),
                         c->satellite_name ? TrimSpaces(*c->satellite_name) : L""});
      }
      for (const auto& [line, n] : here_unreadable) most_unreadable[line] = std::max(most_unreadable[line], n);
      for (const auto& [line, n] : here_without) most_without[line] = std::max(most_without[line], n);
    }
    unreadable = without_call = 0;
    for (const auto& [line, n] : most_unreadable) unreadable += n;
    for (const auto& [line, n] : most_without) without_call += n;
  }
};

void Check(const WorkedIndex& index, const Model& model, const std::wstring& memo,
           const std::optional<std::wstring>& satellite, const LocalTime& now, int window) {
  std::set<ModelContact> contacts;
  size_t unreadable = 0, without_call = 0;
  model.Count(contacts, unreadable, without_call);
  FUZZ_CHECK(index.Contacts() == contacts.size(),
             "contacts " + std::to_string(index.Contacts()) + " != model " + std::to_string(contacts.size()));
  FUZZ_CHECK(index.UnreadableLines() == unreadable,
             "unreadable " + std::to_string(index.UnreadableLines()) + " != model " + std::to_string(unreadable));
  FUZZ_CHECK(index.LinesWithoutCall() == without_call,
             "without call " + std::to_string(index.LinesWithoutCall()) + " != model " + std::to_string(without_call));

  const MemoWords words = ClassifyMemo(memo);
  if (!words.words.empty() && words.words[0].kind == WordKind::Call) {
    const std::wstring asked = NormalizedCall(words.words[0].text);
    const std::wstring base = BaseCall(asked);
    const std::wstring asked_satellite = satellite ? kSatellites.Key(*satellite) : L"";
    const int64_t now_minute = CalendarMinute(now);
    size_t of_base = 0, on_satellite = 0;
    bool same_pass = false, form = false;
    for (const auto& c : contacts) {
      if (BaseCall(c.call) != base) continue;
      ++of_base;
      form = form || c.call == asked;
      const bool on = satellite && !asked_satellite.empty() && c.satellite == asked_satellite;
      if (on) ++on_satellite;
      if (window > 0 && (on || !satellite || c.satellite.empty()) && std::llabs(now_minute - c.minute) <= window) {
        same_pass = true;
      }
    }
    const CallLookup found = index.LookUpCall(words.words[0].text, satellite, now, window);
    FUZZ_CHECK(found.contacts == of_base, "contacts of " + Show(base) + ": " + std::to_string(found.contacts) +
                                              " != model " + std::to_string(of_base));
    FUZZ_CHECK(found.on_satellite == on_satellite, "on the satellite: " + std::to_string(found.on_satellite) +
                                                       " != model " + std::to_string(on_satellite));
    FUZZ_CHECK(found.same_pass.has_value() == same_pass, "same pass differs for " + Show(asked));
    FUZZ_CHECK(found.form_logged == form, "form logged differs for " + Show(asked));
    FUZZ_CHECK((found.contacts > 0) == found.last.has_value(), "a last contact without contacts");
  }

  const std::wstring grid_word = words.Find(WordKind::Grid);
  const int grid = GridNumber(grid_word);
  if (grid >= 0) {
    bool worked = false, here = false;
    for (const auto& c : contacts) {
      if (c.grid != grid) continue;
      worked = true;
      here = here || (satellite && !c.satellite.empty() && c.satellite == kSatellites.Key(*satellite));
    }
    const GridLookup found = index.LookUpGrid(grid_word, satellite);
    FUZZ_CHECK(found.worked == worked && found.worked_on_satellite == here, "grid " + Show(grid_word));
  }

  HintRequest request;
  request.memo = memo;
  request.satellite = satellite;
  request.now = now;
  request.dupe_window_minutes = window;
  const Hint hint = WorkedHint(index, request);
  FUZZ_CHECK(hint.lines.size() <= 3, "more than three hint lines");
  for (const auto& line : hint.lines) FUZZ_CHECK(!line.empty(), "an empty hint line");

  const WorkedSummary summary = Summarize(index);
  size_t per_satellite = 0;
  for (const auto& s : summary.satellites) {
    per_satellite += s.contacts;
    FUZZ_CHECK(s.calls <= s.contacts && s.grids <= s.contacts, "a satellite's calls or grids beyond its contacts");
    FUZZ_CHECK(s.grids <= summary.grids, "a satellite with more grids than all");
  }
  FUZZ_CHECK(per_satellite == summary.contacts && summary.contacts == contacts.size(), "summary total");

  size_t confirmed = 0;
  std::set<int> confirmed_grids;
  for (const auto& c : contacts) {
    bool any = false;
    for (const auto& q : model.confirmations) {
      if (!ModelConfirms(q, c)) continue;
      any = true;
      for (const auto& g : q.grids) confirmed_grids.insert(GridNumber(g));
    }
    if (any) ++confirmed;
  }
  FUZZ_CHECK(index.ConfirmedContacts() == confirmed && summary.confirmed_contacts == confirmed,
             "confirmed " + std::to_string(index.ConfirmedContacts()) + " != model " + std::to_string(confirmed));
  FUZZ_CHECK(summary.confirmed_grids == confirmed_grids.size(),
             "confirmed squares " + std::to_string(summary.confirmed_grids) + " != model " +
                 std::to_string(confirmed_grids.size()));
  if (grid >= 0) {
    FUZZ_CHECK(index.LookUpGrid(grid_word, satellite).confirmed == (confirmed_grids.count(grid) != 0),
               "square confirmed " + Show(grid_word));
  }
  FUZZ_CHECK(!SummaryText(summary).empty(), "empty summary");
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor;
  const fuzz::Input in(data, size);
  const std::wstring a = in.Text(0), b = in.Text(1);
  const std::wstring memo = in.Text(2, L"JA1ABC 59 59 PM95");
  const std::wstring satellite_text = in.Text(3);
  const std::optional<std::wstring> satellite =
      satellite_text.empty() ? std::nullopt : std::optional<std::wstring>(satellite_text);
  const LocalTime now = fuzz::TimeFrom(in.Text(4), LocalTime{2026, 12, 1, 10, 30, 0});
  // Times a calendar holds: the lookups take the clock's time.
  if (now.year < 1 || now.year > 9999 || now.month < 1 || now.month > 12 || now.day < 1 ||
      now.day > DaysInMonth(now.year, now.month) || now.hour < 0 || now.hour > 23 || now.minute < 0 ||
      now.minute > 59) {
    return 0;
  }
  const std::string_view ops = in.Has(5) ? in.Bytes(5) : std::string_view("abp");
  const int window = in.Byte(6, 30);
  if (ops.size() > 16) return 0;

  worked::WorkedIndex index({}, &fuzz::kJapan);
  fuzz::Model model;
  const std::wstring one = L"C:\\log\\1.TXT", two = L"C:\\log\\2.TXT", pane = worked::WorkedIndex::kPane;
  const auto lines_a = worked::IndexedLines(a), lines_b = worked::IndexedLines(b);
  for (char op : ops) {
    switch (op) {
      case 'a':
        index.Replace(one, worked::ReadSourceLines(lines_a, fuzz::kReading));
        model.sources[one] = lines_a;
        break;
      case 'b':
        index.Replace(two, worked::ReadSourceLines(lines_b, fuzz::kReading));
        model.sources[two] = lines_b;
        break;
      case 'p':
        for (const auto& line : lines_a) {
          index.Append(pane, worked::ReadSourceLines({line}, fuzz::kReading));
          model.sources[pane].push_back(line);
        }
        break;
      case 'P':
        index.Replace(pane, worked::ReadSourceLines(lines_b, fuzz::kReading));
        model.sources[pane] = lines_b;
        break;
      case 's': {  // as 'a', merged one contact at a time
        const auto read = worked::ReadSourceLines(lines_a, fuzz::kReading);
        for (size_t i = 0; i < read.records.size(); ++i) index.Stage(one, read, i, i + 1);
        index.Stage(one, read, read.records.size(), read.records.size());
        index.StageOddLines(one, read);
        index.Commit(one);
        model.sources[one] = lines_a;
        break;
      }
      case 'h': {  // B staged for source 2 and dropped half-way: nothing changes
        const auto read = worked::ReadSourceLines(lines_b, fuzz::kReading);
        index.Stage(two, read, 0, read.records.size() / 2);
        index.StageOddLines(two, read);
        index.Unstage(two);
        break;
      }
      case 'c': {
        std::set<fuzz::ModelContact> held;
        size_t unused = 0;
        model.Count(held, unused, unused);
        static const int kOff[] = {0, 30, -30, 31, -31, 7};
        model.confirmations.clear();
        for (const auto& c : held) {
          const auto utc = fuzz::UtcOf(c);
          if (!utc || model.confirmations.size() >= 40) continue;
          confirmations::Confirmation q;
          q.call = c.call;
          q.satellite = c.satellite_name;
          const std::string band = contact::BandName(c.band);
          q.band = std::wstring(band.begin(), band.end());
          q.utc_minute = *utc + kOff[model.confirmations.size() % 6];
          if (c.grid >= 0) q.grids = {worked::GridText(c.grid), worked::GridText((c.grid + 1) % (18 * 18 * 100))};
          model.confirmations.push_back(q);
        }
        index.SetConfirmations(model.confirmations);
        break;
      }
      case '1': index.Remove(one); model.sources.erase(one); break;
      case '2': index.Remove(two); model.sources.erase(two); break;
      case '0': index.Remove(pane); model.sources.erase(pane); break;
      default: break;
    }
    fuzz::Check(index, model, memo, satellite, now, window);
  }
  return 0;
}

#include "worked/worked_index.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace zelmor::worked {
namespace {

constexpr size_t kGridSquares = 18 * 18 * 100;

uint64_t GridSatelliteKey(uint32_t satellite, int grid) { return uint64_t{satellite} << 16 | static_cast<uint64_t>(grid); }

bool Later(const LoggedTime& a, const std::optional<LoggedTime>& b) { return !b || CalendarMinute(a) > CalendarMinute(*b); }

}  // namespace

size_t WorkedIndex::KeyHash::operator()(const Key& k) const {
  uint64_t h = (uint64_t{k.call} << 32 | k.satellite) * 0x9E3779B97F4A7C15ull;
  h ^= (static_cast<uint64_t>(k.minute) << 16 ^ static_cast<uint64_t>(k.grid + 1)) + 0x632BE59BD9B4E019ull +
       (h << 6) + (h >> 2);
  return static_cast<size_t>(h);
}

uint32_t WorkedIndex::Intern(const std::wstring& text) {
  const auto found = name_ids_.find(text);
  if (found != name_ids_.end()) return found->second;
  const auto id = static_cast<uint32_t>(names_.size());
  names_.push_back(text);
  name_ids_.emplace(names_.back(), id);
  satellite_of_spelling_.push_back(kNone);
  base_of_call_.push_back(kNone);
  return id;
}

uint32_t WorkedIndex::Find(const std::wstring& text) const {
  const auto found = name_ids_.find(text);
  return found == name_ids_.end() ? kNone : found->second;
}

void WorkedIndex::AddOdd(OddLines& lines, std::vector<OddLine>& kept, std::unordered_map<uint64_t, uint32_t>& seen,
                         const std::vector<uint64_t>& fingerprints) {
  for (uint64_t f : fingerprints) {
    const OddLine line{f, seen[f]++};
    ++lines[line];
    kept.push_back(line);
  }
}

void WorkedIndex::ReleaseOdd(OddLines& lines, const std::vector<OddLine>& kept) {
  for (const OddLine& line : kept) {
    auto it = lines.find(line);
    if (it != lines.end() && --it->second == 0) lines.erase(it);
  }
}

void WorkedIndex::Add(Source& source, const SourceReading& reading, size_t begin, size_t end, bool odd_lines) {
  if (grid_contacts_.empty()) grid_contacts_.assign(kGridSquares, 0);
  // The reading's names as this index numbers them, each looked up once.
  std::vector<uint32_t> ids(reading.names.size(), kNone);
  auto id_of = [&](uint32_t n) {
    if (ids[n] == kNone) ids[n] = Intern(reading.names[n]);
    return ids[n];
  };
  end = std::min(end, reading.records.size());
  begin = std::min(begin, end);
  source.entries.reserve(source.entries.size() + (end - begin));
  for (size_t i = begin; i < end; ++i) {
    const SourceRecord& r = reading.records[i];
    if (r.call >= reading.names.size()) continue;
    const uint32_t call = id_of(r.call);
    uint32_t spelling = kNone, satellite = kNone;
    if (r.satellite < reading.names.size()) {
      spelling = id_of(r.satellite);
      if (satellite_of_spelling_[spelling] == kNone) {
        const uint32_t key = Intern(satellites_.Key(reading.names[r.satellite]));
        satellite_of_spelling_[spelling] = key;
      }
      satellite = satellite_of_spelling_[spelling];
    }
    const int64_t minute = CalendarMinute(r.time);
    const int grid = r.grid >= 0 && static_cast<size_t>(r.grid) < kGridSquares ? r.grid : -1;
    const Key key{call, satellite, minute, grid, r.band};
    auto [it, added] = by_key_.try_emplace(key, 0);
    if (!added) {
      ++entries_[it->second].sources;
      source.entries.push_back(it->second);
      continue;
    }
    uint32_t id;
    if (!free_.empty()) {
      id = free_.back();
      free_.pop_back();
    } else {
      id = static_cast<uint32_t>(entries_.size());
      entries_.emplace_back();
    }
    it->second = id;
    Entry& e = entries_[id];
    e.call = call;
    if (base_of_call_[call] == kNone) {
      const uint32_t base = Intern(BaseCall(names_[call]));
      base_of_call_[call] = base;
    }
    e.base = base_of_call_[call];
    e.satellite = satellite;
    e.spelling = spelling;
    e.minute = minute;
    e.time = r.time;
    e.grid = static_cast<int16_t>(grid);
    e.band = r.band;
    e.sources = 1;
    MarkConfirmed(e);
    ++live_;
    by_base_[e.base].push_back(id);
    if (e.grid >= 0) {
      ++grid_contacts_[static_cast<size_t>(e.grid)];
      if (satellite != kNone) ++grid_satellite_[GridSatelliteKey(satellite, e.grid)];
    }
    source.entries.push_back(id);
  }
  if (odd_lines) {
    AddOdd(unreadable_, source.unreadable, source.seen, reading.unreadable);
    AddOdd(without_call_, source.without_call, source.seen, reading.without_call);
  }
}

void WorkedIndex::ReleaseEntry(uint32_t id) {
  Entry& e = entries_[id];
  if (e.sources == 0 || --e.sources > 0) return;
  by_key_.erase(Key{e.call, e.satellite, e.minute, e.grid, e.band});
  UnmarkConfirmed(e);
  auto list = by_base_.find(e.base);
  if (list != by_base_.end()) {
    auto& ids = list->second;
    const auto at = std::find(ids.begin(), ids.end(), id);
    if (at != ids.end()) {
      *at = ids.back();
      ids.pop_back();
    }
    if (ids.empty()) by_base_.erase(list);
  }
  if (e.grid >= 0) {
    --grid_contacts_[static_cast<size_t>(e.grid)];
    if (e.satellite != kNone) {
      auto g = grid_satellite_.find(GridSatelliteKey(e.satellite, e.grid));
      if (g != grid_satellite_.end() && --g->second == 0) grid_satellite_.erase(g);
    }
  }
  --live_;
  free_.push_back(id);
}

void WorkedIndex::Release(const Source& source) {
  for (uint32_t id : source.entries) ReleaseEntry(id);
  ReleaseOdd(unreadable_, source.unreadable);
  ReleaseOdd(without_call_, source.without_call);
}

void WorkedIndex::Replace(const std::wstring& source, const SourceReading& reading) {
  Stage(source, reading, 0, reading.records.size());
  StageOddLines(source, reading);
  Commit(source);
}

void WorkedIndex::Stage(const std::wstring& source, const SourceReading& reading, size_t begin, size_t end) {
  Add(staged_[source], reading, begin, end, false);
}

void WorkedIndex::StageOddLines(const std::wstring& source, const SourceReading& reading) {
  Add(staged_[source], reading, 0, 0, true);
}

void WorkedIndex::Commit(const std::wstring& source) {
  // The new contacts went in before the old ones go, so that a contact in both is never dropped
  // and made again.
  auto staged = staged_.find(source);
  if (staged == staged_.end()) return;
  Source fresh = std::move(staged->second);
  staged_.erase(staged);
  auto it = sources_.find(source);
  if (it == sources_.end()) {
    sources_.emplace(source, std::move(fresh));
    return;
  }
  Source old = std::exchange(it->second, std::move(fresh));
  Release(old);
}

void WorkedIndex::Unstage(const std::wstring& source) {
  auto staged = staged_.find(source);
  if (staged == staged_.end()) return;
  Release(staged->second);
  staged_.erase(staged);
}

void WorkedIndex::Append(const std::wstring& source, const SourceReading& reading) {
  Add(sources_[source], reading, 0, reading.records.size(), true);
}

void WorkedIndex::Remove(const std::wstring& source) {
  Unstage(source);
  auto it = sources_.find(source);
  if (it == sources_.end()) return;
  Release(it->second);
  sources_.erase(it);
}

std::vector<std::wstring> WorkedIndex::SourceNames() const {
  std::vector<std::wstring> names;
  for (const auto& [name, source] : sources_) names.push_back(name);
  std::sort(names.begin(), names.end());
  return names;
}

uint32_t WorkedIndex::AskedSatellite(const std::wstring& satellite) const {
  if (satellite != asked_name_) {
    asked_name_ = satellite;
    asked_key_ = satellites_.Key(satellite);
  }
  return Find(asked_key_);
}

CallLookup WorkedIndex::LookUpCall(const std::wstring& call, const std::optional<std::wstring>& satellite,
                                   const LocalTime& now, int dupe_window_minutes) const {
  CallLookup result;
  const std::wstring normalized = NormalizedCall(call);
  const auto list = by_base_.find(Find(BaseCall(normalized)));
  if (list == by_base_.end()) return result;
  const uint32_t form = Find(normalized);
  const uint32_t asked = satellite ? AskedSatellite(*satellite) : kNone;
  const int64_t now_minute = CalendarMinute(now);
  const Entry* latest = nullptr;
  for (uint32_t id : list->second) {
    const Entry& e = entries_[id];
    ++result.contacts;
    if (!latest || e.minute > latest->minute) latest = &e;
    if (e.call == form) result.form_logged = true;
    const bool on_asked = satellite && asked != kNone && e.satellite == asked;
    if (on_asked) {
      ++result.on_satellite;
      if (Later(e.time, result.last_on_satellite)) result.last_on_satellite = e.time;
    }
    const bool same_satellite = on_asked || !satellite || e.satellite == kNone;
    if (dupe_window_minutes > 0 && same_satellite && std::llabs(now_minute - e.minute) <= dupe_window_minutes &&
        Later(e.time, result.same_pass)) {
      result.same_pass = e.time;
    }
  }
  if (latest) {
    result.last = latest->time;
    result.latest_form = names_[latest->call];
  }
  return result;
}

GridLookup WorkedIndex::LookUpGrid(const std::wstring& locator, const std::optional<std::wstring>& satellite) const {
  GridLookup result;
  const int grid = GridNumber(locator);
  if (grid < 0 || grid_contacts_.empty()) return result;
  result.worked = grid_contacts_[static_cast<size_t>(grid)] > 0;
  result.confirmed = !confirmed_grid_contacts_.empty() && confirmed_grid_contacts_[static_cast<size_t>(grid)] > 0;
  if (satellite) {
    const uint32_t asked = AskedSatellite(*satellite);
    result.worked_on_satellite = asked != kNone && grid_satellite_.count(GridSatelliteKey(asked, grid)) != 0;
  }
  return result;
}

void WorkedIndex::ForEachContact(const std::function<void(const ContactFacts&)>& visit) const {
  std::vector<int16_t> grids;
  for (const Entry& e : entries_) {
    if (e.sources == 0) continue;
    ContactFacts facts{e.base, e.satellite, std::wstring_view(), e.grid, e.time};
    if (e.spelling != kNone) facts.satellite_name = names_[e.spelling];
    facts.band = e.band;
    facts.confirmed = e.confirmed;
    grids.clear();
    if (e.confirmed) {
      ForEachConfirmation(e, [&](const HeldConfirmation& c) { grids.insert(grids.end(), c.grids.begin(), c.grids.end()); });
    }
    facts.confirmed_grids = &grids;
    visit(facts);
  }
}

uint32_t WorkedIndex::SatelliteOfName(const std::wstring& name) {
  const std::wstring key = satellites_.Key(name);
  return key.empty() ? kNone : Intern(key);
}

template <class Visit>
void WorkedIndex::ForEachConfirmation(const Entry& e, Visit visit) const {
  const auto held = confirmations_by_base_.find(e.base);
  if (held == confirmations_by_base_.end()) return;
  const auto utc = utc_.Of(e.time);
  if (!utc) return;
  const MatchFacts contact{e.satellite, e.band, *utc};
  for (uint32_t i : held->second) {
    if (Confirms(confirmations_[i].facts, contact)) visit(confirmations_[i]);
  }
}

void WorkedIndex::MarkConfirmed(Entry& e) {
  bool confirmed = false;
  ForEachConfirmation(e, [&](const HeldConfirmation& c) {
    confirmed = true;
    for (int16_t g : c.grids) ++confirmed_grid_contacts_[static_cast<size_t>(g)];
  });
  e.confirmed = confirmed;
  if (confirmed) ++confirmed_live_;
}

// The same confirmations confirm the entry as when it was marked: they and the entry are as they
// were, and the UTC rules answer for its hour as they did then.
void WorkedIndex::UnmarkConfirmed(Entry& e) {
  if (!e.confirmed) return;
  ForEachConfirmation(e, [&](const HeldConfirmation& c) {
    for (int16_t g : c.grids) --confirmed_grid_contacts_[static_cast<size_t>(g)];
  });
  e.confirmed = false;
  --confirmed_live_;
}

void WorkedIndex::SetConfirmations(const std::vector<confirmations::Confirmation>& confirmations) {
  for (Entry& e : entries_) {
    if (e.sources > 0) UnmarkConfirmed(e);
  }
  confirmations_.clear();
  confirmations_by_base_.clear();
  if (confirmed_grid_contacts_.empty()) confirmed_grid_contacts_.assign(kGridSquares, 0);
  confirmations_.reserve(confirmations.size());
  for (const auto& c : confirmations) {
    HeldConfirmation held;
    held.facts.satellite = c.satellite.empty() ? kNone : SatelliteOfName(c.satellite);
    held.facts.band = ConfirmedBand(c);
    held.facts.utc_minute = c.utc_minute;
    held.grids = ConfirmedGrids(c);
    confirmations_by_base_[Intern(ConfirmedBaseCall(c))].push_back(static_cast<uint32_t>(confirmations_.size()));
    confirmations_.push_back(std::move(held));
  }
  for (Entry& e : entries_) {
    if (e.sources > 0) MarkConfirmed(e);
  }
}

size_t WorkedIndex::MatchingContacts(const std::vector<confirmations::Confirmation>& confirmations) const {
  // A satellite no contact was logged on: only a contact logged without one can match.
  constexpr uint32_t kOtherSatellite = kNone - 1;
  size_t matching = 0;
  for (const auto& c : confirmations) {
    const auto contacts = by_base_.find(Find(ConfirmedBaseCall(c)));
    if (contacts == by_base_.end()) continue;
    MatchFacts facts;
    if (!c.satellite.empty()) {
      const std::wstring key = satellites_.Key(c.satellite);
      facts.satellite = key.empty() ? kNone : Find(key);
      if (!key.empty() && facts.satellite == kNone) facts.satellite = kOtherSatellite;
    }
    facts.band = ConfirmedBand(c);
    facts.utc_minute = c.utc_minute;
    for (uint32_t id : contacts->second) {
      const Entry& e = entries_[id];
      const auto utc = utc_.Of(e.time);
      if (utc && Confirms(facts, MatchFacts{e.satellite, e.band, *utc})) {
        ++matching;
        break;
      }
    }
  }
  return matching;
}

}  // namespace zelmor::worked

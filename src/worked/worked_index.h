#pragma once
// The operator's contacts, for the hints while a call is typed and for the summary: every log file
// of the log folder and the log pane, each a source that is replaced whole when it changes (a file
// written again, LOG Open) and the pane also grown by one line at each Enter.
//
// One contact is one call (as logged, upper-case) on one satellite (SatelliteNames::Key) and band
// at one minute with one grid: the same line in the pane and in the file it was saved to, or in the
// safety copy, counts once, and so does a line entered twice. The index keeps how many sources hold
// each contact and lets it go with the last of them, so that it always holds what the sources hold
// now, whatever came before: a grid corrected in the pane while an older file still has the first
// one makes two contacts until the file is saved again.
//
// The index belongs to the window's thread and is never locked: sources are read elsewhere
// (worked_source.h) and merged here, which takes about a microsecond a contact. Every lookup is a
// few hash look-ups and a walk over one operator's contacts.
//
// LoTW's confirmations (worked/confirmed.h) are held here too: each contact knows whether one
// confirms it, marked as it comes and as the confirmations are replaced, so that the hint asks
// about a square in a look-up and the summary counts without matching again.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/clock.h"
#include "base/time_zone.h"
#include "confirmations/confirmation.h"
#include "contact/satellite_names.h"
#include "worked/confirmed.h"
#include "worked/worked_source.h"

namespace zelmor::worked {

// What the log says about the operator behind a call (its base call), under any of its forms.
struct CallLookup {
  size_t contacts = 0;                 // on any satellite, or without one
  std::optional<LoggedTime> last;      // the latest of them
  size_t on_satellite = 0;             // on the satellite asked about
  std::optional<LoggedTime> last_on_satellite;
  // The latest contact within the dupe window (either side of now) on the satellite asked about,
  // or on any when none was asked about, or one logged without a satellite: a line of the same
  // pass whose feed failed is still the same pass.
  std::optional<LoggedTime> same_pass;
  bool form_logged = false;  // the call exactly as asked about is in the log
  std::wstring latest_form;  // the call as logged in the latest contact
};

struct GridLookup {
  bool worked = false;               // on any satellite, or without one
  bool worked_on_satellite = false;  // on the satellite asked about
  bool confirmed = false;            // a confirmation of a contact gave the square
};

// One contact as the summary walks them.
struct ContactFacts {
  uint32_t base_call;        // the same number for the same operator
  uint32_t satellite;        // the same number for the same SatelliteNames::Key; kNoSatellite
  std::wstring_view satellite_name;  // as logged (one of the spellings)
  int grid;                  // GridNumber, or -1
  LoggedTime time;
  int band = -1;             // contact::BandNumber, or -1
  bool confirmed = false;
  // The squares the confirmations of this contact give (each confirmation's once); empty unless
  // confirmed.
  const std::vector<int16_t>* confirmed_grids = nullptr;
  static constexpr uint32_t kNoSatellite = UINT32_MAX;
};

class WorkedIndex {
 public:
  // The log pane's source name; a file's is its path.
  static constexpr const wchar_t* kPane = L"";

  // Satellites are told apart by `names`: with the operator's spellings, the same names are one
  // satellite here as in the ADIF export. Contacts are compared with LoTW's confirmations in UTC
  // through `zone`, which must outlive the index (none: no contact is confirmed).
  explicit WorkedIndex(contact::SatelliteNames names = {}, const TimeZoneRules* zone = nullptr)
      : satellites_(std::move(names)), utc_(zone) {}
  // Names are looked up through views of the strings the index holds: a copy would point into
  // the original.
  WorkedIndex(const WorkedIndex&) = delete;
  WorkedIndex& operator=(const WorkedIndex&) = delete;
  WorkedIndex(WorkedIndex&&) = default;
  WorkedIndex& operator=(WorkedIndex&&) = default;

  // The source's contacts become `reading`'s.
  void Replace(const std::wstring& source, const SourceReading& reading);
  // The same in steps, for a reading too large to merge at once on the window's thread: records
  // [begin, end) are added next to the source's old contacts (a contact in both counts once), the
  // reading's lines that are no contacts once, and Commit lets the old ones go.
  void Stage(const std::wstring& source, const SourceReading& reading, size_t begin, size_t end);
  void StageOddLines(const std::wstring& source, const SourceReading& reading);
  void Commit(const std::wstring& source);
  // Drops what was staged for the source (a reading that became stale half-way).
  void Unstage(const std::wstring& source);
  // `reading`'s contacts are added to the source's (the line of an Enter).
  void Append(const std::wstring& source, const SourceReading& reading);
  void Remove(const std::wstring& source);
  bool Has(const std::wstring& source) const { return sources_.count(source) != 0; }
  std::vector<std::wstring> SourceNames() const;

  size_t Contacts() const { return live_; }
  // Lines of all sources that are not contacts. A line occurring n times in one source counts n
  // times; the same line in two sources, once.
  size_t UnreadableLines() const { return unreadable_.size(); }
  size_t LinesWithoutCall() const { return without_call_.size(); }

  // `call` in any case and form; `satellite` as the tracking program names it, or none. The dupe
  // window is in minutes; 0 or less asks for no dupe.
  CallLookup LookUpCall(const std::wstring& call, const std::optional<std::wstring>& satellite,
                        const LocalTime& now, int dupe_window_minutes) const;
  // `locator` of 4 or 6 characters; nothing found for a word of another shape.
  GridLookup LookUpGrid(const std::wstring& locator, const std::optional<std::wstring>& satellite) const;

  void ForEachContact(const std::function<void(const ContactFacts&)>& visit) const;

  // LoTW's confirmations (the kept file's) replace those held.
  void SetConfirmations(const std::vector<confirmations::Confirmation>& confirmations);
  bool HasConfirmations() const { return !confirmations_.empty(); }
  size_t ConfirmedContacts() const { return confirmed_live_; }
  // How many of `confirmations` confirm a contact of the index.
  size_t MatchingContacts(const std::vector<confirmations::Confirmation>& confirmations) const;

 private:
  static constexpr uint32_t kNone = UINT32_MAX;

  struct Entry {
    uint32_t call = kNone, base = kNone, satellite = kNone, spelling = kNone;
    int64_t minute = 0;
    LoggedTime time;
    int16_t grid = -1;
    int8_t band = -1;
    bool confirmed = false;
    uint32_t sources = 0;  // occurrences in all sources; 0 for a free slot
  };
  struct Key {
    uint32_t call, satellite;
    int64_t minute;
    int grid, band;
    bool operator==(const Key& o) const {
      return call == o.call && satellite == o.satellite && minute == o.minute && grid == o.grid && band == o.band;
    }
  };
  struct HeldConfirmation {
    MatchFacts facts;
    std::vector<int16_t> grids;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const;
  };
  // A line that is not a contact, by its fingerprint and how often it came before in its source.
  struct OddLine {
    uint64_t fingerprint;
    uint32_t occurrence;
    bool operator==(const OddLine& o) const { return fingerprint == o.fingerprint && occurrence == o.occurrence; }
  };
  struct OddLineHash {
    size_t operator()(const OddLine& l) const { return static_cast<size_t>(l.fingerprint ^ (uint64_t{l.occurrence} << 47)); }
  };
  using OddLines = std::unordered_map<OddLine, uint32_t, OddLineHash>;
  struct Source {
    std::vector<uint32_t> entries;
    std::vector<OddLine> unreadable, without_call;
    std::unordered_map<uint64_t, uint32_t> seen;  // occurrences of each odd line so far
  };

  // Every name once: calls, base calls, satellite keys and spellings.
  uint32_t Intern(const std::wstring& text);
  uint32_t Find(const std::wstring& text) const;
  // The satellite a tracker's name means, as Find gives it. The key of the name last asked about
  // is kept: each key typed asks about the same one, and finding a key takes a few allocations.
  uint32_t AskedSatellite(const std::wstring& satellite) const;

  // Records [begin, end), and the lines that are no contacts when `odd_lines`.
  void Add(Source& source, const SourceReading& reading, size_t begin, size_t end, bool odd_lines);
  void Release(const Source& source);
  void ReleaseEntry(uint32_t id);
  static void AddOdd(OddLines& lines, std::vector<OddLine>& kept, std::unordered_map<uint64_t, uint32_t>& seen,
                     const std::vector<uint64_t>& fingerprints);
  static void ReleaseOdd(OddLines& lines, const std::vector<OddLine>& kept);

  // The satellite number of a name's key, as confirmations and contacts are compared.
  uint32_t SatelliteOfName(const std::wstring& name);
  // Calls `visit` with each held confirmation that confirms the entry.
  template <class Visit>
  void ForEachConfirmation(const Entry& e, Visit visit) const;
  void MarkConfirmed(Entry& e);
  void UnmarkConfirmed(Entry& e);

  contact::SatelliteNames satellites_;
  mutable std::wstring asked_name_, asked_key_;
  std::deque<std::wstring> names_;
  std::unordered_map<std::wstring_view, uint32_t> name_ids_;
  // By name id, worked out once a name: kNone for names that are no spelling, or no call.
  std::vector<uint32_t> satellite_of_spelling_, base_of_call_;

  std::vector<Entry> entries_;
  std::vector<uint32_t> free_;
  size_t live_ = 0;
  std::unordered_map<Key, uint32_t, KeyHash> by_key_;
  std::unordered_map<uint32_t, std::vector<uint32_t>> by_base_;
  std::vector<uint32_t> grid_contacts_;                    // by GridNumber
  std::unordered_map<uint64_t, uint32_t> grid_satellite_;  // satellite << 16 | grid
  OddLines unreadable_, without_call_;
  std::unordered_map<std::wstring, Source> sources_, staged_;

  std::vector<HeldConfirmation> confirmations_;
  std::unordered_map<uint32_t, std::vector<uint32_t>> confirmations_by_base_;
  mutable UtcMinutes utc_;
  size_t confirmed_live_ = 0;
  std::vector<uint32_t> confirmed_grid_contacts_;  // by GridNumber: confirmations' squares of contacts
};

}  // namespace zelmor::worked

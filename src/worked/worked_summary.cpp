#include "worked/worked_summary.h"

#include <algorithm>
#include <initializer_list>
#include <map>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"

namespace zelmor::worked {
namespace {

// At most this many unread files are named; the rest are counted.
constexpr size_t kNamedFiles = 5;


struct Tally {
  size_t contacts = 0, confirmed = 0;
  std::unordered_set<uint32_t> calls;
  std::unordered_set<int> grids, confirmed_grids;
  std::map<std::wstring_view, size_t> spellings;

  void Add(const ContactFacts& c) {
    ++contacts;
    calls.insert(c.base_call);
    if (c.grid >= 0) grids.insert(c.grid);
    if (!c.confirmed) return;
    ++confirmed;
    if (c.confirmed_grids) confirmed_grids.insert(c.confirmed_grids->begin(), c.confirmed_grids->end());
  }
};

std::wstring Row(const std::wstring& name, std::initializer_list<size_t> counts) {
  std::wstring row = name;
  for (size_t n : counts) row += L"\t" + std::to_wstring(n);
  return row + L"\r\n";
}

std::vector<int> InOrder(const std::unordered_set<int>& squares) {
  std::vector<int> out(squares.begin(), squares.end());
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

WorkedSummary Summarize(const WorkedIndex& index) {
  WorkedSummary summary;
  std::unordered_map<uint32_t, Tally> by_satellite;
  Tally total;
  index.ForEachContact([&](const ContactFacts& c) {
    Tally& t = by_satellite[c.satellite];
    t.Add(c);
    if (c.satellite != ContactFacts::kNoSatellite) ++t.spellings[c.satellite_name];
    total.Add(c);
  });
  summary.contacts = total.contacts;
  summary.calls = total.calls.size();
  summary.grids = total.grids.size();
  summary.confirmed_contacts = total.confirmed;
  summary.confirmed_grids = total.confirmed_grids.size();
  summary.worked_squares = InOrder(total.grids);
  summary.confirmed_squares = InOrder(total.confirmed_grids);
  summary.unreadable_lines = index.UnreadableLines();
  summary.lines_without_call = index.LinesWithoutCall();

  for (const auto& [satellite, t] : by_satellite) {
    SatelliteCount count;
    size_t most = 0;
    // The map is ordered: among spellings equally common, the first in order wins.
    for (const auto& [spelling, n] : t.spellings) {
      if (n > most) {
        most = n;
        count.name = std::wstring(spelling);
      }
    }
    count.contacts = t.contacts;
    count.calls = t.calls.size();
    count.grids = t.grids.size();
    count.confirmed_contacts = t.confirmed;
    count.confirmed_grids = t.confirmed_grids.size();
    summary.satellites.push_back(count);
  }
  std::sort(summary.satellites.begin(), summary.satellites.end(), [](const SatelliteCount& a, const SatelliteCount& b) {
    return std::make_tuple(a.name.empty(), -static_cast<long long>(a.contacts), a.name) <
           std::make_tuple(b.name.empty(), -static_cast<long long>(b.contacts), b.name);
  });
  return summary;
}

std::wstring SummaryText(const WorkedSummary& s) {
  std::wstring text = LoadText(IDS_SUMMARY_HEADING) + L"\r\n";
  for (const auto& sat : s.satellites) {
    text += Row(sat.name.empty() ? LoadText(IDS_SUMMARY_NO_SATELLITE) : sat.name,
                {sat.contacts, sat.calls, sat.grids, sat.confirmed_contacts, sat.confirmed_grids});
  }
  text += Row(LoadText(IDS_SUMMARY_TOTAL), {s.contacts, s.calls, s.grids, s.confirmed_contacts, s.confirmed_grids});
  text += L"\r\n" + FillText(LoadText(IDS_SUMMARY_VUCC), {std::to_wstring(s.confirmed_grids), std::to_wstring(s.grids)}) +
          L"\r\n";
  text += FillText(LoadText(IDS_SUMMARY_UNREADABLE), {std::to_wstring(s.unreadable_lines)}) + L"\r\n";
  if (s.lines_without_call > 0) {
    text += FillText(LoadText(IDS_SUMMARY_WITHOUT_CALL), {std::to_wstring(s.lines_without_call)}) + L"\r\n";
  }
  if (!s.files_not_read.empty()) {
    std::wstring names;
    for (size_t i = 0; i < s.files_not_read.size() && i < kNamedFiles; ++i) names += (i ? L", " : L"") + s.files_not_read[i];
    if (s.files_not_read.size() > kNamedFiles) {
      names += FillText(LoadText(IDS_SUMMARY_MORE_FILES), {std::to_wstring(s.files_not_read.size() - kNamedFiles)});
    }
    text += FillText(LoadText(IDS_SUMMARY_FILES_NOT_READ), {names}) + L"\r\n";
  }
  return text;
}

// --- The map of grids ---------------------------------------------------------------------------

MapSquares SquaresOnMap(const WorkedSummary& summary) {
  MapSquares squares;
  squares.worked = summary.worked_squares;
  squares.confirmed = summary.confirmed_squares;
  return squares;
}

}  // namespace zelmor::worked

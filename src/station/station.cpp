#include "station/station.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "base/resource.h"
#include "base/text.h"
#include "contact/contact.h"
#include "entry/log_format.h"

namespace zelmor::station {
namespace {

// The operator's IME may be in full-width mode: "ＪＡ１ＡＢＣ" is meant as JA1ABC.
std::wstring Plain(std::wstring_view text) {
  std::wstring out;
  for (wchar_t c : text) out += HalfWidth(c);
  const size_t first = std::find_if_not(out.begin(), out.end(), IsWordSpace) - out.begin();
  const size_t last = std::find_if_not(out.rbegin(), out.rend(), IsWordSpace).base() - out.begin();
  return first < last ? out.substr(first, last - first) : std::wstring();
}

std::wstring Wide(const char* ascii) { return std::wstring(ascii, ascii + std::strlen(ascii)); }

bool SameCode(const char* code, std::wstring_view text) {
  const size_t n = std::strlen(code);
  if (n != text.size()) return false;
  for (size_t i = 0; i < n; ++i) {
    if (static_cast<wchar_t>(static_cast<unsigned char>(code[i])) != text[i]) return false;
  }
  return true;
}

// It goes on TQSL's command line and into its own lists: nothing that a line or a list would
// break at, nothing invisible.
bool IsPrintable(std::wstring_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029) return false;
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) return false;
      ++i;
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      return false;
    }
  }
  return true;
}

// A 4-character grid's square as a column (0..179, west to east from 180° W) and a row (0..179,
// south to north).
std::pair<int, int> Square(const std::wstring& grid) {
  return {(grid[0] - L'A') * 10 + (grid[2] - L'0'), (grid[1] - L'A') * 10 + (grid[3] - L'0')};
}

constexpr int kColumns = 180;

bool EastOf(int a, int b) { return (b + 1) % kColumns == a; }

std::optional<int> GridFault(const std::vector<std::wstring>& typed, std::vector<std::wstring>& grids) {
  if (typed.empty()) return IDS_STATION_GRID_EMPTY;
  for (const auto& t : typed) {
    auto grid = CanonicalGrid(t);
    if (!grid) return IDS_STATION_GRID_BAD;
    grids.push_back(std::move(*grid));
  }
  if (grids.size() == 1) return std::nullopt;
  if (grids.size() != 2 && grids.size() != 4) return IDS_STATION_GRID_LINE_COUNT;
  for (const auto& g : grids) {
    if (g.size() != 4) return IDS_STATION_GRID_LINE_SQUARES;
  }
  if (!IsGridLine(grids)) return IDS_STATION_GRID_LINE_APART;
  return std::nullopt;
}

}  // namespace

std::wstring Station::GridText() const {
  std::wstring text;
  for (const auto& g : grids) text += (text.empty() ? L"" : L",") + g;
  return text;
}

bool Station::operator==(const Station& o) const {
  return call_sign == o.call_sign && grids == o.grids && prefecture == o.prefecture && city == o.city &&
         station_location == o.station_location;
}

std::optional<std::wstring> CanonicalGrid(std::wstring_view text) {
  std::wstring grid = Plain(text);
  if (!entry::IsGridLocator(grid)) return std::nullopt;
  return entry::LocatorCase(std::move(grid));
}

std::vector<std::wstring> SplitGrids(std::wstring_view text) {
  std::vector<std::wstring> grids;
  std::wstring current;
  for (wchar_t c : text) {
    c = HalfWidth(c);
    if (c == L',' || c == L'\u3001' || IsWordSpace(c)) {
      if (!current.empty()) grids.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) grids.push_back(std::move(current));
  return grids;
}

bool IsGridLine(const std::vector<std::wstring>& grids) {
  if (grids.size() != 2 && grids.size() != 4) return false;
  std::vector<std::pair<int, int>> squares;
  for (const auto& g : grids) {
    if (g.size() != 4 || CanonicalGrid(g) != g) return false;
    squares.push_back(Square(g));
  }
  std::sort(squares.begin(), squares.end());
  if (std::adjacent_find(squares.begin(), squares.end()) != squares.end()) return false;
  const auto has = [&](int column, int row) {
    return std::binary_search(squares.begin(), squares.end(), std::make_pair(column, row));
  };
  if (squares.size() == 2) {
    const auto [a, b] = std::make_pair(squares[0], squares[1]);
    const bool same_row_neighbours = a.second == b.second && (EastOf(a.first, b.first) || EastOf(b.first, a.first));
    const bool same_column_neighbours = a.first == b.first && (b.second - a.second == 1);
    return same_row_neighbours || same_column_neighbours;
  }
  // Four: some square is the south-west one of the block, its east, north and north-east
  // neighbours the other three.
  for (const auto& [column, row] : squares) {
    const int east = (column + 1) % kColumns;
    if (row + 1 < kColumns && has(east, row) && has(column, row + 1) && has(east, row + 1)) return true;
  }
  return false;
}

std::variant<Station, StationFault> ReadStation(const StationText& typed) {
  Station s;
  s.call_sign = AsciiUpper(Plain(typed.call_sign));
  if (!contact::IsCallSign(s.call_sign)) return StationFault{StationField::CallSign, IDS_STATION_CALL_BAD};

  if (auto fault = GridFault(SplitGrids(typed.grids), s.grids)) return StationFault{StationField::Grid, *fault};

  s.prefecture = Plain(typed.prefecture);
  s.city = Plain(typed.city);
  if (!s.prefecture.empty() && !FindPrefecture(s.prefecture)) {
    return StationFault{StationField::Prefecture, IDS_STATION_PREFECTURE_UNKNOWN};
  }
  if (!s.city.empty()) {
    const CityGunKu* city = FindCityGunKu(s.city);
    if (!city) return StationFault{StationField::City, IDS_STATION_CITY_UNKNOWN};
    if (s.prefecture.empty()) return StationFault{StationField::Prefecture, IDS_STATION_CITY_NEEDS_PREFECTURE};
    if (!SameCode(city->prefecture, s.prefecture)) return StationFault{StationField::City, IDS_STATION_CITY_ELSEWHERE};
  }

  s.station_location = TrimSpaces(typed.station_location);
  if (s.station_location.empty()) return StationFault{StationField::StationLocation, IDS_STATION_LOCATION_EMPTY};
  if (!IsPrintable(s.station_location)) {
    return StationFault{StationField::StationLocation, IDS_STATION_LOCATION_UNPRINTABLE};
  }
  return s;
}

StationText ToText(const Station& s) {
  return StationText{s.call_sign, s.GridText(), s.prefecture, s.city, s.station_location};
}

const Prefecture* FindPrefecture(std::wstring_view code) {
  for (const auto& p : kPrefectures) {
    if (SameCode(p.code, code)) return &p;
  }
  return nullptr;
}

const CityGunKu* FindCityGunKu(std::wstring_view code) {
  for (const auto& c : kCitiesGunsKu) {
    if (SameCode(c.code, code)) return &c;
  }
  return nullptr;
}

std::vector<const CityGunKu*> CitiesOf(std::wstring_view prefecture_code) {
  std::vector<const CityGunKu*> cities;
  for (const auto& c : kCitiesGunsKu) {
    if (SameCode(c.prefecture, prefecture_code)) cities.push_back(&c);
  }
  return cities;
}

entry::StationLine ToLine(const Station& s) {
  return {s.call_sign, s.grids, s.prefecture, s.city, s.station_location};
}

std::optional<std::variant<Station, StationFault>> StationOfLine(const std::wstring& line) {
  const std::optional<entry::StationLine> stated = entry::ReadStationLine(line);
  if (!stated) return std::nullopt;
  std::wstring grids;
  for (const auto& g : stated->grids) grids += (grids.empty() ? L"" : L",") + g;
  return ReadStation(StationText{stated->call_sign, grids, stated->prefecture, stated->city, stated->station_location});
}

std::wstring Describe(const Station& s) {
  std::wstring text = s.call_sign + L" " + s.GridText();
  if (!s.prefecture.empty()) {
    const Prefecture* p = FindPrefecture(s.prefecture);
    text += L" " + (p ? Label(*p) : s.prefecture);
  }
  if (!s.city.empty()) {
    const CityGunKu* c = FindCityGunKu(s.city);
    text += L" " + (c ? Label(*c) : s.city);
  }
  return text;
}

std::wstring Label(const Prefecture& p) { return Wide(p.code) + L" " + Wide(p.name); }
std::wstring Label(const CityGunKu& c) { return Wide(c.code) + L" " + Wide(c.name); }

}  // namespace zelmor::station

#include "trackers/tracker_text.h"

#include <array>
#include <vector>

namespace zelmor::trackers {
namespace {

enum class Format { kSatPc32, kOrbitron };

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// Words between blanks; a '"' opens a part that runs to the next '"', blanks included.
std::vector<std::wstring> Words(const std::wstring& text) {
  std::vector<std::wstring> words;
  std::wstring word;
  bool quoted = false;
  for (wchar_t c : text) {
    if (c == L'"') quoted = !quoted;
    if (!quoted && IsBlank(c)) {
      if (!word.empty()) words.push_back(std::move(word));
      word.clear();
      continue;
    }
    word += c;
  }
  if (!word.empty()) words.push_back(std::move(word));
  return words;
}

// The tags read, the logged ones first in the order of the fields below.
constexpr std::array<const wchar_t*, 7> kTags = {L"SN", L"UP", L"DN", L"UM", L"DM", L"AZ", L"EL"};
// Tags of values not logged, which end a name that runs on over blanks like any tag.
constexpr std::array<const wchar_t*, 9> kOtherTags = {L"AOS", L"MA", L"RA", L"RR", L"LO", L"LA", L"AL", L"TU", L"TL"};

struct Field {
  bool seen = false;
  std::wstring value;
};

// Reads "435853062", "435853062.4" or "435853062,6" as whole hertz.
std::optional<unsigned long long> ReadHertz(const std::wstring& text) {
  size_t i = 0;
  unsigned long long hertz = 0;
  while (i < text.size() && IsDigit(text[i])) {
    if (i >= 18) return std::nullopt;
    hertz = hertz * 10 + static_cast<unsigned>(text[i] - L'0');
    ++i;
  }
  if (i == 0) return std::nullopt;
  if (i == text.size()) return hertz;
  if (text[i] != L'.' && text[i] != L',') return std::nullopt;
  const size_t fraction = ++i;
  while (i < text.size() && IsDigit(text[i])) ++i;
  if (i == fraction || i != text.size()) return std::nullopt;
  if (text[fraction] >= L'5') ++hertz;
  if (hertz > 999999999999999999ULL) return std::nullopt;  // rounded up to 19 digits
  return hertz;
}

std::wstring Unquoted(const std::wstring& value, bool& quoted) {
  quoted = value.size() >= 2 && value.front() == L'"' && value.back() == L'"';
  return quoted ? value.substr(1, value.size() - 2) : value;
}

std::optional<TrackerReading> Read(const std::wstring& text, Format format) {
  enum { kName, kUp, kDown, kUpMode, kDownMode, kKnown };
  std::array<Field, kKnown> fields;
  bool name_quoted = false;
  int last = -1;  // the field the previous word filled; only a name runs on over blanks
  for (const std::wstring& word : Words(text)) {
    int tag = -1;
    for (size_t t = 0; t < kTags.size() && tag < 0; ++t) {
      if (word.compare(0, 2, kTags[t]) == 0) tag = static_cast<int>(t);
    }
    bool other = false;
    for (const wchar_t* t : kOtherTags) {
      if (word.compare(0, std::char_traits<wchar_t>::length(t), t) == 0) other = true;
    }
    if (tag < 0 && !other) {
      // SatPC32 writes the name as it stands, blanks and all: "SNAO 7 AZ..."
      if (format == Format::kSatPc32 && last == kName) fields[kName].value += L' ' + word;
      continue;
    }
    last = -1;
    if (tag < 0 || tag >= kKnown) continue;  // azimuth, elevation and the rest: not logged
    Field& field = fields[static_cast<size_t>(tag)];
    if (field.seen) continue;  // the first of a tag counts
    field.seen = true;
    bool quoted = false;
    field.value = Unquoted(word.substr(2), quoted);
    if (tag == kName) name_quoted = quoted;
    last = tag;
  }

  std::wstring name = fields[kName].value;
  if (format == Format::kOrbitron && !name_quoted) {
    for (auto& c : name) {
      if (c == L'_') c = L' ';
    }
  }
  if (!fields[kName].seen || name.empty()) return std::nullopt;
  const auto up = fields[kUp].seen ? ReadHertz(fields[kUp].value) : std::nullopt;
  const auto down = fields[kDown].seen ? ReadHertz(fields[kDown].value) : std::nullopt;
  if (!up || !down) return std::nullopt;

  TrackerReading reading;
  reading.satellite = std::move(name);
  reading.uplink = GroupedHertz(*up);
  reading.downlink = GroupedHertz(*down);
  reading.mode = !fields[kDownMode].value.empty() ? fields[kDownMode].value : fields[kUpMode].value;
  return reading;
}

bool IsNoSatellite(const std::wstring& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.compare(begin, end - begin, L"** NO SATELLITE **") == 0;
}

}  // namespace

std::wstring GroupedHertz(unsigned long long hertz) {
  std::wstring digits = std::to_wstring(hertz);
  for (auto pos = static_cast<std::ptrdiff_t>(digits.size()) - 3; pos > 0; pos -= 3) {
    digits.insert(static_cast<size_t>(pos), 1, L'.');
  }
  return digits;
}

std::optional<TrackerReading> ReadSatPc32Text(const std::wstring& text) {
  if (IsNoSatellite(text)) return std::nullopt;
  return Read(text, Format::kSatPc32);
}

std::optional<TrackerReading> ReadOrbitronText(const std::wstring& text) { return Read(text, Format::kOrbitron); }

}  // namespace zelmor::trackers

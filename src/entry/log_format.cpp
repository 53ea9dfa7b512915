#include "entry/log_format.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace zelmor::entry {
namespace {

// Decimal digits (most significant first) plus one.
void Increment(std::string& digits) {
  for (size_t i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
}

// |hertz| / 1000 rounded to an integer, half-way away from zero, as decimal digits. Worked out
// exactly from the float's mantissa and exponent: every float is m * 2^e with m below 2^24.
std::string RoundedKilohertz(float magnitude) {
  if (magnitude == 0.0f) return "0";
  int exponent = 0;
  const float fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction * 2^exponent
  const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 24));
  const int shift = exponent - 24;  // magnitude = mantissa * 2^shift

  if (shift < 0) {
    // Below 2^24 Hz; a shift of 24 or more means less than 1 Hz, which rounds to 0 kHz.
    if (shift <= -24) return "0";
    const uint64_t divisor = uint64_t{1000} << (-shift);
    uint64_t quotient = mantissa / divisor;
    if (2 * (mantissa % divisor) >= divisor) ++quotient;
    return std::to_string(quotient);
  }

  // A whole number of hertz, up to 39 digits: double it in decimal `shift` times.
  std::string hertz = std::to_string(mantissa);
  for (int i = 0; i < shift; ++i) {
    int carry = 0;
    for (size_t k = hertz.size(); k-- > 0;) {
      const int d = (hertz[k] - '0') * 2 + carry;
      hertz[k] = static_cast<char>('0' + d % 10);
      carry = d / 10;
    }
    if (carry != 0) hertz.insert(hertz.begin(), static_cast<char>('0' + carry));
  }
  // At least 2^23 Hz here, so there are more than three digits.
  std::string kilohertz = hertz.substr(0, hertz.size() - 3);
  if (hertz[hertz.size() - 3] >= '5') Increment(kilohertz);
  return kilohertz;
}

// The "#0.000" frequencies carry the locale's decimal mark, or "." when it has none.
std::wstring FrequencyMark(const std::wstring& decimal_mark) {
  return decimal_mark.empty() ? std::wstring(L".") : decimal_mark;
}

}  // namespace

// --- Templates ---------------------------------------------------------------------------------

bool IsFreeText(Token token) {
  return token == Token::SatelliteName || token == Token::Rev || token == Token::Memo || token == Token::Mode;
}

TemplateParts SplitTemplate(const std::wstring& template_text) {
  TemplateParts parts;
  std::wstring* literal = &parts.head;
  for (size_t i = 0; i < template_text.size();) {
    bool found = false;
    for (const TokenText& t : kTokens) {
      if (template_text.compare(i, kTokenLength, t.text) == 0) {
        parts.tokens.push_back(t.token);
        parts.literals.emplace_back();
        literal = &parts.literals.back();
        i += kTokenLength;
        found = true;
        break;
      }
    }
    if (!found) *literal += template_text[i++];
  }
  return parts;
}

// --- Digits ------------------------------------------------------------------------------------

std::wstring TwoDigitsOrMore(int value) {
  if (value >= 0 && value <= 9) return L"0" + std::to_wstring(value);
  return std::to_wstring(value);
}

size_t DigitRun(const std::wstring& text, size_t pos, size_t most) {
  size_t n = 0;
  while (pos + n < text.size() && n <= most && IsAsciiDigit(text[pos + n])) ++n;
  return n;
}

int64_t DigitsValue(const std::wstring& text, size_t from, size_t to) {
  int64_t value = 0;
  for (size_t i = from; i < to; ++i) value = value * 10 + (text[i] - L'0');
  return value;
}

// --- The time ----------------------------------------------------------------------------------

std::wstring FormatTime(int hour, int minute, const std::wstring& separator) {
  return TwoDigitsOrMore(hour) + separator + TwoDigitsOrMore(minute);
}

std::optional<TimeReading> ReadTimeAt(const std::wstring& text, size_t pos, const std::wstring& separator) {
  if (DigitRun(text, pos, 2) < 2) return std::nullopt;
  TimeReading t;
  t.hour = static_cast<int>(DigitsValue(text, pos, pos + 2));
  size_t i = pos + 2;
  if (text.compare(i, separator.size(), separator) != 0) return std::nullopt;
  i += separator.size();
  if (DigitRun(text, i, 2) < 2) return std::nullopt;
  t.minute = static_cast<int>(DigitsValue(text, i, i + 2));
  if (t.hour > 23 || t.minute > 59) return std::nullopt;
  t.end = i + 2;
  return t;
}

// --- The frequencies ---------------------------------------------------------------------------

// The quotient is formed exactly rather than in double precision: a double quotient can land a
// hair below a half-way value (1,000,500 Hz / 10^6 is not exact in binary) and round it down.
std::wstring FormatFrequencyMHz(float hertz, const std::wstring& decimal_mark) {
  if (!std::isfinite(hertz)) return std::wstring();
  std::string kilohertz = RoundedKilohertz(std::fabs(hertz));
  const bool negative = std::signbit(hertz) && kilohertz != "0";
  if (kilohertz.size() < 4) kilohertz.insert(0, 4 - kilohertz.size(), '0');
  const size_t point = kilohertz.size() - 3;
  std::wstring text;
  if (negative) text += L'-';
  text.append(kilohertz.begin(), kilohertz.begin() + static_cast<std::ptrdiff_t>(point));
  text += FrequencyMark(decimal_mark);
  text.append(kilohertz.begin() + static_cast<std::ptrdiff_t>(point), kilohertz.end());
  return text;
}

std::optional<MegahertzReading> ReadMegahertzAt(const std::wstring& text, size_t pos,
                                                const std::wstring& decimal_mark) {
  const std::wstring mark = FrequencyMark(decimal_mark);
  size_t i = pos;
  const bool negative = i < text.size() && text[i] == L'-';
  if (negative) ++i;
  const size_t digits = DigitRun(text, i, kMaxMegahertzDigits);
  if (digits == 0 || digits > kMaxMegahertzDigits) return std::nullopt;
  const int64_t megahertz = DigitsValue(text, i, i + digits);
  i += digits;
  if (text.compare(i, mark.size(), mark) != 0) return std::nullopt;
  i += mark.size();
  if (i + 3 > text.size() || DigitRun(text, i, 3) < 3) return std::nullopt;
  const int64_t kilohertz = megahertz * 1000 + DigitsValue(text, i, i + 3);
  const bool leading_zero = digits > 1 && text[pos + (negative ? 1 : 0)] == L'0';
  return MegahertzReading{i + 3, negative ? -kilohertz : kilohertz, !leading_zero && !(negative && kilohertz == 0)};
}

std::wstring FormatLogFrequency(int64_t uplink_mhz, int64_t downlink_mhz) {
  return std::to_wstring(uplink_mhz) + L"/" + std::to_wstring(downlink_mhz);
}

void ReadLogFrequencyAt(const std::wstring& text, size_t pos, std::vector<LogFrequencyReading>& out) {
  constexpr size_t kMostDigits = 18;
  out.clear();
  size_t i = pos;
  const bool up_negative = i < text.size() && text[i] == L'-';
  if (up_negative) ++i;
  const size_t up_digits = DigitRun(text, i, kMostDigits);
  if (up_digits == 0 || up_digits > kMostDigits) return;
  const int64_t uplink = DigitsValue(text, i, i + up_digits) * (up_negative ? -1 : 1);
  i += up_digits;
  if (i >= text.size() || text[i] != L'/') return;
  ++i;
  const bool down_negative = i < text.size() && text[i] == L'-';
  if (down_negative) ++i;
  // A run longer than the most digits still gives its first ones: what follows may be digits.
  const size_t down_digits = std::min(DigitRun(text, i, kMostDigits), kMostDigits);
  // The writer's whole megahertz of 64-bit hertz have at most 13 digits: a longer run is read only
  // when no reading as written fits (it would take the first digits of the next value).
  constexpr size_t kMostWrittenDigits = 13;
  auto as_written = [&](size_t from, size_t length, bool negative) {
    return length <= kMostWrittenDigits && (length == 1 || text[from] != L'0') &&
           !(negative && length == 1 && text[from] == L'0');
  };
  const bool up_as_written = as_written(pos + (up_negative ? 1 : 0), up_digits, up_negative);
  for (const bool written : {true, false}) {
    for (size_t length = down_digits; length >= 1; --length) {
      if ((up_as_written && as_written(i, length, down_negative)) != written) continue;
      out.push_back({i + length, uplink, DigitsValue(text, i, i + length) * (down_negative ? -1 : 1), written});
    }
  }
}

// --- Grid locators -----------------------------------------------------------------------------

bool IsGridLocator(const std::wstring& w) {
  if (w.size() != 4 && w.size() != 6) return false;
  auto field = [](wchar_t c) { return (c >= L'A' && c <= L'R') || (c >= L'a' && c <= L'r'); };
  auto sub = [](wchar_t c) { return (c >= L'A' && c <= L'X') || (c >= L'a' && c <= L'x'); };
  if (!field(w[0]) || !field(w[1]) || !IsAsciiDigit(w[2]) || !IsAsciiDigit(w[3])) return false;
  return w.size() == 4 || (sub(w[4]) && sub(w[5]));
}

std::wstring LocatorCase(std::wstring locator) {
  for (size_t i = 0; i < locator.size(); ++i) {
    if (i < 2) locator[i] = AsciiUpper(locator[i]);
    else if (i >= 4) locator[i] = AsciiLower(locator[i]);
  }
  return locator;
}

// --- The station line ---------------------------------------------------------------------------

namespace {

constexpr size_t kMostCallSignLength = 20;
constexpr size_t kMostGrids = 4;

bool IsCallSignText(const std::wstring& text) {
  if (text.empty() || text.size() > kMostCallSignLength) return false;
  bool letter = false, digit = false;
  for (wchar_t c : text) {
    if (IsAsciiUpper(c)) letter = true;
    else if (IsAsciiDigit(c)) digit = true;
    else if (c != L'/') return false;
  }
  return letter && digit;
}

// AA00 or AA00aa, in the case the writer gives it.
bool IsGridText(const std::wstring& g) { return IsGridLocator(g) && LocatorCase(g) == g; }

bool AllDigits(const std::wstring& text, size_t least, size_t most) {
  return text.size() >= least && text.size() <= most &&
         std::all_of(text.begin(), text.end(), [](wchar_t c) { return IsAsciiDigit(c); });
}

std::vector<std::wstring> SplitAt(const std::wstring& text, wchar_t separator) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : text) {
    if (c == separator) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

}  // namespace

std::wstring FormatStationLine(const StationLine& s) {
  std::wstring line = kStationMark + s.call_sign + L" GRID=";
  for (size_t i = 0; i < s.grids.size(); ++i) line += (i ? L"," : L"") + s.grids[i];
  if (!s.prefecture.empty()) line += L" PREF=" + s.prefecture;
  if (!s.city.empty()) line += L" CITY=" + s.city;
  if (!s.station_location.empty()) line += L" LOC=" + s.station_location;
  return line;
}

std::optional<StationLine> ReadStationLine(const std::wstring& line) {
  const std::wstring mark = kStationMark;
  if (line.compare(0, mark.size(), mark) != 0) return std::nullopt;
  StationLine s;
  // LOC runs to the end; what stands before it is split at single blanks.
  std::wstring fields = line.substr(mark.size());
  const size_t location = fields.find(L" LOC=");
  if (location != std::wstring::npos) {
    s.station_location = fields.substr(location + 5);
    fields.erase(location);
    const size_t last = s.station_location.find_last_not_of(L' ');
    s.station_location.erase(last == std::wstring::npos ? 0 : last + 1);
    if (s.station_location.empty()) return std::nullopt;
  } else {
    const size_t last = fields.find_last_not_of(L' ');
    fields.erase(last == std::wstring::npos ? 0 : last + 1);
  }
  const std::vector<std::wstring> parts = SplitAt(fields, L' ');
  size_t next = 0;
  const auto take = [&](const wchar_t* key, std::wstring& value) {
    const std::wstring k = key;
    if (next >= parts.size() || parts[next].compare(0, k.size(), k) != 0) return false;
    value = parts[next++].substr(k.size());
    return true;
  };
  s.call_sign = parts[next++];
  std::wstring grids;
  if (!IsCallSignText(s.call_sign) || !take(L"GRID=", grids)) return std::nullopt;
  s.grids = SplitAt(grids, L',');
  if (s.grids.size() > kMostGrids || !std::all_of(s.grids.begin(), s.grids.end(), IsGridText)) return std::nullopt;
  if (take(L"PREF=", s.prefecture) && !AllDigits(s.prefecture, 2, 2)) return std::nullopt;
  if (take(L"CITY=", s.city) && (s.prefecture.empty() || !AllDigits(s.city, 4, 6))) return std::nullopt;
  if (next != parts.size()) return std::nullopt;
  return s;
}

}  // namespace zelmor::entry

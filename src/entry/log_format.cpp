#include "entry/log_format.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace zelmor::entry {
namespace {

// Two digits for 0..9, the plain number otherwise (a fake clock may give anything).
std::wstring TwoDigits(int value) {
  if (value >= 0 && value <= 9) return L"0" + std::to_wstring(value);
  return std::to_wstring(value);
}

std::wstring FullYear(int year) {
  std::wstring text = std::to_wstring(year);
  if (year >= 0 && text.size() < 4) text.insert(0, 4 - text.size(), L'0');
  return text;
}

const wchar_t* const kDayShort[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
const wchar_t* const kDayLong[7] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthShort[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                        L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const kMonthLong[12] = {L"January", L"February", L"March",     L"April",
                                       L"May",     L"June",     L"July",      L"August",
                                       L"September", L"October", L"November", L"December"};

const wchar_t* DayName(int day_of_week, bool abbreviated) {
  if (day_of_week < 0 || day_of_week > 6) return L"";
  return abbreviated ? kDayShort[day_of_week] : kDayLong[day_of_week];
}

const wchar_t* MonthName(int month, bool abbreviated) {
  if (month < 1 || month > 12) return L"";
  return abbreviated ? kMonthShort[month - 1] : kMonthLong[month - 1];
}

// A picture with more elements or more numbers than a real one is not read: every number of one
// or two digits doubles the ways a text can be split.
constexpr size_t kMaxDateElements = 32;
constexpr int kMaxDateNumbers = 6;

// Whether the contact at `date`, hour:minute, is later than `now`.
bool After(const CalendarDate& date, int hour, int minute, const LocalTime& now) {
  const int contact[5] = {date.year, date.month, date.day, hour, minute};
  const int clock[5] = {now.year, now.month, now.day, now.hour, now.minute};
  for (int i = 0; i < 5; ++i) {
    if (contact[i] != clock[i]) return contact[i] > clock[i];
  }
  return false;
}

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

// The digits at text[pos...], as many as there are up to `most` + 1 (one more tells a run that
// is too long).
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

// --- The short-date picture --------------------------------------------------------------------

DatePicture::DatePicture(const std::wstring& picture) {
  auto literal = [&](wchar_t c) {
    if (elements_.empty() || elements_.back().part != Part::Literal) elements_.push_back({Part::Literal, {}});
    elements_.back().literal += c;
  };
  bool day = false, month = false;
  int numbers = 0;
  size_t i = 0;
  while (i < picture.size()) {
    const wchar_t c = picture[i];
    if (c == L'\'') {
      // Quoted text runs to the next lone quote (or the end); a doubled quote inside is one quote.
      ++i;
      while (i < picture.size()) {
        if (picture[i] == L'\'') {
          if (i + 1 < picture.size() && picture[i + 1] == L'\'') {
            literal(L'\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        literal(picture[i++]);
      }
      continue;
    }
    if (c != L'd' && c != L'M' && c != L'y' && c != L'g') {
      literal(c);
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    i += run;
    Part part;
    if (c == L'd') {
      part = run == 1 ? Part::Day : run == 2 ? Part::Day2 : run == 3 ? Part::DayName : Part::DayNameLong;
      day = day || run <= 2;
    } else if (c == L'M') {
      part = run == 1 ? Part::Month : run == 2 ? Part::Month2 : run == 3 ? Part::MonthName : Part::MonthNameLong;
      month = true;
    } else if (c == L'y') {
      part = run == 1 ? Part::Year : run == 2 ? Part::Year2 : Part::Year4;
      if (part == Part::Year4) year_ = YearDigits::Four;
      else if (year_ == YearDigits::None) year_ = YearDigits::Two;
    } else {
      continue;  // the era is written as nothing
    }
    if (part == Part::Day || part == Part::Day2 || part == Part::Month || part == Part::Month2 ||
        part == Part::Year || part == Part::Year2) {
      ++numbers;
    }
    elements_.push_back({part, {}});
  }
  readable_ = day && month && elements_.size() <= kMaxDateElements && numbers <= kMaxDateNumbers;
  // What ReadFrom can take for each element: numbers of one or two digits, four for the year,
  // the longest English name.
  const auto longest = [](const wchar_t* const* names, int count) {
    size_t most = 0;
    for (int k = 0; k < count; ++k) most = std::max(most, std::wstring(names[k]).size());
    return most;
  };
  for (const Element& e : elements_) {
    switch (e.part) {
      case Part::Literal: most_length_ += e.literal.size(); break;
      case Part::DayName: most_length_ += longest(kDayShort, 7); break;
      case Part::DayNameLong: most_length_ += longest(kDayLong, 7); break;
      case Part::MonthName: most_length_ += longest(kMonthShort, 12); break;
      case Part::MonthNameLong: most_length_ += longest(kMonthLong, 12); break;
      case Part::Year4: most_length_ += 4; break;
      default: most_length_ += 2; break;
    }
  }
}

std::wstring DatePicture::Format(const LocalTime& date) const {
  std::wstring out;
  const int short_year = ((date.year % 100) + 100) % 100;
  for (const Element& e : elements_) {
    switch (e.part) {
      case Part::Literal: out += e.literal; break;
      case Part::Day: out += std::to_wstring(date.day); break;
      case Part::Day2: out += TwoDigits(date.day); break;
      case Part::DayName: out += DayName(DayOfWeek({date.year, date.month, date.day}), true); break;
      case Part::DayNameLong: out += DayName(DayOfWeek({date.year, date.month, date.day}), false); break;
      case Part::Month: out += std::to_wstring(date.month); break;
      case Part::Month2: out += TwoDigits(date.month); break;
      case Part::MonthName: out += MonthName(date.month, true); break;
      case Part::MonthNameLong: out += MonthName(date.month, false); break;
      case Part::Year: out += std::to_wstring(short_year); break;
      case Part::Year2: out += TwoDigits(short_year); break;
      case Part::Year4: out += FullYear(date.year); break;
    }
  }
  return out;
}

// What the elements read so far say; 0 (-1 for the two-digit year) is not yet said.
struct DatePicture::Partial {
  int year = 0, short_year = -1, month = 0, day = 0;
  bool as_written = true;
};

namespace {

bool SetOnce(int& field, int value, int unset) {
  if (field != unset && field != value) return false;
  field = value;
  return true;
}

}  // namespace

void DatePicture::ReadFrom(const std::wstring& text, size_t element, size_t pos, Partial partial,
                           std::vector<DateReading>& out) const {
  if (element == elements_.size()) {
    const Partial& p = partial;
    if (p.month < 1 || p.month > 12 || p.day < 1) return;
    DateReading r;
    r.end = pos;
    r.month = p.month;
    r.day = p.day;
    r.as_written = p.as_written;
    if (p.year != 0) {
      if (p.short_year >= 0 && p.short_year != p.year % 100) return;
      r.year_digits = YearDigits::Four;
      r.year = p.year;
      if (p.day > DaysInMonth(p.year, p.month)) return;
    } else if (p.short_year >= 0) {
      r.year_digits = YearDigits::Two;
      r.year = p.short_year;
      // A leap day needs a year ending in these digits that can be a leap year (00: 2000).
      if (p.day > DaysInMonth(p.short_year % 4 == 0 ? 2000 : 2001, p.month)) return;
    } else {
      r.year_digits = YearDigits::None;
      if (p.day > DaysInMonth(2000, p.month)) return;
    }
    out.push_back(r);
    return;
  }
  const Element& e = elements_[element];
  const size_t run = DigitRun(text, pos, 2);
  auto number = [&](size_t length) { return static_cast<int>(DigitsValue(text, pos, pos + length)); };
  // A number of one or two digits, leading zero or not, two digits first. `padded`: the picture
  // writes two digits; otherwise it writes no leading zero.
  auto one_or_two = [&](int Partial::*field, int unset, bool padded) {
    for (size_t length : {size_t{2}, size_t{1}}) {
      if (run < length) continue;
      const int value = number(length);
      Partial next = partial;
      if (!SetOnce(next.*field, value, unset)) continue;
      const size_t written = padded ? 2 : (value < 10 ? 1 : 2);
      next.as_written = next.as_written && length == written;
      ReadFrom(text, element + 1, pos + length, next, out);
    }
  };
  auto named = [&](const wchar_t* const* names, int count, int Partial::*field) {
    for (int k = 0; k < count; ++k) {
      const std::wstring name = names[k];
      if (text.compare(pos, name.size(), name) != 0) continue;
      Partial next = partial;
      if (field == nullptr || SetOnce(next.*field, k + 1, 0)) ReadFrom(text, element + 1, pos + name.size(), next, out);
    }
  };
  switch (e.part) {
    case Part::Literal:
      if (text.compare(pos, e.literal.size(), e.literal) == 0) {
        ReadFrom(text, element + 1, pos + e.literal.size(), partial, out);
      }
      break;
    case Part::Day: one_or_two(&Partial::day, 0, false); break;
    case Part::Day2: one_or_two(&Partial::day, 0, true); break;
    // The weekday only repeats what the date says.
    case Part::DayName: named(kDayShort, 7, nullptr); break;
    case Part::DayNameLong: named(kDayLong, 7, nullptr); break;
    case Part::Month: one_or_two(&Partial::month, 0, false); break;
    case Part::Month2: one_or_two(&Partial::month, 0, true); break;
    case Part::MonthName: named(kMonthShort, 12, &Partial::month); break;
    case Part::MonthNameLong: named(kMonthLong, 12, &Partial::month); break;
    case Part::Year: one_or_two(&Partial::short_year, -1, false); break;
    case Part::Year2: one_or_two(&Partial::short_year, -1, true); break;
    case Part::Year4:
      // Four digits, also from a longer run: "yyyyMMdd" writes one run of eight.
      if (DigitRun(text, pos, 4) >= 4) {
        Partial next = partial;
        if (SetOnce(next.year, number(4), 0)) ReadFrom(text, element + 1, pos + 4, next, out);
      }
      break;
  }
}

void DatePicture::ReadAt(const std::wstring& text, size_t pos, std::vector<DateReading>& out) const {
  out.clear();
  if (readable_ && pos <= text.size()) ReadFrom(text, 0, pos, Partial{}, out);
}

std::wstring FormatShortDate(const std::wstring& picture, const LocalTime& date) {
  return DatePicture(picture).Format(date);
}

std::vector<std::wstring> ReadingPictures(const std::wstring& own_picture) {
  std::vector<std::wstring> pictures{own_picture};
  for (const wchar_t* other : {L"yyyy/MM/dd", L"yyyy-MM-dd"}) {
    if (own_picture != other) pictures.emplace_back(other);
  }
  return pictures;
}

std::optional<CalendarDate> DateOf(const DateReading& reading, int hour, int minute, const LocalTime& now) {
  CalendarDate date{reading.year, reading.month, reading.day};
  if (reading.year_digits == YearDigits::Four) {
    if (!IsCalendarDate(date)) return std::nullopt;
    return date;
  }
  // Candidate years from the latest not after now's year, going back a year (no year given) or a
  // century (two digits given) at a time; a leap day may have to go back past several.
  const int64_t step = reading.year_digits == YearDigits::Two ? 100 : 1;
  int64_t year = now.year;
  if (reading.year_digits == YearDigits::Two) year -= ((year - reading.year) % 100 + 100) % 100;
  for (int tries = 0; tries < 9 && year >= 1; ++tries, year -= step) {
    date.year = static_cast<int>(year);
    if (IsCalendarDate(date) && !After(date, hour, minute, now)) return date;
  }
  return std::nullopt;
}

// --- The time ----------------------------------------------------------------------------------

std::wstring FormatTime(int hour, int minute, const std::wstring& separator) {
  return TwoDigits(hour) + separator + TwoDigits(minute);
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
bool IsGridText(const std::wstring& g) {
  if (g.size() != 4 && g.size() != 6) return false;
  const auto field = [](wchar_t c) { return c >= L'A' && c <= L'R'; };
  const auto subsquare = [](wchar_t c) { return c >= L'a' && c <= L'x'; };
  return field(g[0]) && field(g[1]) && IsAsciiDigit(g[2]) && IsAsciiDigit(g[3]) && (g.size() == 4 || (subsquare(g[4]) && subsquare(g[5])));
}

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

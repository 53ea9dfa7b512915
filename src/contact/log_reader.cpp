#include "contact/log_reader.h"

#include <algorithm>
#include <array>
#include <utility>

#include "base/text.h"
#include "settings/keys.h"

namespace zelmor::contact {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsUpper(wchar_t c) { return c >= L'A' && c <= L'Z'; }
bool IsLower(wchar_t c) { return c >= L'a' && c <= L'z'; }
bool IsLetter(wchar_t c) { return IsUpper(c) || IsLower(c); }
bool IsWordBreak(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\u3000'; }

// --- Templates ---------------------------------------------------------------------------------

enum class Token { Date, Time, SatelliteName, Rev, Memo, LogFrequency, Uplink, Downlink, Mode };

constexpr std::array<std::pair<const wchar_t*, Token>, 9> kTokens = {{
    {L"#DT", Token::Date},
    {L"#TM", Token::Time},
    {L"#SN", Token::SatelliteName},
    {L"#RV", Token::Rev},
    {L"#MM", Token::Memo},
    {L"#LF", Token::LogFrequency},
    {L"#TX", Token::Uplink},
    {L"#RX", Token::Downlink},
    {L"#MD", Token::Mode},
}};

bool IsFreeText(Token t) {
  return t == Token::SatelliteName || t == Token::Rev || t == Token::Memo || t == Token::Mode;
}

// head, token 1, literal 1, token 2, literal 2, ... Tokens never overlap in a template (each
// starts with "#" and holds none), so reading it from left to right is unambiguous.
struct Pattern {
  std::wstring head;
  std::vector<Token> tokens;
  std::vector<std::wstring> literals;  // literals[k] follows tokens[k]
};

std::optional<Pattern> ParsePattern(const std::wstring& text) {
  Pattern p;
  std::wstring* literal = &p.head;
  bool date = false, time = false;
  for (size_t i = 0; i < text.size();) {
    bool found = false;
    for (const auto& [name, token] : kTokens) {
      if (text.compare(i, 3, name) == 0) {
        if (p.tokens.size() == kMaxTemplateTokens) return std::nullopt;
        p.tokens.push_back(token);
        p.literals.emplace_back();
        literal = &p.literals.back();
        date = date || token == Token::Date;
        time = time || token == Token::Time;
        i += 3;
        found = true;
        break;
      }
    }
    if (!found) *literal += text[i++];
  }
  if (!date || !time) return std::nullopt;
  return p;
}

// --- The short-date picture --------------------------------------------------------------------

enum class DatePart { Literal, Day, Day2, DayName, DayNameLong, Month, Month2, MonthName, MonthNameLong,
                      Year, Year2, Year4 };

struct DateElement {
  DatePart part;
  std::wstring literal;
};

// A picture with more elements or more numbers than a real one is not read: every number of one
// or two digits doubles the ways a text can be split.
constexpr size_t kMaxDateElements = 32;
constexpr int kMaxDateNumbers = 6;

const wchar_t* const kDayShort[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
const wchar_t* const kDayLong[7] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthShort[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                        L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const kMonthLong[12] = {L"January", L"February", L"March",     L"April",
                                       L"May",     L"June",     L"July",      L"August",
                                       L"September", L"October", L"November", L"December"};

// The picture as the date writer reads it (quotes, runs of d, M, y, g), or nothing when it cannot
// give back a whole date.
std::optional<std::vector<DateElement>> CompileDatePicture(const std::wstring& picture) {
  std::vector<DateElement> elements;
  auto literal = [&](wchar_t c) {
    if (elements.empty() || elements.back().part != DatePart::Literal) {
      elements.push_back({DatePart::Literal, std::wstring()});
    }
    elements.back().literal += c;
  };
  bool day = false, month = false, year = false;
  int numbers = 0;
  size_t i = 0;
  while (i < picture.size()) {
    const wchar_t c = picture[i];
    if (c == L'\'') {
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
    DatePart part;
    if (c == L'd') {
      part = run == 1 ? DatePart::Day : run == 2 ? DatePart::Day2 : run == 3 ? DatePart::DayName : DatePart::DayNameLong;
      day = day || run <= 2;
    } else if (c == L'M') {
      part = run == 1 ? DatePart::Month : run == 2 ? DatePart::Month2 : run == 3 ? DatePart::MonthName
                                                                                 : DatePart::MonthNameLong;
      month = true;
    } else if (c == L'y') {
      part = run == 1 ? DatePart::Year : run == 2 ? DatePart::Year2 : DatePart::Year4;
      year = true;
    } else {
      continue;  // the era is written as nothing
    }
    if (part == DatePart::Day || part == DatePart::Month || part == DatePart::Year) ++numbers;
    elements.push_back({part, std::wstring()});
  }
  if (!day || !month || !year || elements.size() > kMaxDateElements || numbers > kMaxDateNumbers) {
    return std::nullopt;
  }
  return elements;
}

struct DateValue {
  size_t end = 0;
  int year = 0, month = 0, day = 0;
};

// --- Reading one line with one pattern ----------------------------------------------------------

class LineReader {
 public:
  LineReader(const std::wstring& line, const LineFormats& formats,
             const std::optional<std::vector<DateElement>>& date_picture)
      : line_(line), formats_(formats), picture_(date_picture),
        mark_(formats.decimal_mark.empty() ? std::wstring(L".") : formats.decimal_mark) {
    digits_end_.resize(line.size() + 1);
    digits_end_[line.size()] = line.size();
    for (size_t i = line.size(); i-- > 0;) digits_end_[i] = IsDigit(line[i]) ? digits_end_[i + 1] : i;
  }

  // The contact, and how many characters of the line the template's literals and shaped values
  // account for (the rest is free text).
  std::optional<std::pair<Contact, size_t>> Read(const Pattern& p) const;

 private:
  // Where a shaped value starting at `pos` can end, longest first.
  void ShapeEnds(Token token, size_t pos, std::vector<size_t>& ends) const;
  // Every reading of a date at `pos`, in order of preference (longer numbers first).
  void DateValues(size_t pos, std::vector<DateValue>& out) const;
  void DateFrom(size_t element, size_t pos, int year, int month, int day, std::vector<DateValue>& out) const;
  std::optional<size_t> TimeEnd(size_t pos) const;
  std::optional<size_t> NumberEnd(size_t pos) const;  // "#0.000"
  std::optional<size_t> LogFrequencyEnd(size_t pos) const;
  // Positions where `literal` occurs in the line (Knuth-Morris-Pratt, so a long literal over a
  // long line costs their lengths added, not multiplied).
  std::vector<bool> Occurrences(const std::wstring& literal) const;

  const std::wstring& line_;
  const LineFormats& formats_;
  const std::optional<std::vector<DateElement>>& picture_;
  const std::wstring mark_;
  std::vector<size_t> digits_end_;  // the end of the run of digits starting at each position
};

bool SetOnce(int& field, int value) {
  if (field != 0 && field != value) return false;
  field = value;
  return true;
}

void LineReader::DateFrom(size_t element, size_t pos, int year, int month, int day,
                          std::vector<DateValue>& out) const {
  const auto& elements = *picture_;
  if (element == elements.size()) {
    if (year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month)) {
      out.push_back({pos, year, month, day});
    }
    return;
  }
  const DateElement& e = elements[element];
  const size_t run = digits_end_[pos] - pos;
  auto number = [&](size_t length) {
    int value = 0;
    for (size_t k = 0; k < length; ++k) value = value * 10 + (line_[pos + k] - L'0');
    return value;
  };
  // Tries 2 digits, then 1 (without a leading zero, as the date writer gives them).
  auto one_or_two = [&](auto&& take) {
    for (size_t length : {size_t{2}, size_t{1}}) {
      if (run < length || (length == 2 && line_[pos] == L'0')) continue;
      take(number(length), pos + length);
    }
  };
  auto named = [&](const wchar_t* const* names, int count, auto&& take) {
    for (int k = 0; k < count; ++k) {
      const std::wstring name = names[k];
      if (line_.compare(pos, name.size(), name) == 0) take(k + 1, pos + name.size());
    }
  };
  switch (e.part) {
    case DatePart::Literal:
      if (line_.compare(pos, e.literal.size(), e.literal) == 0) {
        DateFrom(element + 1, pos + e.literal.size(), year, month, day, out);
      }
      break;
    case DatePart::Day:
      one_or_two([&](int v, size_t next) {
        int d = day;
        if (SetOnce(d, v)) DateFrom(element + 1, next, year, month, d, out);
      });
      break;
    case DatePart::Day2:
      if (run >= 2) {
        int d = day;
        if (SetOnce(d, number(2))) DateFrom(element + 1, pos + 2, year, month, d, out);
      }
      break;
    case DatePart::DayName:
    case DatePart::DayNameLong:
      // The weekday only repeats what the date says.
      named(e.part == DatePart::DayName ? kDayShort : kDayLong, 7,
            [&](int, size_t next) { DateFrom(element + 1, next, year, month, day, out); });
      break;
    case DatePart::Month:
      one_or_two([&](int v, size_t next) {
        int m = month;
        if (SetOnce(m, v)) DateFrom(element + 1, next, year, m, day, out);
      });
      break;
    case DatePart::Month2:
      if (run >= 2) {
        int m = month;
        if (SetOnce(m, number(2))) DateFrom(element + 1, pos + 2, year, m, day, out);
      }
      break;
    case DatePart::MonthName:
    case DatePart::MonthNameLong:
      named(e.part == DatePart::MonthName ? kMonthShort : kMonthLong, 12, [&](int v, size_t next) {
        int m = month;
        if (SetOnce(m, v)) DateFrom(element + 1, next, year, m, day, out);
      });
      break;
    case DatePart::Year:
      // A year of two digits is read in this century: lines are written when they happen.
      one_or_two([&](int v, size_t next) {
        int y = year;
        if (SetOnce(y, 2000 + v)) DateFrom(element + 1, next, y, month, day, out);
      });
      break;
    case DatePart::Year2:
      if (run >= 2) {
        int y = year;
        if (SetOnce(y, 2000 + number(2))) DateFrom(element + 1, pos + 2, y, month, day, out);
      }
      break;
    case DatePart::Year4:
      if (run >= 4) {
        int y = year;
        if (SetOnce(y, number(4))) DateFrom(element + 1, pos + 4, y, month, day, out);
      }
      break;
  }
}

void LineReader::DateValues(size_t pos, std::vector<DateValue>& out) const {
  out.clear();
  if (!picture_) return;
  DateFrom(0, pos, 0, 0, 0, out);
}

std::optional<size_t> LineReader::TimeEnd(size_t pos) const {
  const std::wstring& sep = formats_.time_separator;
  if (digits_end_[pos] - pos < 2) return std::nullopt;
  const int hour = (line_[pos] - L'0') * 10 + (line_[pos + 1] - L'0');
  size_t i = pos + 2;
  if (line_.compare(i, sep.size(), sep) != 0) return std::nullopt;
  i += sep.size();
  if (i > line_.size() || digits_end_[i] - i < 2) return std::nullopt;
  const int minute = (line_[i] - L'0') * 10 + (line_[i + 1] - L'0');
  if (hour > 23 || minute > 59) return std::nullopt;
  return i + 2;
}

// Digits are taken as a whole run: "145.950" never reads as "45.950" after a "1" of free text.
std::optional<size_t> LineReader::NumberEnd(size_t pos) const {
  size_t i = pos;
  if (i < line_.size() && line_[i] == L'-') ++i;
  const size_t digits = digits_end_[i] - i;
  if (digits == 0 || digits > 15) return std::nullopt;
  i += digits;
  if (line_.compare(i, mark_.size(), mark_) != 0) return std::nullopt;
  i += mark_.size();
  if (i + 3 > line_.size() || !IsDigit(line_[i]) || !IsDigit(line_[i + 1]) || !IsDigit(line_[i + 2])) {
    return std::nullopt;
  }
  return i + 3;
}

std::optional<size_t> LineReader::LogFrequencyEnd(size_t pos) const {
  size_t i = pos;
  for (int half = 0; half < 2; ++half) {
    if (half == 1) {
      if (i >= line_.size() || line_[i] != L'/') return std::nullopt;
      ++i;
    }
    if (i < line_.size() && line_[i] == L'-') ++i;
    const size_t digits = digits_end_[i] - i;
    if (digits == 0 || digits > 18) return std::nullopt;
    i += digits;
  }
  return i;
}

void LineReader::ShapeEnds(Token token, size_t pos, std::vector<size_t>& ends) const {
  ends.clear();
  std::optional<size_t> end;
  switch (token) {
    case Token::Date: {
      std::vector<DateValue> values;
      DateValues(pos, values);
      for (const auto& v : values) ends.push_back(v.end);
      std::sort(ends.begin(), ends.end(), std::greater<size_t>());
      ends.erase(std::unique(ends.begin(), ends.end()), ends.end());
      return;
    }
    case Token::Time: end = TimeEnd(pos); break;
    case Token::Uplink:
    case Token::Downlink: end = NumberEnd(pos); break;
    case Token::LogFrequency: end = LogFrequencyEnd(pos); break;
    default: return;
  }
  if (end) ends.push_back(*end);
}

std::vector<bool> LineReader::Occurrences(const std::wstring& literal) const {
  const size_t n = line_.size(), m = literal.size();
  std::vector<bool> at(n + 1, m == 0);
  if (m == 0 || m > n) return at;
  std::vector<size_t> fail(m + 1, 0);  // longest proper border of literal[0, k)
  for (size_t k = 1, b = 0; k < m; ++k) {
    while (b > 0 && literal[k] != literal[b]) b = fail[b];
    if (literal[k] == literal[b]) ++b;
    fail[k + 1] = b;
  }
  for (size_t i = 0, matched = 0; i < n; ++i) {
    while (matched > 0 && line_[i] != literal[matched]) matched = fail[matched];
    if (line_[i] == literal[matched]) ++matched;
    if (matched == m) {
      at[i + 1 - m] = true;
      matched = fail[matched];
    }
  }
  return at;
}

std::optional<std::pair<Contact, size_t>> LineReader::Read(const Pattern& p) const {
  const size_t n = line_.size();
  const size_t count = p.tokens.size();
  if (line_.compare(0, p.head.size(), p.head) != 0) return std::nullopt;

  // fits[k][pos]: tokens k.. with their literals read line_[pos, n) exactly. Worked out from the
  // last token back, so that the walk from the front below never has to undo a choice.
  std::vector<std::vector<bool>> fits(count + 1);
  std::vector<std::vector<bool>> literal_at(count);
  fits[count].assign(n + 1, false);
  fits[count][n] = true;
  for (size_t k = 0; k < count; ++k) literal_at[k] = Occurrences(p.literals[k]);
  // A value can only start where the literal before it ends (the head for the first).
  auto can_start = [&](size_t k, size_t pos) {
    if (k == 0) return pos == p.head.size();
    const size_t before = p.literals[k - 1].size();
    return before == 0 || (pos >= before && literal_at[k - 1][pos - before]);
  };
  std::vector<size_t> ends;
  for (size_t k = count; k-- > 0;) {
    const size_t m = p.literals[k].size();
    const auto& next = fits[k + 1];
    const auto& at = literal_at[k];
    auto& fit = fits[k];
    fit.assign(n + 1, false);
    // The value may end at e: the literal follows and the rest fits.
    auto ends_well = [&](size_t e) { return at[e] && e + m <= n && next[e + m]; };
    if (IsFreeText(p.tokens[k])) {
      const bool before_shape = m == 0 && k + 1 < count && !IsFreeText(p.tokens[k + 1]);
      bool later = false;  // some e > pos ends a non-empty value well
      for (size_t pos = n + 1; pos-- > 0;) {
        fit[pos] = ends_well(pos) || later;
        const bool non_empty_end_here = pos > 0 && ends_well(pos) && !(before_shape && IsDigit(line_[pos - 1]));
        later = later || non_empty_end_here;
      }
    } else {
      for (size_t pos = 0; pos <= n; ++pos) {
        if (!can_start(k, pos)) continue;
        ShapeEnds(p.tokens[k], pos, ends);
        for (size_t e : ends) {
          if (ends_well(e)) {
            fit[pos] = true;
            break;
          }
        }
      }
    }
  }
  size_t pos = p.head.size();
  if (!fits[0][pos]) return std::nullopt;

  Contact c;
  size_t free_text = 0;
  bool have[kTokens.size()] = {};
  std::vector<DateValue> dates;
  for (size_t k = 0; k < count; ++k) {
    const Token token = p.tokens[k];
    const size_t m = p.literals[k].size();
    const auto& next = fits[k + 1];
    const auto& at = literal_at[k];
    auto ends_well = [&](size_t e) { return at[e] && e + m <= n && next[e + m]; };
    size_t end = std::wstring::npos;
    if (IsFreeText(token)) {
      const bool before_shape = m == 0 && k + 1 < count && !IsFreeText(p.tokens[k + 1]);
      auto allowed = [&](size_t e) {
        return ends_well(e) && (e == pos || !(before_shape && IsDigit(line_[e - 1])));
      };
      if (token == Token::Memo) {
        for (size_t e = n + 1; e-- > pos;) {
          if (allowed(e)) {
            end = e;
            break;
          }
        }
      } else {
        for (size_t e = pos; e <= n; ++e) {
          if (allowed(e)) {
            end = e;
            break;
          }
        }
      }
    } else {
      ShapeEnds(token, pos, ends);
      for (size_t e : ends) {
        if (ends_well(e)) {
          end = e;
          break;
        }
      }
    }
    // fits[k][pos] promised an end.
    if (end == std::wstring::npos) return std::nullopt;
    const std::wstring value = line_.substr(pos, end - pos);
    if (IsFreeText(token)) free_text += value.size();
    const auto index = static_cast<size_t>(token);
    if (!have[index]) {
      have[index] = true;
      switch (token) {
        case Token::Date:
          DateValues(pos, dates);
          for (const auto& d : dates) {
            if (d.end == end) {
              c.year = d.year, c.month = d.month, c.day = d.day;
              break;
            }
          }
          break;
        case Token::Time:
          c.hour = (value[0] - L'0') * 10 + (value[1] - L'0');
          c.minute = (value[value.size() - 2] - L'0') * 10 + (value[value.size() - 1] - L'0');
          if (!p.literals[k].empty() && IsUpper(p.literals[k][0])) c.zone = p.literals[k].substr(0, 1);
          break;
        case Token::SatelliteName: c.satellite_name = value; break;
        case Token::Rev: c.rev = value; break;
        case Token::Memo: c.memo = value; break;
        case Token::Mode: c.mode = value; break;
        case Token::Uplink:
        case Token::Downlink: {
          Frequency f;
          f.text = value;
          const bool negative = value[0] == L'-';
          // The mark may hold digits of its own; the three decimals are the last three.
          int64_t khz = 0;
          const size_t integer_end = value.size() - 3 - mark_.size();
          for (size_t i = negative ? 1 : 0; i < integer_end; ++i) khz = khz * 10 + (value[i] - L'0');
          for (size_t i = value.size() - 3; i < value.size(); ++i) khz = khz * 10 + (value[i] - L'0');
          f.kilohertz = negative ? -khz : khz;
          (token == Token::Uplink ? c.uplink : c.downlink) = f;
          break;
        }
        case Token::LogFrequency: {
          LogFrequency f;
          f.text = value;
          const size_t slash = value.find(L'/', 1);
          auto mhz = [&](size_t from, size_t to) {
            const bool negative = value[from] == L'-';
            int64_t v = 0;
            for (size_t i = negative ? from + 1 : from; i < to; ++i) v = v * 10 + (value[i] - L'0');
            return negative ? -v : v;
          };
          f.uplink_mhz = mhz(0, slash);
          f.downlink_mhz = mhz(slash + 1, value.size());
          c.log_frequency = f;
          break;
        }
      }
    }
    pos = end + m;
  }
  if (c.memo) c.words = ClassifyMemo(*c.memo);
  return std::make_pair(std::move(c), n - free_text);
}

std::optional<std::pair<Contact, size_t>> ReadPattern(const std::wstring& line, const std::wstring& template_text,
                                   const LineFormats& formats,
                                   const std::optional<std::vector<DateElement>>& picture) {
  const auto pattern = ParsePattern(template_text);
  if (!pattern || !picture) return std::nullopt;
  // Every literal must fit in the line: no need to look further when they cannot.
  size_t literal_length = pattern->head.size();
  for (const auto& l : pattern->literals) literal_length += l.size();
  if (literal_length > line.size()) return std::nullopt;
  return LineReader(line, formats, picture).Read(*pattern);
}

// --- Memo words ---------------------------------------------------------------------------------

bool IsAlnumPart(const std::wstring& part, bool& letter, bool& digit) {
  if (part.empty()) return false;
  for (wchar_t c : part) {
    if (IsDigit(c)) digit = true;
    else if (IsLetter(c)) letter = true;
    else return false;
  }
  return true;
}

}  // namespace

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) return 29;
  return kDays[month - 1];
}

bool IsCallSign(const std::wstring& word) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : word) {
    if (c == L'/') parts.emplace_back();
    else parts.back() += c;
  }
  if (parts.size() > 3) return false;
  // The base is the longest part (KH6/JA1ABC/P): it alone needs both letters and digits.
  size_t base = 0;
  for (size_t i = 0; i < parts.size(); ++i) {
    bool letter = false, digit = false;
    if (!IsAlnumPart(parts[i], letter, digit)) return false;
    if (parts[i].size() > parts[base].size()) base = i;
  }
  // With three parts the base is the middle one.
  if (parts.size() == 3) base = 1;
  // A prefix of one to three characters, a digit, and a suffix that ends in a letter: "5NN" and
  // a locator such as "PM95" are not call signs.
  const std::wstring& b = parts[base];
  if (!IsLetter(b.back())) return false;
  for (size_t i = 1; i <= 3 && i + 1 < b.size(); ++i) {
    if (IsDigit(b[i])) return true;
  }
  return false;
}

bool IsReport(const std::wstring& w) {
  auto cut_digit = [](wchar_t c) { return (c >= L'1' && c <= L'9') || c == L'N' || c == L'n'; };
  if ((w.size() == 2 || w.size() == 3) && w[0] >= L'1' && w[0] <= L'5') {
    if (w.size() == 2) return w[1] >= L'1' && w[1] <= L'9';
    return cut_digit(w[1]) && cut_digit(w[2]);
  }
  if ((w.size() == 2 || w.size() == 3) && (w[0] == L'-' || w[0] == L'+')) {
    return IsDigit(w[1]) && (w.size() == 2 || IsDigit(w[2]));
  }
  return false;
}

bool IsGridLocator(const std::wstring& w) {
  if (w.size() != 4 && w.size() != 6) return false;
  auto field = [](wchar_t c) { return (c >= L'A' && c <= L'R') || (c >= L'a' && c <= L'r'); };
  auto sub = [](wchar_t c) { return (c >= L'A' && c <= L'X') || (c >= L'a' && c <= L'x'); };
  if (!field(w[0]) || !field(w[1]) || !IsDigit(w[2]) || !IsDigit(w[3])) return false;
  return w.size() == 4 || (sub(w[4]) && sub(w[5]));
}

MemoWords ClassifyMemo(const std::wstring& memo) {
  MemoWords result;
  std::wstring word;
  auto flush = [&] {
    if (!word.empty()) result.words.push_back({word, WordKind::Remark});
    word.clear();
  };
  for (wchar_t c : memo) {
    if (IsWordBreak(c)) flush();
    else word += c;
  }
  flush();

  auto& words = result.words;
  size_t next = 0;
  if (!words.empty() && IsCallSign(words[0].text)) {
    words[0].kind = WordKind::Call;
    next = 1;
    if (next < words.size() && IsReport(words[next].text)) {
      words[next++].kind = WordKind::ReportSent;
      if (next < words.size() && IsReport(words[next].text)) words[next++].kind = WordKind::ReportReceived;
    }
  }
  for (size_t i = next; i < words.size(); ++i) {
    if (IsGridLocator(words[i].text)) {
      words[i].kind = WordKind::Grid;
      break;
    }
  }
  return result;
}

std::wstring MemoWords::Find(WordKind kind) const {
  for (const auto& w : words) {
    if (w.kind == kind) return w.text;
  }
  return std::wstring();
}

std::wstring MemoWords::Remarks(bool with_grid) const {
  std::wstring text;
  for (const auto& w : words) {
    if (w.kind == WordKind::Remark || (with_grid && w.kind == WordKind::Grid)) {
      if (!text.empty()) text += L' ';
      text += w.text;
    }
  }
  return text;
}

std::optional<Contact> ReadWithTemplate(const std::wstring& line, const std::wstring& template_text,
                                        const LineFormats& formats) {
  auto read = ReadPattern(line, template_text, formats, CompileDatePicture(formats.short_date));
  if (!read) return std::nullopt;
  return std::move(read->first);
}

std::optional<Contact> ReadLogLine(const std::wstring& line, const std::wstring& template_text,
                                   const LineFormats& formats) {
  const auto picture = CompileDatePicture(formats.short_date);
  if (!picture) return std::nullopt;
  const std::wstring default_template = settings::kDefaultTemplate;
  // The fallback line: date, space, time with J, space, the memo as typed.
  const std::wstring fallback_shape = L"#DT #TMJ #MM";
  const std::pair<const std::wstring*, LineShape> tries[] = {
      {&template_text, LineShape::Current},
      {&default_template, LineShape::Default},
      {&fallback_shape, LineShape::Fallback},
  };
  std::optional<Contact> best;
  size_t best_structure = 0;
  for (const auto& [shape_template, shape] : tries) {
    if (shape == LineShape::Default && template_text == default_template) continue;
    auto read = ReadPattern(line, *shape_template, formats, picture);
    if (read && (!best || read->second > best_structure)) {
      best = std::move(read->first);
      best->shape = shape;
      best_structure = read->second;
    }
  }
  return best;
}

std::vector<std::wstring> SplitLines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' || text[i] == L'\n') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

std::optional<Contact> FirstReadableLine(const std::wstring& text, const std::wstring& template_text,
                                         const LineFormats& formats) {
  for (const auto& line : SplitLines(text)) {
    const std::wstring trimmed = TrimSpaces(line);
    if (trimmed.empty()) continue;
    if (auto contact = ReadLogLine(trimmed, template_text, formats)) return contact;
  }
  return std::nullopt;
}

}  // namespace zelmor::contact

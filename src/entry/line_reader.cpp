#include "entry/line_reader.h"

#include <algorithm>
#include <utility>

#include "base/text.h"
#include "entry/date_picture.h"

namespace zelmor::entry {
namespace {

// A template ready to read lines with: its parts, the border tables of its literals, and the most
// of a line it can account for apart from its dates.
struct Pattern {
  TemplateParts parts;
  LineShape shape = LineShape::Current;
  size_t literal_length = 0;  // the head and every literal
  // For each literal, the longest proper border of each of its prefixes (Knuth-Morris-Pratt).
  std::vector<std::vector<size_t>> borders;
  size_t dates = 0;          // date tokens
  size_t shaped_most = 0;    // the longest the other shaped values can be, together
};

size_t MostShapedLength(Token token, const LocaleFormats& formats) {
  const size_t mark = formats.decimal_mark.empty() ? 1 : formats.decimal_mark.size();
  switch (token) {
    case Token::Time: return 4 + formats.time_separator.size();
    case Token::Uplink:
    case Token::Downlink: return 1 + kMaxMegahertzDigits + mark + 3;
    case Token::LogFrequency: return 2 * (1 + 18) + 1;
    default: return 0;
  }
}

// The template as a pattern, when it can make a contact: "#DT" and "#TM" in it, and not too many
// tokens.
std::optional<Pattern> ReadablePattern(const std::wstring& template_text, LineShape shape,
                                       const LocaleFormats& formats) {
  Pattern p;
  p.parts = SplitTemplate(template_text);
  p.shape = shape;
  const auto& tokens = p.parts.tokens;
  const auto has = [&](Token t) { return std::find(tokens.begin(), tokens.end(), t) != tokens.end(); };
  if (tokens.size() > kMaxTemplateTokens || !has(Token::Date) || !has(Token::Time)) return std::nullopt;
  p.literal_length = p.parts.head.size();
  for (const std::wstring& literal : p.parts.literals) {
    p.literal_length += literal.size();
    std::vector<size_t> border(literal.size() + 1, 0);
    for (size_t k = 1, b = 0; k < literal.size(); ++k) {
      while (b > 0 && literal[k] != literal[b]) b = border[b];
      if (literal[k] == literal[b]) ++b;
      border[k + 1] = b;
    }
    p.borders.push_back(std::move(border));
  }
  for (Token t : tokens) {
    if (t == Token::Date) ++p.dates;
    p.shaped_most += MostShapedLength(t, formats);
  }
  return p;
}

// A flag of the tables below: a type of its own, so that the compiler knows that storing one
// changes no character of the line and no count (an unsigned char could alias any of them).
enum class Flag : unsigned char { No, Yes };

// The working memory of a reading, kept from one line to the next.
struct Scratch {
  std::vector<Flag> fits;        // (tokens + 1) rows of (line + 1)
  std::vector<Flag> literal_at;  // one row of (line + 1) for each literal
  std::vector<size_t> ends;
  std::vector<DateReading> dates;
  std::vector<LogFrequencyReading> log_frequencies;
};

// --- Reading one line with one pattern ----------------------------------------------------------

class PatternMatcher {
 public:
  PatternMatcher(const std::wstring& line, const LocaleFormats& formats, const DatePicture& picture,
                 const LocalTime& now, Scratch& scratch)
      : line_(line), formats_(formats), picture_(picture), now_(now), s_(scratch) {}

  // The values, and how many characters of the line the template's literals and shaped values
  // account for (the rest is free text). `as_written`: only values in the form the writer gives
  // them (shaped values without a leading zero it does not write, trimmed values without spaces
  // around them); `memo_as_typed`: the shape writes the memo untrimmed (the fallback line's).
  std::optional<std::pair<LineValues, size_t>> Match(const Pattern& pattern, bool as_written, bool memo_as_typed);

 private:
  // fits(k, pos): tokens k.. with their literals read line_[pos, n) exactly. Worked out from the
  // last token back, so that the walk from the front (TakeValues) never has to undo a choice.
  void MarkFits();
  // The walk from the front: each value takes the end its rule prefers among those after which the
  // rest still fits.
  std::optional<std::pair<LineValues, size_t>> TakeValues();
  // Keeps the value of token k, line_[pos, end), in `v` (the date in `date`: it is resolved once
  // the time is known).
  void Keep(size_t k, size_t pos, size_t end, LineValues& v, DateReading& date) const;

  // Where free text of token k may start and end when it is not empty: never with the digit of a
  // number right after it, and in the writer's own form never with a space it trims.
  bool Trimmed(size_t k) const {
    const Token t = pattern_->parts.tokens[k];
    return as_written_ && (t == Token::Rev || t == Token::Mode || (t == Token::Memo && !memo_as_typed_));
  }
  bool BeforeShape(size_t k) const {
    const TemplateParts& p = pattern_->parts;
    return p.literals[k].empty() && k + 1 < p.tokens.size() && !IsFreeText(p.tokens[k + 1]);
  }
  bool StartsFreeText(size_t k, size_t pos) const { return !(Trimmed(k) && pos < line_.size() && line_[pos] == L' '); }
  bool EndsFreeText(size_t k, size_t e) const {
    return !(BeforeShape(k) && IsAsciiDigit(line_[e - 1])) && !(Trimmed(k) && line_[e - 1] == L' ');
  }

  // Where a shaped value starting at `pos` can end, in order of preference.
  void ShapeEnds(Token token, size_t pos, bool as_written);
  // Marks in `at` (a row of line + 1) the positions where the literal occurs in the line: a long
  // literal over a long line costs their lengths added, not multiplied.
  void Occurrences(const std::wstring& literal, const std::vector<size_t>& border, Flag* at) const;

  const std::wstring& line_;
  const LocaleFormats& formats_;
  const DatePicture& picture_;
  const LocalTime& now_;
  Scratch& s_;
  // The match under way.
  const Pattern* pattern_ = nullptr;
  bool as_written_ = false;
  bool memo_as_typed_ = false;
};

void PatternMatcher::ShapeEnds(Token token, size_t pos, bool as_written) {
  std::vector<size_t>& ends = s_.ends;
  ends.clear();
  switch (token) {
    case Token::Date:
      // As written first, then longest first; each end once, where it is first preferred.
      picture_.ReadAt(line_, pos, s_.dates);
      std::stable_sort(s_.dates.begin(), s_.dates.end(), [](const DateReading& a, const DateReading& b) {
        return a.as_written != b.as_written ? a.as_written : a.end > b.end;
      });
      for (const DateReading& d : s_.dates) {
        if ((d.as_written || !as_written) && std::find(ends.begin(), ends.end(), d.end) == ends.end()) {
          ends.push_back(d.end);
        }
      }
      return;
    case Token::Time:
      if (const auto t = ReadTimeAt(line_, pos, formats_.time_separator)) ends.push_back(t->end);
      return;
    case Token::Uplink:
    case Token::Downlink:
      if (const auto f = ReadMegahertzAt(line_, pos, formats_.decimal_mark)) {
        if (f->as_written || !as_written) ends.push_back(f->end);
      }
      return;
    case Token::LogFrequency:
      ReadLogFrequencyAt(line_, pos, s_.log_frequencies);
      for (const LogFrequencyReading& f : s_.log_frequencies) {
        if (f.as_written || !as_written) ends.push_back(f.end);
      }
      return;
    default:
      return;
  }
}

void PatternMatcher::Occurrences(const std::wstring& literal, const std::vector<size_t>& border, Flag* at) const {
  const size_t n = line_.size(), m = literal.size();
  std::fill(at, at + n + 1, m == 0 ? Flag::Yes : Flag::No);
  if (m == 0 || m > n) return;
  for (size_t i = 0, matched = 0; i < n; ++i) {
    while (matched > 0 && line_[i] != literal[matched]) matched = border[matched];
    if (line_[i] == literal[matched]) ++matched;
    if (matched == m) {
      at[i + 1 - m] = Flag::Yes;
      matched = border[matched];
    }
  }
}

std::optional<std::pair<LineValues, size_t>> PatternMatcher::Match(const Pattern& pattern, bool as_written,
                                                                   bool memo_as_typed) {
  if (line_.compare(0, pattern.parts.head.size(), pattern.parts.head) != 0) return std::nullopt;
  pattern_ = &pattern;
  as_written_ = as_written;
  memo_as_typed_ = memo_as_typed;
  MarkFits();
  if (s_.fits[pattern.parts.head.size()] == Flag::No) return std::nullopt;
  return TakeValues();
}

void PatternMatcher::MarkFits() {
  const TemplateParts& p = pattern_->parts;
  const size_t n = line_.size();
  const size_t count = p.tokens.size();
  const size_t row = n + 1;
  s_.fits.assign((count + 1) * row, Flag::No);
  s_.literal_at.resize(count * row);
  Flag* const fits = s_.fits.data();
  Flag* const literal_at = s_.literal_at.data();
  const wchar_t* const text = line_.data();
  fits[count * row + n] = Flag::Yes;
  for (size_t k = 0; k < count; ++k) Occurrences(p.literals[k], pattern_->borders[k], literal_at + k * row);
  // A value can only start where the literal before it ends (the head for the first).
  auto can_start = [&](size_t k, size_t pos) {
    if (k == 0) return pos == p.head.size();
    const size_t before = p.literals[k - 1].size();
    return before == 0 || (pos >= before && literal_at[(k - 1) * row + pos - before] == Flag::Yes);
  };
  for (size_t k = count; k-- > 0;) {
    const size_t m = p.literals[k].size();
    const Flag* next = fits + (k + 1) * row;
    const Flag* at = literal_at + k * row;
    Flag* fit = fits + k * row;
    // The value may end at e: the literal follows and the rest fits.
    auto ends_well = [&](size_t e) { return at[e] == Flag::Yes && e + m <= n && next[e + m] == Flag::Yes; };
    if (IsFreeText(p.tokens[k])) {
      const bool trims = Trimmed(k), digit_ends = BeforeShape(k);
      bool later = false;  // some e > pos ends a non-empty value well
      for (size_t pos = n + 1; pos-- > 0;) {
        const bool well = ends_well(pos);
        const bool starts = !(trims && pos < n && text[pos] == L' ');
        fit[pos] = well || (later && starts) ? Flag::Yes : Flag::No;
        if (well && pos > 0 && !(digit_ends && IsAsciiDigit(text[pos - 1])) && !(trims && text[pos - 1] == L' ')) {
          later = true;
        }
      }
    } else {
      for (size_t pos = 0; pos <= n; ++pos) {
        if (!can_start(k, pos)) continue;
        ShapeEnds(p.tokens[k], pos, as_written_);
        for (size_t e : s_.ends) {
          if (ends_well(e)) {
            fit[pos] = Flag::Yes;
            break;
          }
        }
      }
    }
  }
}

std::optional<std::pair<LineValues, size_t>> PatternMatcher::TakeValues() {
  const TemplateParts& p = pattern_->parts;
  const size_t n = line_.size();
  const size_t count = p.tokens.size();
  const size_t row = n + 1;
  const Flag* const fits = s_.fits.data();
  const Flag* const literal_at = s_.literal_at.data();
  size_t pos = p.head.size();
  LineValues v;
  size_t free_text = 0;
  bool have[kTokens.size()] = {};
  DateReading date;
  for (size_t k = 0; k < count; ++k) {
    const Token token = p.tokens[k];
    const size_t m = p.literals[k].size();
    const Flag* next = fits + (k + 1) * row;
    const Flag* at = literal_at + k * row;
    auto ends_well = [&](size_t e) { return at[e] == Flag::Yes && e + m <= n && next[e + m] == Flag::Yes; };
    size_t end = std::wstring::npos;
    if (IsFreeText(token)) {
      auto allowed = [&](size_t e) {
        return ends_well(e) && (e == pos || (StartsFreeText(k, pos) && EndsFreeText(k, e)));
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
      ShapeEnds(token, pos, as_written_);
      for (size_t e : s_.ends) {
        if (ends_well(e)) {
          end = e;
          break;
        }
      }
    }
    // fits(k, pos) promised an end.
    if (end == std::wstring::npos) return std::nullopt;
    if (IsFreeText(token)) free_text += end - pos;
    const auto index = static_cast<size_t>(token);
    if (!have[index]) {
      have[index] = true;
      Keep(k, pos, end, v, date);
    }
    pos = end + m;
  }
  const auto resolved = DateOf(date, v.hour, v.minute, now_);
  if (!resolved) return std::nullopt;
  v.date = *resolved;
  return std::make_pair(std::move(v), n - free_text);
}

void PatternMatcher::Keep(size_t k, size_t pos, size_t end, LineValues& v, DateReading& date) const {
  const TemplateParts& p = pattern_->parts;
  const Token token = p.tokens[k];
  const auto value = [&] { return line_.substr(pos, end - pos); };
  switch (token) {
    case Token::Date:
      // The first reading of this length in the order ShapeEnds left them.
      for (const DateReading& d : s_.dates) {
        if (d.end == end) {
          date = d;
          break;
        }
      }
      break;
    case Token::Time: {
      const auto t = ReadTimeAt(line_, pos, formats_.time_separator);
      v.hour = t->hour;
      v.minute = t->minute;
      if (!p.literals[k].empty() && IsAsciiUpper(p.literals[k][0])) v.zone = p.literals[k].substr(0, 1);
      break;
    }
    case Token::SatelliteName: v.satellite_name = value(); break;
    case Token::Rev: v.rev = value(); break;
    case Token::Memo: v.memo = value(); break;
    case Token::Mode: v.mode = value(); break;
    case Token::Uplink:
    case Token::Downlink: {
      const auto f = ReadMegahertzAt(line_, pos, formats_.decimal_mark);
      (token == Token::Uplink ? v.uplink : v.downlink) = Frequency{value(), f->kilohertz};
      break;
    }
    case Token::LogFrequency:
      for (const LogFrequencyReading& f : s_.log_frequencies) {
        if (f.end == end) v.log_frequency = LogFrequency{value(), f.uplink_mhz, f.downlink_mhz};
      }
      break;
  }
}

std::optional<std::pair<LineValues, size_t>> ReadShape(const std::wstring& line, const Pattern& pattern,
                                                       const LocaleFormats& formats, const DatePicture& picture,
                                                       const LocalTime& now, Scratch& scratch) {
  // Every literal must fit in the line: no need to look further when they cannot.
  if (pattern.literal_length > line.size()) return std::nullopt;
  // A split whose every shaped value is in the writer's own form is what the writer wrote; only a
  // line edited by hand or written on another machine needs the other readings.
  PatternMatcher matcher(line, formats, picture, now, scratch);
  const bool memo_as_typed = pattern.shape == LineShape::Fallback;
  if (auto read = matcher.Match(pattern, true, memo_as_typed)) return read;
  return matcher.Match(pattern, false, memo_as_typed);
}

}  // namespace

struct LogLineReader::Compiled {
  LocaleFormats formats;
  LocalTime now;
  std::vector<Pattern> shapes;       // in the order they are tried
  std::vector<DatePicture> pictures;  // the readable ones, in the order they are tried
  Scratch scratch;
};

LogLineReader::LogLineReader(const std::wstring& template_text, const LocaleFormats& formats, const LocalTime& now)
    : c_(std::make_unique<Compiled>()) {
  c_->formats = formats;
  c_->now = now;
  const std::wstring default_template = kDefaultTemplate;
  const std::pair<std::wstring, LineShape> shapes[] = {
      {template_text, LineShape::Current},
      {default_template, LineShape::Default},
      {kFallbackShape, LineShape::Fallback},
  };
  for (const auto& [text, shape] : shapes) {
    if (shape == LineShape::Default && template_text == default_template) continue;
    if (auto pattern = ReadablePattern(text, shape, formats)) c_->shapes.push_back(std::move(*pattern));
  }
  for (const std::wstring& picture : ReadingPictures(formats.short_date)) {
    DatePicture compiled(picture);
    if (compiled.Readable()) c_->pictures.push_back(std::move(compiled));
  }
}

LogLineReader::~LogLineReader() = default;
LogLineReader::LogLineReader(LogLineReader&&) noexcept = default;
LogLineReader& LogLineReader::operator=(LogLineReader&&) noexcept = default;

std::optional<LineValues> LogLineReader::Read(const std::wstring& line) {
  // A station line is never a contact, whatever a template might make of its location.
  if (ReadStationLine(line)) return std::nullopt;
  Compiled& c = *c_;
  // The machine's own picture first for every shape: another picture is only a way to read a
  // date that this machine did not write.
  for (const DatePicture& picture : c.pictures) {
    std::optional<LineValues> best;
    size_t best_structure = 0;
    for (const Pattern& pattern : c.shapes) {
      // A later shape is taken only when it accounts for more of the line: one that cannot is
      // passed over (a composed line is never read again as a fallback line).
      const size_t most = pattern.literal_length + pattern.shaped_most + pattern.dates * picture.MostLength();
      if (best && std::min(most, line.size()) <= best_structure) continue;
      auto read = ReadShape(line, pattern, c.formats, picture, c.now, c.scratch);
      if (read && (!best || read->second > best_structure)) {
        best = std::move(read->first);
        best->shape = pattern.shape;
        best_structure = read->second;
      }
    }
    if (best) return best;
  }
  return std::nullopt;
}

std::optional<LineValues> ReadWithTemplate(const std::wstring& line, const std::wstring& template_text,
                                           const LocaleFormats& formats, const LocalTime& now) {
  const auto pattern = ReadablePattern(template_text, LineShape::Current, formats);
  if (!pattern) return std::nullopt;
  Scratch scratch;
  for (const std::wstring& picture : ReadingPictures(formats.short_date)) {
    const DatePicture compiled(picture);
    if (!compiled.Readable()) continue;
    if (auto read = ReadShape(line, *pattern, formats, compiled, now, scratch)) return std::move(read->first);
  }
  return std::nullopt;
}

std::optional<LineValues> ReadLogLine(const std::wstring& line, const std::wstring& template_text,
                                      const LocaleFormats& formats, const LocalTime& now) {
  return LogLineReader(template_text, formats, now).Read(line);
}

std::vector<std::wstring> SplitAtEveryLineEnd(const std::wstring& text) {
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

}  // namespace zelmor::entry

#include "entry/line_reader.h"

#include <algorithm>
#include <utility>

namespace zelmor::entry {
namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsUpper(wchar_t c) { return c >= L'A' && c <= L'Z'; }

// The template's parts, when it can make a contact: "#DT" and "#TM" in it, and not too many tokens.
std::optional<TemplateParts> ReadablePattern(const std::wstring& template_text) {
  TemplateParts parts = SplitTemplate(template_text);
  const auto has = [&](Token t) { return std::find(parts.tokens.begin(), parts.tokens.end(), t) != parts.tokens.end(); };
  if (parts.tokens.size() > kMaxTemplateTokens || !has(Token::Date) || !has(Token::Time)) return std::nullopt;
  return parts;
}

// --- Reading one line with one pattern ----------------------------------------------------------

class LineReader {
 public:
  LineReader(const std::wstring& line, const LocaleFormats& formats, const DatePicture& picture, const LocalTime& now)
      : line_(line), formats_(formats), picture_(picture), now_(now) {}

  // The values, and how many characters of the line the template's literals and shaped values
  // account for (the rest is free text). `as_written`: only values in the form the writer gives
  // them (shaped values without a leading zero it does not write, trimmed values without spaces
  // around them); `memo_as_typed`: the shape writes the memo untrimmed (the fallback line's).
  std::optional<std::pair<LineValues, size_t>> Read(const TemplateParts& p, bool as_written,
                                                    bool memo_as_typed) const;

 private:
  // Where a shaped value starting at `pos` can end, in order of preference.
  void ShapeEnds(Token token, size_t pos, bool as_written, std::vector<size_t>& ends) const;
  // Positions where `literal` occurs in the line (Knuth-Morris-Pratt, so a long literal over a
  // long line costs their lengths added, not multiplied).
  std::vector<bool> Occurrences(const std::wstring& literal) const;

  const std::wstring& line_;
  const LocaleFormats& formats_;
  const DatePicture& picture_;
  const LocalTime& now_;
  mutable std::vector<DateReading> dates_;
  mutable std::vector<LogFrequencyReading> log_frequencies_;
};

void LineReader::ShapeEnds(Token token, size_t pos, bool as_written, std::vector<size_t>& ends) const {
  ends.clear();
  switch (token) {
    case Token::Date:
      // As written first, then longest first; each end once, where it is first preferred.
      picture_.ReadAt(line_, pos, dates_);
      std::stable_sort(dates_.begin(), dates_.end(), [](const DateReading& a, const DateReading& b) {
        return a.as_written != b.as_written ? a.as_written : a.end > b.end;
      });
      for (const DateReading& d : dates_) {
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
      ReadLogFrequencyAt(line_, pos, log_frequencies_);
      for (const LogFrequencyReading& f : log_frequencies_) {
        if (f.as_written || !as_written) ends.push_back(f.end);
      }
      return;
    default:
      return;
  }
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

std::optional<std::pair<LineValues, size_t>> LineReader::Read(const TemplateParts& p, bool as_written,
                                                              bool memo_as_typed) const {
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
  // Where free text of token k may start and end when it is not empty: never with the digit of a
  // number right after it, and in the writer's own form never with a space it trims.
  auto trimmed = [&](size_t k) {
    const Token t = p.tokens[k];
    return as_written && (t == Token::Rev || t == Token::Mode || (t == Token::Memo && !memo_as_typed));
  };
  auto starts_free_text = [&](size_t k, size_t pos) { return !(trimmed(k) && pos < n && line_[pos] == L' '); };
  auto ends_free_text = [&](size_t k, size_t e) {
    const bool before_shape = p.literals[k].empty() && k + 1 < count && !IsFreeText(p.tokens[k + 1]);
    return !(before_shape && IsDigit(line_[e - 1])) && !(trimmed(k) && line_[e - 1] == L' ');
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
      bool later = false;  // some e > pos ends a non-empty value well
      for (size_t pos = n + 1; pos-- > 0;) {
        fit[pos] = ends_well(pos) || (later && starts_free_text(k, pos));
        later = later || (pos > 0 && ends_well(pos) && ends_free_text(k, pos));
      }
    } else {
      for (size_t pos = 0; pos <= n; ++pos) {
        if (!can_start(k, pos)) continue;
        ShapeEnds(p.tokens[k], pos, as_written, ends);
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

  LineValues v;
  size_t free_text = 0;
  bool have[kTokens.size()] = {};
  DateReading date;
  for (size_t k = 0; k < count; ++k) {
    const Token token = p.tokens[k];
    const size_t m = p.literals[k].size();
    const auto& next = fits[k + 1];
    const auto& at = literal_at[k];
    auto ends_well = [&](size_t e) { return at[e] && e + m <= n && next[e + m]; };
    size_t end = std::wstring::npos;
    if (IsFreeText(token)) {
      auto allowed = [&](size_t e) {
        return ends_well(e) && (e == pos || (starts_free_text(k, pos) && ends_free_text(k, e)));
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
      ShapeEnds(token, pos, as_written, ends);
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
          // The first reading of this length in the order ShapeEnds left them.
          for (const DateReading& d : dates_) {
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
          if (!p.literals[k].empty() && IsUpper(p.literals[k][0])) v.zone = p.literals[k].substr(0, 1);
          break;
        }
        case Token::SatelliteName: v.satellite_name = value; break;
        case Token::Rev: v.rev = value; break;
        case Token::Memo: v.memo = value; break;
        case Token::Mode: v.mode = value; break;
        case Token::Uplink:
        case Token::Downlink: {
          const auto f = ReadMegahertzAt(line_, pos, formats_.decimal_mark);
          (token == Token::Uplink ? v.uplink : v.downlink) = Frequency{value, f->kilohertz};
          break;
        }
        case Token::LogFrequency:
          for (const LogFrequencyReading& f : log_frequencies_) {
            if (f.end == end) v.log_frequency = LogFrequency{value, f.uplink_mhz, f.downlink_mhz};
          }
          break;
      }
    }
    pos = end + m;
  }
  const auto resolved = DateOf(date, v.hour, v.minute, now_);
  if (!resolved) return std::nullopt;
  v.date = *resolved;
  return std::make_pair(std::move(v), n - free_text);
}

std::optional<std::pair<LineValues, size_t>> ReadShape(const std::wstring& line, const TemplateParts& pattern,
                                                       LineShape shape, const LocaleFormats& formats,
                                                       const DatePicture& picture, const LocalTime& now) {
  // Every literal must fit in the line: no need to look further when they cannot.
  size_t literal_length = pattern.head.size();
  for (const auto& l : pattern.literals) literal_length += l.size();
  if (literal_length > line.size()) return std::nullopt;
  // A split whose every shaped value is in the writer's own form is what the writer wrote; only a
  // line edited by hand or written on another machine needs the other readings.
  const LineReader reader(line, formats, picture, now);
  const bool memo_as_typed = shape == LineShape::Fallback;
  if (auto read = reader.Read(pattern, true, memo_as_typed)) return read;
  return reader.Read(pattern, false, memo_as_typed);
}

}  // namespace

std::optional<LineValues> ReadWithTemplate(const std::wstring& line, const std::wstring& template_text,
                                           const LocaleFormats& formats, const LocalTime& now) {
  const auto pattern = ReadablePattern(template_text);
  if (!pattern) return std::nullopt;
  for (const std::wstring& picture : ReadingPictures(formats.short_date)) {
    const DatePicture compiled(picture);
    if (!compiled.Readable()) continue;
    if (auto read = ReadShape(line, *pattern, LineShape::Current, formats, compiled, now)) {
      return std::move(read->first);
    }
  }
  return std::nullopt;
}

std::optional<LineValues> ReadLogLine(const std::wstring& line, const std::wstring& template_text,
                                      const LocaleFormats& formats, const LocalTime& now) {
  // A station line is never a contact, whatever a template might make of its location.
  if (ReadStationLine(line)) return std::nullopt;
  const std::wstring default_template = kDefaultTemplate;
  const std::pair<std::optional<TemplateParts>, LineShape> shapes[] = {
      {ReadablePattern(template_text), LineShape::Current},
      {template_text == default_template ? std::nullopt : ReadablePattern(default_template), LineShape::Default},
      {ReadablePattern(kFallbackShape), LineShape::Fallback},
  };
  // The machine's own picture first for every shape: another picture is only a way to read a
  // date that this machine did not write.
  for (const std::wstring& picture : ReadingPictures(formats.short_date)) {
    const DatePicture compiled(picture);
    if (!compiled.Readable()) continue;
    std::optional<LineValues> best;
    size_t best_structure = 0;
    for (const auto& [pattern, shape] : shapes) {
      if (!pattern) continue;
      auto read = ReadShape(line, *pattern, shape, formats, compiled, now);
      if (read && (!best || read->second > best_structure)) {
        best = std::move(read->first);
        best->shape = shape;
        best_structure = read->second;
      }
    }
    if (best) return best;
  }
  return std::nullopt;
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

}  // namespace zelmor::entry

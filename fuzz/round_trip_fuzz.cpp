// The log line written and read back, read(write(x)) == x: for a template, feed values, memo,
// short-date picture, time separator, decimal mark and clock that the writer accepts, reading the
// line it writes gives back the date, the time, the memo and the satellite values as written;
// reading the fallback line gives back its date, time and the memo exactly as typed.
//
// Fields: template, satellite name, receive frequency, transmit frequency, Rev, mode, memo,
// short-date picture, time separator, decimal mark, the contact's date and time ("2026 12 7 8 30"),
// and the minutes from the contact to the reading ("90"). Missing fields take the worked example's
// values, the default template and Japanese Windows' formats.
//
// The domain. The round trip is asserted for every input the writer accepts except these, where
// it cannot hold:
//   - a template without "#DT" and "#TM", or with more than kMaxTemplateTokens tokens: no contact
//     is read with it (a line needs its date and time);
//   - CR or LF anywhere in the line (in a value, the template, the picture or the separator): a
//     log's line ends there, so the line reads back as two;
//   - a value holding a token that a later step of the writer expands ("test #TX" as memo), or
//     forming one with the text beside it: the line holds the expansion, not the value;
//   - spaces around the memo, Rev and mode, and a mode of LSB or USB: the writer trims the one and
//     writes SSB for the other, so what must come back is what was written, not what was typed;
//   - a clock outside the years 1 to 9999, and a picture without a day number or a month: no
//     calendar date is written, or none can be read from what is;
//   - a picture without the year read a year or more after the contact (two digits of the year: a
//     century or more): the reading is the latest such date that is not in the future, a later
//     one than the contact's;
//   - a decimal mark beginning with a digit: it runs into the megahertz before it;
//   - a line that splits more than one way: two different contacts then write the same line, and
//     whichever the reader picks (its rules in line_reader.h) is wrong for the other. SplitCount
//     counts the splits, in values the writer writes and with the reader's assumptions: the
//     satellite name, Rev and mode hold neither the literal after them nor the memo's (the
//     tracking program gives single words, and the memo takes the longest text), and free text
//     right before a shaped value does not end with a digit. Examples: a satellite name holding
//     the literal after it ("AO-7/Rev:" in the default template), "#MM#SN" with nothing between,
//     a memo ending in a digit right before "#LF", a date "yyMd" of 26127 (7 December or 27 January);
//   - for ReadLogLine, a line that another shape Zelmor tries (the current template, the default
//     one, the fallback line's) also reads: the one that accounts for more of the line wins, as
//     documented, so a memo made to look like the rest of a line reads as that line;
//   - a line that is a station line (it begins "#STATION "): a template that writes one has its
//     lines taken for the operator's station, never for contacts.
//
// The station line too, from fields 12 to 16 (call sign, grids separated by ",", prefecture,
// city, Station Location): a station of the shapes the dialog gives (log_format.h) reads back
// whole from the line written for it, and that line is never read as a contact. The same fields as
// the operator types them in the dialog: a station it takes is stated in the log and read back
// with its rules as the same station, never as a broken line.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "base/time_zone.h"
#include "base/text.h"
#include "entry/date_picture.h"
#include "entry/line_reader.h"
#include "entry/log_format.h"
#include "entry/log_line.h"
#include "fuzz_input.h"
#include "station/station.h"

namespace zelmor::fuzz {
namespace {

using entry::DatePicture;
using entry::DateReading;
using entry::LocaleFormats;
using entry::TemplateParts;
using entry::Token;

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool HasLineEnd(const std::wstring& text) { return text.find_first_of(L"\r\n") != std::wstring::npos; }

bool Holds(const std::vector<Token>& tokens, Token t) { return std::find(tokens.begin(), tokens.end(), t) != tokens.end(); }

// The literal after the first memo of the template, or empty.
std::wstring MemoLiteral(const TemplateParts& p) {
  for (size_t k = 0; k < p.tokens.size(); ++k) {
    if (p.tokens[k] == Token::Memo) return p.literals[k];
  }
  return std::wstring();
}

// The most digits of whole megahertz the writer writes: its hertz fit in 64 bits.
constexpr size_t kMostMegahertzDigits = 13;

// Whole numbers as the writer writes them: no leading zero but for zero itself, no "-0".
bool WrittenWhole(const std::wstring& digits, bool negative) {
  if (digits.empty() || digits.size() > kMostMegahertzDigits || (digits.size() > 1 && digits[0] == L'0')) return false;
  return !(negative && digits.find_first_not_of(L'0') == std::wstring::npos);
}

// Whether a shaped value from text[pos, end) is one the writer writes.
bool WrittenFrequency(const std::wstring& text, size_t pos, size_t end, const std::wstring& mark) {
  const bool negative = text[pos] == L'-';
  const size_t digits_from = negative ? pos + 1 : pos;
  const size_t digits_to = end - 3 - (mark.empty() ? 1 : mark.size());
  const std::wstring whole = text.substr(digits_from, digits_to - digits_from);
  if (whole.size() > kMostMegahertzDigits || (whole.size() > 1 && whole[0] == L'0')) return false;
  return !(negative && whole == L"0" && text.compare(end - 3, 3, L"000") == 0);
}

bool WrittenLogFrequency(const std::wstring& value) {
  const size_t slash = value.find(L'/', 1);
  auto half = [&](size_t from, size_t to) {
    const bool negative = value[from] == L'-';
    return WrittenWhole(value.substr(negative ? from + 1 : from, to - (negative ? from + 1 : from)), negative);
  };
  return half(0, slash) && half(slash + 1, value.size());
}

// Where an "n/n" LOG frequency starting at text[pos] can end: after any digit of its downlink.
std::vector<size_t> LogFrequencyEnds(const std::wstring& text, size_t pos) {
  std::vector<size_t> ends;
  size_t i = pos;
  for (int half = 0; half < 2; ++half) {
    if (half == 1) {
      if (i >= text.size() || text[i] != L'/') return {};
      ++i;
    }
    if (i < text.size() && text[i] == L'-') ++i;
    const size_t digits = i;
    while (i < text.size() && IsDigit(text[i])) {
      ++i;
      if (half == 1) ends.push_back(i);
    }
    if (i == digits) return {};
  }
  return ends;
}

// The ways the line splits into the template's literals and values the writer writes, under the
// reader's assumptions (see the domain above): 0, 1, or 2 for "more than one". A dynamic program
// over (token, position) with prefix sums, so that it stays linear in the line like the reader,
// but counts every split instead of choosing one.
int SplitCount(const std::wstring& line, const TemplateParts& p, const LocaleFormats& formats,
               const DatePicture& picture, bool memo_as_typed) {
  const size_t n = line.size(), count = p.tokens.size();
  if (line.compare(0, p.head.size(), p.head) != 0) return 0;
  auto occurrences = [&](const std::wstring& literal) {
    std::vector<bool> at(n + 1, literal.empty());
    if (!literal.empty()) {
      for (size_t i = line.find(literal); i != std::wstring::npos; i = line.find(literal, i + 1)) at[i] = true;
    }
    return at;
  };
  std::vector<std::vector<bool>> literal_at(count);
  for (size_t k = 0; k < count; ++k) literal_at[k] = occurrences(p.literals[k]);
  const std::wstring memo_literal = MemoLiteral(p);

  std::vector<std::vector<int>> ways(count + 1, std::vector<int>(n + 1, 0));
  ways[count][n] = 1;
  std::vector<DateReading> dates;
  for (size_t k = count; k-- > 0;) {
    const Token token = p.tokens[k];
    const std::wstring& literal = p.literals[k];
    const size_t m = literal.size();
    const auto& next = ways[k + 1];
    auto after = [&](size_t e) { return literal_at[k][e] && e + m <= n ? next[e + m] : 0; };
    auto& here = ways[k];
    if (entry::IsFreeText(token)) {
      const bool before_shape = m == 0 && k + 1 < count && !entry::IsFreeText(p.tokens[k + 1]);
      const bool trimmed = token == Token::Rev || token == Token::Mode || (token == Token::Memo && !memo_as_typed);
      // The furthest end a value starting at each place may have without holding a forbidden literal.
      std::vector<size_t> limit(n + 1, n);
      if (token != Token::Memo) {
        for (const std::wstring* forbidden : {&literal, &memo_literal}) {
          if (forbidden->empty()) continue;
          const auto at = occurrences(*forbidden);
          size_t first = std::wstring::npos;
          for (size_t pos = n + 1; pos-- > 0;) {
            if (at[pos]) first = pos;
            if (first != std::wstring::npos) limit[pos] = std::min(limit[pos], first + forbidden->size() - 1);
          }
        }
      }
      // sum[e]: the splits in which a non-empty value ends before e.
      std::vector<int64_t> sum(n + 2, 0);
      for (size_t e = 0; e <= n; ++e) {
        const bool end_ok = e > 0 && !(before_shape && IsDigit(line[e - 1])) && !(trimmed && line[e - 1] == L' ');
        sum[e + 1] = sum[e] + (end_ok ? after(e) : 0);
      }
      for (size_t pos = 0; pos <= n; ++pos) {
        int64_t total = after(pos);  // the empty value
        if (pos < n && !(trimmed && line[pos] == L' ') && limit[pos] > pos) total += sum[limit[pos] + 1] - sum[pos + 1];
        here[pos] = static_cast<int>(std::min<int64_t>(total, 2));
      }
      continue;
    }
    for (size_t pos = 0; pos <= n; ++pos) {
      if (k == 0 ? pos != p.head.size()
                 : !(p.literals[k - 1].empty() ||
                     (pos >= p.literals[k - 1].size() && literal_at[k - 1][pos - p.literals[k - 1].size()]))) {
        continue;
      }
      int total = 0;
      switch (token) {
        case Token::Date:
          picture.ReadAt(line, pos, dates);
          for (const DateReading& d : dates) {
            if (d.as_written) total += after(d.end);
          }
          break;
        case Token::Time:
          if (const auto t = entry::ReadTimeAt(line, pos, formats.time_separator)) total += after(t->end);
          break;
        case Token::Uplink:
        case Token::Downlink:
          if (const auto f = entry::ReadMegahertzAt(line, pos, formats.decimal_mark)) {
            if (WrittenFrequency(line, pos, f->end, formats.decimal_mark)) total += after(f->end);
          }
          break;
        case Token::LogFrequency:
          // Every end within the downlink's digits: the digits after it may belong to the next value.
          for (size_t e : LogFrequencyEnds(line, pos)) {
            if (WrittenLogFrequency(line.substr(pos, e - pos))) total += after(e);
          }
          break;
        default:
          break;
      }
      here[pos] = std::min(total, 2);
    }
  }
  return ways[0][p.head.size()];
}

// The written values, by token.
struct Written {
  std::wstring values[entry::kTokens.size()];
  const std::wstring& operator[](Token t) const { return values[static_cast<size_t>(t)]; }
};

// The template filled in one pass: each of its own tokens replaced, nothing searched again.
std::wstring FilledOnce(const TemplateParts& p, const Written& w) {
  std::wstring line = p.head;
  for (size_t k = 0; k < p.tokens.size(); ++k) line += w[p.tokens[k]] + p.literals[k];
  return line;
}

// The written split itself keeps the reader's assumptions.
bool KeepsAssumptions(const TemplateParts& p, const Written& w) {
  const std::wstring memo_literal = MemoLiteral(p);
  for (size_t k = 0; k < p.tokens.size(); ++k) {
    const Token t = p.tokens[k];
    const std::wstring& value = w[t];
    if (!entry::IsFreeText(t)) continue;
    if (t != Token::Memo) {
      for (const std::wstring* forbidden : {&p.literals[k], &memo_literal}) {
        if (!forbidden->empty() && value.find(*forbidden) != std::wstring::npos) return false;
      }
    }
    const bool before_shape = p.literals[k].empty() && k + 1 < p.tokens.size() && !entry::IsFreeText(p.tokens[k + 1]);
    if (before_shape && !value.empty() && IsDigit(value.back())) return false;
  }
  return true;
}

// Whether the clock reading lies where the picture tells the contact's year (see the domain).
bool YearTold(entry::YearDigits digits, int elapsed_minutes) {
  constexpr int kDay = 24 * 60;
  switch (digits) {
    case entry::YearDigits::Four: return true;
    case entry::YearDigits::Two: return elapsed_minutes >= 0 && elapsed_minutes < 36524 * kDay;
    case entry::YearDigits::None: return elapsed_minutes >= 0 && elapsed_minutes < 365 * kDay;
  }
  return false;
}

std::string Describe(const std::optional<entry::LineValues>& v) {
  if (!v) return "nothing";
  std::string text = std::to_string(v->date.year) + "-" + std::to_string(v->date.month) + "-" +
                     std::to_string(v->date.day) + " " + std::to_string(v->hour) + ":" + std::to_string(v->minute);
  auto add = [&](const char* name, const std::optional<std::wstring>& value) {
    if (value) text += std::string(" ") + name + "=[" + Show(*value) + "]";
  };
  add("memo", v->memo);
  add("sn", v->satellite_name);
  add("rv", v->rev);
  add("md", v->mode);
  if (v->uplink) text += " up=" + Show(v->uplink->text) + "/" + std::to_string(v->uplink->kilohertz);
  if (v->downlink) text += " down=" + Show(v->downlink->text) + "/" + std::to_string(v->downlink->kilohertz);
  if (v->log_frequency) text += " lf=" + Show(v->log_frequency->text);
  return text;
}

// Kilohertz as a "#0.000" text writes them: the megahertz before the mark (which may hold digits
// of its own), the three decimals after it.
int64_t KilohertzOf(const std::wstring& written, const std::wstring& mark) {
  const bool negative = written[0] == L'-';
  const size_t integer_end = written.size() - 3 - (mark.empty() ? 1 : mark.size());
  int64_t khz = 0;
  for (size_t i = negative ? 1 : 0; i < integer_end; ++i) khz = khz * 10 + (written[i] - L'0');
  for (size_t i = written.size() - 3; i < written.size(); ++i) khz = khz * 10 + (written[i] - L'0');
  return negative ? -khz : khz;
}

void CheckValues(const std::optional<entry::LineValues>& v, const TemplateParts& p, const Written& w,
                 const LocalTime& contact, const std::wstring& mark, const std::wstring& line, const char* how) {
  const std::string context = std::string(how) + " of " + Show(line) + "\n  read " + Describe(v);
  FUZZ_CHECK(v.has_value(), context);
  FUZZ_CHECK(v->date == (CalendarDate{contact.year, contact.month, contact.day}) &&
                 v->hour == contact.hour && v->minute == contact.minute,
             "date or time: " + context);
  auto same = [&](Token t, const std::optional<std::wstring>& value) {
    return Holds(p.tokens, t) ? value == w[t] : !value.has_value();
  };
  FUZZ_CHECK(same(Token::Memo, v->memo), "memo: " + context);
  FUZZ_CHECK(same(Token::SatelliteName, v->satellite_name), "satellite name: " + context);
  FUZZ_CHECK(same(Token::Rev, v->rev), "Rev: " + context);
  FUZZ_CHECK(same(Token::Mode, v->mode), "mode: " + context);
  for (const Token t : {Token::Uplink, Token::Downlink}) {
    const auto& f = t == Token::Uplink ? v->uplink : v->downlink;
    if (!Holds(p.tokens, t)) {
      FUZZ_CHECK(!f, "a frequency the template has not: " + context);
      continue;
    }
    FUZZ_CHECK(f && f->text == w[t] && f->kilohertz == KilohertzOf(w[t], mark), "frequency: " + context);
  }
  if (Holds(p.tokens, Token::LogFrequency)) {
    const auto& lf = v->log_frequency;
    const std::wstring up = std::to_wstring(lf ? lf->uplink_mhz : 0), down = std::to_wstring(lf ? lf->downlink_mhz : 0);
    FUZZ_CHECK(lf && lf->text == w[Token::LogFrequency] && up + L"/" + down == lf->text, "LOG frequency: " + context);
  } else {
    FUZZ_CHECK(!v->log_frequency, "a LOG frequency the template has not: " + context);
  }
}

void CheckComposed(const std::wstring& template_text, const entry::FeedSnapshot& feed, const std::wstring& memo,
                   const LocaleFormats& formats, const LocalTime& contact, const LocalTime& now,
                   const DatePicture& picture) {
  const TemplateParts p = entry::SplitTemplate(template_text);
  if (p.tokens.size() > entry::kMaxTemplateTokens || !Holds(p.tokens, Token::Date) || !Holds(p.tokens, Token::Time)) {
    return;
  }
  const auto line = entry::LogLine(template_text, feed, memo, contact, formats);
  if (!line || HasLineEnd(*line) || entry::ReadStationLine(*line)) return;
  const std::wstring& mark = formats.decimal_mark;
  if (!mark.empty() && IsDigit(mark[0]) && (Holds(p.tokens, Token::Uplink) || Holds(p.tokens, Token::Downlink))) {
    return;
  }
  Written w;
  auto set = [&](Token t, std::wstring value) { w.values[static_cast<size_t>(t)] = std::move(value); };
  set(Token::Date, picture.Format(contact));
  set(Token::Time, entry::FormatTime(contact, formats.time_separator));
  set(Token::SatelliteName, feed.satellite_name);
  set(Token::Rev, TrimSpaces(feed.rev));
  set(Token::Memo, TrimSpaces(memo));
  set(Token::LogFrequency, *entry::LogFrequencyText(feed.transmit_frequency, feed.receive_frequency, mark));
  set(Token::Uplink, entry::FormatFrequencyMHz(*entry::ParseFrequencySingle(feed.transmit_frequency, mark), mark));
  set(Token::Downlink, entry::FormatFrequencyMHz(*entry::ParseFrequencySingle(feed.receive_frequency, mark), mark));
  set(Token::Mode, entry::ModeText(feed.mode));
  if (FilledOnce(p, w) != *line) return;
  if (!KeepsAssumptions(p, w) || SplitCount(*line, p, formats, picture, false) != 1) return;

  CheckValues(entry::ReadWithTemplate(*line, template_text, formats, now), p, w, contact, mark, *line,
              "ReadWithTemplate");
  if (template_text == entry::kDefaultTemplate) {
    const auto v = entry::ReadLogLine(*line, template_text, formats, now);
    CheckValues(v, p, w, contact, mark, *line, "ReadLogLine");
    FUZZ_CHECK(v->shape == entry::LineShape::Current, "read as another shape: " + Show(*line));
  }
}

void CheckFallback(const std::wstring& template_text, const std::wstring& memo, const LocaleFormats& formats,
                   const LocalTime& contact, const LocalTime& now, const DatePicture& picture) {
  const std::wstring line = entry::FallbackLine(memo, contact, formats);
  if (HasLineEnd(line) || entry::ReadStationLine(line)) return;
  const TemplateParts p = entry::SplitTemplate(entry::kFallbackShape);
  Written w;
  w.values[static_cast<size_t>(Token::Memo)] = memo;
  if (SplitCount(line, p, formats, picture, true) != 1) return;
  // The shapes tried before the fallback's.
  if (entry::ReadWithTemplate(line, template_text, formats, now) ||
      entry::ReadWithTemplate(line, entry::kDefaultTemplate, formats, now)) {
    return;
  }
  const auto v = entry::ReadLogLine(line, template_text, formats, now);
  CheckValues(v, p, w, contact, formats.decimal_mark, line, "ReadLogLine of the fallback line");
  FUZZ_CHECK(v->shape == entry::LineShape::Fallback, "fallback line read as another shape: " + Show(line));
}

// Whether the station is one the dialog gives: the writer's shapes (see log_format.h), and a
// Station Location that is printable text without blanks around it.
bool StationOfTheDialog(const entry::StationLine& s) {
  const auto capital_digit_slash = [](const std::wstring& t) {
    bool letter = false, digit = false;
    for (wchar_t c : t) {
      if (c >= L'A' && c <= L'Z') letter = true;
      else if (IsDigit(c)) digit = true;
      else if (c != L'/') return false;
    }
    return letter && digit && t.size() <= 20;
  };
  const auto grid = [](const std::wstring& g) {
    const auto field = [](wchar_t c) { return c >= L'A' && c <= L'R'; };
    const auto sub = [](wchar_t c) { return c >= L'a' && c <= L'x'; };
    return (g.size() == 4 || g.size() == 6) && field(g[0]) && field(g[1]) && IsDigit(g[2]) && IsDigit(g[3]) &&
           (g.size() == 4 || (sub(g[4]) && sub(g[5])));
  };
  const auto digits = [](const std::wstring& t, size_t least, size_t most) {
    return t.size() >= least && t.size() <= most && std::all_of(t.begin(), t.end(), IsDigit);
  };
  const std::wstring& loc = s.station_location;
  const bool printable = std::none_of(loc.begin(), loc.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; });
  return capital_digit_slash(s.call_sign) && !s.grids.empty() && s.grids.size() <= 4 &&
         std::all_of(s.grids.begin(), s.grids.end(), grid) && (s.prefecture.empty() || digits(s.prefecture, 2, 2)) &&
         (s.city.empty() || (!s.prefecture.empty() && digits(s.city, 4, 6))) && printable &&
         TrimSpaces(loc) == loc;
}

void CheckStation(const entry::StationLine& station, const std::wstring& template_text, const LocaleFormats& formats,
                  const LocalTime& now) {
  if (!StationOfTheDialog(station)) return;
  const std::wstring line = entry::FormatStationLine(station);
  const auto read = entry::ReadStationLine(line);
  FUZZ_CHECK(read == station, "station line " + Show(line) + " read back otherwise");
  FUZZ_CHECK(!entry::ReadLogLine(line, template_text, formats, now), "station line read as a contact: " + Show(line));
}

void CheckDialogStation(const station::StationText& typed) {
  const auto given = station::ReadStation(typed);
  const station::Station* s = std::get_if<station::Station>(&given);
  if (!s) return;
  const std::wstring line = entry::FormatStationLine(station::ToLine(*s));
  const auto read = station::StationOfLine(line);
  FUZZ_CHECK(read && std::holds_alternative<station::Station>(*read) && std::get<station::Station>(*read) == *s,
             "the dialog's station " + Show(line) + " reads back otherwise");
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor;
  const fuzz::Input in(data, size);
  const std::wstring template_text = in.Text(0, entry::kDefaultTemplate);
  const entry::FeedSnapshot feed{in.Text(1, L"SAT-1"), in.Text(2, L"435.850.000"), in.Text(3, L"145.950.000"),
                                 in.Text(4, L" 12345"), in.Text(5, L"USB")};
  const std::wstring memo = in.Text(6, L" CQ 599 ");
  const entry::LocaleFormats formats{in.Text(7, L"yyyy/MM/dd"), in.Text(8, L":"), in.Text(9, L".")};
  LocalTime contact = fuzz::TimeFrom(in.Text(10), LocalTime{2026, 12, 7, 8, 30, 0});
  contact.second = 0;
  const int elapsed = fuzz::TimeFrom(in.Text(11), LocalTime{90}).year;

  // A clock gives calendar dates and times, and the reading's clock is one too.
  if (!IsValid(CivilTime{contact.year, contact.month, contact.day, contact.hour, contact.minute, 0})) return 0;
  const CivilTime later =
      AddMinutes({contact.year, contact.month, contact.day, contact.hour, contact.minute, 0}, elapsed);
  if (!IsValid(later)) return 0;
  const LocalTime now{later.year, later.month, later.day, later.hour, later.minute, 0};
  const entry::DatePicture picture(formats.short_date);
  if (!picture.Readable() || fuzz::HasLineEnd(formats.short_date) || fuzz::HasLineEnd(formats.time_separator)) return 0;
  if (!fuzz::YearTold(picture.Year(), elapsed)) return 0;

  fuzz::CheckComposed(template_text, feed, memo, formats, contact, now, picture);
  fuzz::CheckFallback(template_text, memo, formats, contact, now, picture);

  entry::StationLine station{in.Text(12, L"JA1ABC/1"), {}, in.Text(14, L"10"), in.Text(15, L"100101"),
                             in.Text(16, L"東京 移動")};
  const std::wstring grids = in.Text(13, L"PM95,PM96");
  station.grids.emplace_back();
  for (wchar_t c : grids) {
    if (c == L',') station.grids.emplace_back();
    else station.grids.back() += c;
  }
  fuzz::CheckStation(station, template_text, formats, now);
  fuzz::CheckDialogStation({station.call_sign, grids, station.prefecture, station.city, station.station_location});
  return 0;
}

#include "entry/log_line.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace zelmor::entry {
namespace {

bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

bool IsAsciiSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

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

// 0 = Sunday. Only for dates a calendar can hold; -1 otherwise.
int DayOfWeek(const LocalTime& date) {
  if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > 31 || date.year < 1 ||
      date.year > 1000000) {
    return -1;
  }
  static const int kMonthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  int y = date.year - (date.month < 3 ? 1 : 0);
  return (y + y / 4 - y / 100 + y / 400 + kMonthOffset[date.month - 1] + date.day) % 7;
}

const wchar_t* DayName(int day_of_week, bool abbreviated) {
  static const wchar_t* const kShort[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
  static const wchar_t* const kLong[7] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                          L"Thursday", L"Friday", L"Saturday"};
  if (day_of_week < 0 || day_of_week > 6) return L"";
  return abbreviated ? kShort[day_of_week] : kLong[day_of_week];
}

const wchar_t* MonthName(int month, bool abbreviated) {
  static const wchar_t* const kShort[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                            L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  static const wchar_t* const kLong[12] = {L"January", L"February", L"March",     L"April",
                                           L"May",     L"June",     L"July",      L"August",
                                           L"September", L"October", L"November", L"December"};
  if (month < 1 || month > 12) return L"";
  return abbreviated ? kShort[month - 1] : kLong[month - 1];
}

// A decimal mark is only usable as one if it cannot be mistaken for part of the number.
bool UsableDecimalMark(const std::wstring& mark) {
  if (mark.empty()) return false;
  for (wchar_t c : mark) {
    if (IsAsciiDigit(c) || IsAsciiSpace(c) || c == L'+' || c == L'-') return false;
  }
  return true;
}

bool AllZeros(const std::string& digits) {
  return digits.find_first_not_of('0') == std::string::npos;
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

}  // namespace

std::optional<std::wstring> ReplaceToken(const std::wstring& text, const std::wstring& token,
                                         const std::wstring& value, std::size_t max_length) {
  if (token.empty()) return text;
  // Size the result first: repeated expansion must fail before it allocates, not after.
  size_t count = 0;
  for (size_t pos = text.find(token); pos != std::wstring::npos;
       pos = text.find(token, pos + token.size())) {
    ++count;
  }
  if (text.size() > max_length) return std::nullopt;
  if (value.size() > token.size() && count != 0) {
    const size_t growth_each = value.size() - token.size();
    if (growth_each > (max_length - text.size()) / count) return std::nullopt;
  }

  std::wstring result;
  result.reserve(text.size() - count * token.size() + count * value.size());
  size_t pos = 0;
  for (size_t hit = text.find(token); hit != std::wstring::npos; hit = text.find(token, pos)) {
    result.append(text, pos, hit - pos);
    result += value;
    pos = hit + token.size();
  }
  result.append(text, pos, std::wstring::npos);
  return result;
}

std::wstring FormatShortDate(const std::wstring& picture, const LocalTime& date) {
  std::wstring out;
  size_t i = 0;
  while (i < picture.size()) {
    const wchar_t c = picture[i];
    if (c == L'\'') {
      // Quoted text runs to the next lone quote (or the end); a doubled quote inside is one quote.
      ++i;
      while (i < picture.size()) {
        if (picture[i] == L'\'') {
          if (i + 1 < picture.size() && picture[i + 1] == L'\'') {
            out += L'\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += picture[i++];
      }
      continue;
    }
    if (c != L'd' && c != L'M' && c != L'y' && c != L'g') {
      out += c;
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    i += run;
    switch (c) {
      case L'd':
        if (run == 1) out += std::to_wstring(date.day);
        else if (run == 2) out += TwoDigits(date.day);
        else out += DayName(DayOfWeek(date), run == 3);
        break;
      case L'M':
        if (run == 1) out += std::to_wstring(date.month);
        else if (run == 2) out += TwoDigits(date.month);
        else out += MonthName(date.month, run == 3);
        break;
      case L'y': {
        const int short_year = ((date.year % 100) + 100) % 100;
        if (run == 1) out += std::to_wstring(short_year);
        else if (run == 2) out += TwoDigits(short_year);
        else out += FullYear(date.year);
        break;
      }
      default:  // 'g': the era is left out
        break;
    }
  }
  return out;
}

std::wstring FormatTime(const LocalTime& time, const std::wstring& separator) {
  return TwoDigits(time.hour) + separator + TwoDigits(time.minute);
}

std::wstring ModeText(const std::wstring& mode) {
  std::wstring trimmed = TrimSpaces(mode);
  if (trimmed == L"LSB" || trimmed == L"USB") return L"SSB";
  return trimmed;
}

std::optional<NumberText> ParseNumberText(const std::wstring& text, const std::wstring& decimal_mark) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsAsciiSpace(text[begin])) ++begin;
  while (end > begin && IsAsciiSpace(text[end - 1])) --end;

  NumberText number;
  size_t i = begin;
  if (i < end && (text[i] == L'+' || text[i] == L'-')) {
    number.negative = text[i] == L'-';
    ++i;
  }
  while (i < end && IsAsciiDigit(text[i])) number.integer_digits += static_cast<char>(text[i++]);
  if (i < end && UsableDecimalMark(decimal_mark) &&
      text.compare(i, decimal_mark.size(), decimal_mark) == 0) {
    i += decimal_mark.size();
    while (i < end && IsAsciiDigit(text[i])) number.fraction_digits += static_cast<char>(text[i++]);
  }
  if (i != end) return std::nullopt;
  if (number.integer_digits.empty() && number.fraction_digits.empty()) return std::nullopt;
  return number;
}

std::wstring WithoutGroupMarks(const std::wstring& frequency_text) {
  std::wstring digits;
  digits.reserve(frequency_text.size());
  for (wchar_t c : frequency_text) {
    if (c != L'.') digits += c;
  }
  return digits;
}

std::optional<float> ParseFrequencySingle(const std::wstring& frequency_text,
                                          const std::wstring& decimal_mark) {
  const auto number = ParseNumberText(WithoutGroupMarks(frequency_text), decimal_mark);
  if (!number) return std::nullopt;
  // from_chars rounds to the nearest float and ignores the C locale; the text is plain ASCII.
  std::string plain = number->integer_digits.empty() ? "0" : number->integer_digits;
  if (!number->fraction_digits.empty()) plain += "." + number->fraction_digits;
  float value = 0.0f;
  const auto [ptr, ec] =
      std::from_chars(plain.data(), plain.data() + plain.size(), value, std::chars_format::fixed);
  if (ec == std::errc::result_out_of_range && AllZeros(number->integer_digits)) {
    value = 0.0f;  // below the smallest float: as good as zero hertz
  } else if (ec != std::errc() || ptr != plain.data() + plain.size()) {
    return std::nullopt;
  }
  return number->negative ? -value : value;
}

std::optional<int64_t> ParseFrequencyInteger(const std::wstring& frequency_text,
                                             const std::wstring& decimal_mark) {
  const auto number = ParseNumberText(WithoutGroupMarks(frequency_text), decimal_mark);
  if (!number) return std::nullopt;
  uint64_t magnitude = 0;
  for (char c : number->integer_digits) {
    const auto digit = static_cast<uint64_t>(c - '0');
    if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) return std::nullopt;
    magnitude = magnitude * 10 + digit;
  }
  const std::string& fraction = number->fraction_digits;
  if (!fraction.empty()) {
    const bool above_half = fraction[0] > '5' || (fraction[0] == '5' && !AllZeros(fraction.substr(1)));
    const bool half = fraction[0] == '5' && AllZeros(fraction.substr(1));
    if (above_half || (half && magnitude % 2 == 1)) {
      if (magnitude == std::numeric_limits<uint64_t>::max()) return std::nullopt;
      ++magnitude;
    }
  }
  constexpr uint64_t kMaxPositive = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  if (number->negative) {
    if (magnitude > kMaxPositive + 1) return std::nullopt;
    if (magnitude == kMaxPositive + 1) return std::numeric_limits<int64_t>::min();
    return -static_cast<int64_t>(magnitude);
  }
  if (magnitude > kMaxPositive) return std::nullopt;
  return static_cast<int64_t>(magnitude);
}

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
  text += decimal_mark.empty() ? std::wstring(L".") : decimal_mark;
  text.append(kilohertz.begin() + static_cast<std::ptrdiff_t>(point), kilohertz.end());
  return text;
}

std::optional<std::wstring> LogFrequencyText(const std::wstring& transmit_text,
                                             const std::wstring& receive_text,
                                             const std::wstring& decimal_mark) {
  const auto transmit = ParseFrequencyInteger(transmit_text, decimal_mark);
  if (!transmit) return std::nullopt;
  const auto receive = ParseFrequencyInteger(receive_text, decimal_mark);
  if (!receive) return std::nullopt;
  return std::to_wstring(*transmit / 1000000) + L"/" + std::to_wstring(*receive / 1000000);
}

std::optional<std::wstring> LogLine(const std::wstring& template_text, const FeedSnapshot& feed,
                                    const std::wstring& memo, const LocalTime& now,
                                    const LocaleFormats& locale) {
  const auto receive = ParseFrequencySingle(feed.receive_frequency, locale.decimal_mark);
  if (!receive) return std::nullopt;
  const auto transmit = ParseFrequencySingle(feed.transmit_frequency, locale.decimal_mark);
  if (!transmit) return std::nullopt;
  const auto log_frequency =
      LogFrequencyText(feed.transmit_frequency, feed.receive_frequency, locale.decimal_mark);
  if (!log_frequency) return std::nullopt;

  // Each step searches everything the steps before it produced, so a value may carry a token of
  // a later step (and be expanded) but never one of an earlier step.
  const std::pair<const wchar_t*, std::wstring> steps[] = {
      {L"#DT", FormatShortDate(locale.short_date, now)},
      {L"#TM", FormatTime(now, locale.time_separator)},
      {L"#SN", feed.satellite_name},
      {L"#RV", TrimSpaces(feed.rev)},
      {L"#MM", TrimSpaces(memo)},
      {L"#LF", *log_frequency},
      {L"#TX", FormatFrequencyMHz(*transmit, locale.decimal_mark)},
      {L"#RX", FormatFrequencyMHz(*receive, locale.decimal_mark)},
      {L"#MD", ModeText(feed.mode)},
  };
  std::wstring line = template_text;
  for (const auto& [token, value] : steps) {
    auto replaced = ReplaceToken(line, token, value);
    if (!replaced) return std::nullopt;
    line = std::move(*replaced);
  }
  return line;
}

std::wstring FallbackLine(const std::wstring& memo, const LocalTime& now, const LocaleFormats& locale) {
  return FormatShortDate(locale.short_date, now) + L" " + FormatTime(now, locale.time_separator) +
         L"J " + memo;
}

std::optional<std::wstring> ComposeEntry(const std::wstring& template_text, Feed& feed, const std::wstring& memo,
                                         const LocalTime& now, const LocaleFormats& locale) {
  const std::wstring& mark = locale.decimal_mark;
  feed.BeginEntry();
  if (!feed.Request(kSatelliteName)) return std::nullopt;
  if (!feed.Request(kReceiveFrequency)) return std::nullopt;
  if (!ParseFrequencySingle(feed.Text(kReceiveFrequency), mark)) return std::nullopt;
  if (!feed.Request(kTransmitFrequency)) return std::nullopt;
  if (!ParseFrequencySingle(feed.Text(kTransmitFrequency), mark)) return std::nullopt;
  const auto log_frequency =
      LogFrequencyText(feed.Text(kTransmitFrequency), feed.Text(kReceiveFrequency), mark);
  if (!log_frequency) return std::nullopt;
  if (!feed.Request(kRev)) return std::nullopt;
  if (!feed.Request(kMode)) return std::nullopt;

  const FeedSnapshot snapshot{feed.Text(kSatelliteName), feed.Text(kReceiveFrequency),
                              feed.Text(kTransmitFrequency), feed.Text(kRev), feed.Text(kMode)};
  return LogLine(template_text, snapshot, memo, now, locale);
}

}  // namespace zelmor::entry

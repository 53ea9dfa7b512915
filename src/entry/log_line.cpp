#include "entry/log_line.h"

#include <charconv>
#include <limits>
#include <system_error>

#include "base/text.h"
#include "entry/date_picture.h"

namespace zelmor::entry {
namespace {

bool IsAsciiSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
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

std::optional<std::wstring> LogFrequencyText(const std::wstring& transmit_text,
                                             const std::wstring& receive_text,
                                             const std::wstring& decimal_mark) {
  const auto transmit = ParseFrequencyInteger(transmit_text, decimal_mark);
  if (!transmit) return std::nullopt;
  const auto receive = ParseFrequencyInteger(receive_text, decimal_mark);
  if (!receive) return std::nullopt;
  return FormatLogFrequency(*transmit / 1000000, *receive / 1000000);
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
  std::wstring values[kTokens.size()];
  for (size_t i = 0; i < kTokens.size(); ++i) {
    switch (kTokens[i].token) {
      case Token::Date: values[i] = FormatShortDate(locale.short_date, now); break;
      case Token::Time: values[i] = FormatTime(now, locale.time_separator); break;
      case Token::SatelliteName: values[i] = feed.satellite_name; break;
      case Token::Rev: values[i] = TrimSpaces(feed.rev); break;
      case Token::Memo: values[i] = TrimSpaces(memo); break;
      case Token::LogFrequency: values[i] = *log_frequency; break;
      case Token::Uplink: values[i] = FormatFrequencyMHz(*transmit, locale.decimal_mark); break;
      case Token::Downlink: values[i] = FormatFrequencyMHz(*receive, locale.decimal_mark); break;
      case Token::Mode: values[i] = ModeText(feed.mode); break;
    }
  }
  std::wstring line = template_text;
  for (size_t i = 0; i < kTokens.size(); ++i) {
    auto replaced = ReplaceToken(line, kTokens[i].text, values[i]);
    if (!replaced) return std::nullopt;
    line = std::move(*replaced);
  }
  return line;
}

// The fallback shape filled in one pass: nothing that the memo holds is expanded.
std::wstring FallbackLine(const std::wstring& memo, const LocalTime& now, const LocaleFormats& locale) {
  const TemplateParts shape = SplitTemplate(kFallbackShape);
  std::wstring line = shape.head;
  for (size_t k = 0; k < shape.tokens.size(); ++k) {
    switch (shape.tokens[k]) {
      case Token::Date: line += FormatShortDate(locale.short_date, now); break;
      case Token::Time: line += FormatTime(now, locale.time_separator); break;
      default: line += memo; break;  // the shape holds no other token
    }
    line += shape.literals[k];
  }
  return line;
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

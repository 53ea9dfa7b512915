#pragma once
// Writing the log line: the template with its nine tokens filled from the clock, the
// tracking-program feed and the memo, and the simpler fallback line written when that cannot be
// done. The shapes of the values are the log format's (log_format.h); line_reader.h reads them back.
//
// Everything here is pure except ComposeEntry, which also drives the feed requests. The small
// helpers are public so that each can be tested (and fuzzed) on its own: none of them may crash or
// misbehave on any input, since the feed values come from another program.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "base/clock.h"
#include "base/text.h"
#include "entry/feed.h"
#include "entry/locale.h"
#include "entry/log_format.h"

namespace zelmor::entry {

// A composed line longer than this fails the composition (the fallback line is written instead):
// only values built to expand each other (a satellite name full of "#MM", a memo full of "#MD")
// get near it, and the operator is better served by the fallback line than by a frozen window.
inline constexpr std::size_t kMaxLineLength = 1u << 20;

// The five feed label texts as they stand after the refresh at Enter.
struct FeedSnapshot {
  std::wstring satellite_name, receive_frequency, transmit_frequency, rev, mode;
};

// The line made from `template_text`, or nothing when a frequency cannot be read (or the line
// would exceed kMaxLineLength).
std::optional<std::wstring> LogLine(const std::wstring& template_text, const FeedSnapshot& feed,
                                    const std::wstring& memo, const LocalTime& now,
                                    const LocaleFormats& locale);

// Date, time with "J", and the memo exactly as typed; cannot fail.
std::wstring FallbackLine(const std::wstring& memo, const LocalTime& now, const LocaleFormats& locale);

// Refreshes the feed label by label while composing, so that a failed request or an unreadable
// frequency stops the requests after it: Label1, Label2 (read as a number), Label3 (read as a
// number), the LOG frequency, Label4, Label5. The requests are one entry of the feed
// (Feed::BeginEntry).
std::optional<std::wstring> ComposeEntry(const std::wstring& template_text, Feed& feed, const std::wstring& memo,
                                         const LocalTime& now, const LocaleFormats& locale);

// --- Pieces of the composition ---------------------------------------------------------------

// Every occurrence of `token`, scanning left to right without overlap; inserted text is not
// searched again. Nothing when the result would be longer than `max_length`.
std::optional<std::wstring> ReplaceToken(const std::wstring& text, const std::wstring& token,
                                         const std::wstring& value,
                                         std::size_t max_length = kMaxLineLength);

// The mode for "#MD": trimmed, with "LSB" and "USB" written as "SSB".
std::wstring ModeText(const std::wstring& mode);

// A number as the frequency reader accepts it: optional ASCII white space around, an optional
// sign, ASCII digits, and at most one decimal mark followed by digits (only when the locale's mark
// is usable as one: not empty, no digit, sign or white space in it). At least one digit.
struct NumberText {
  bool negative = false;
  std::string integer_digits;   // may be empty (",5")
  std::string fraction_digits;  // empty without a decimal mark
};
std::optional<NumberText> ParseNumberText(const std::wstring& text, const std::wstring& decimal_mark);

// The frequency text without its digit-group marks (every ".").
std::wstring WithoutGroupMarks(const std::wstring& frequency_text);

// Hertz for "#TX"/"#RX": the nearest single-precision value. Nothing when the text is not a
// number or is beyond single precision's range (a value too small for it reads as zero).
std::optional<float> ParseFrequencySingle(const std::wstring& frequency_text,
                                          const std::wstring& decimal_mark);

// Hertz for "#LF" as a 64-bit integer, a fraction rounded to the nearest (a tie to even). Nothing
// when the text is not a number or the value is beyond 64 bits.
std::optional<int64_t> ParseFrequencyInteger(const std::wstring& frequency_text,
                                             const std::wstring& decimal_mark);

// "#LF": transmit MHz "/" receive MHz, each the integer quotient truncated toward zero.
std::optional<std::wstring> LogFrequencyText(const std::wstring& transmit_text,
                                             const std::wstring& receive_text,
                                             const std::wstring& decimal_mark);

}  // namespace zelmor::entry

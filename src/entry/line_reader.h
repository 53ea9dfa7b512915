#pragma once
// Reading a log line back into the values it was made from: the date, the time, the memo and the
// satellite values that the template put in. The writer is log_line.h; both take the shapes of the
// values from log_format.h.
//
// A line is read with a template: its literal text separates the values and each token's value
// has a shape (the date in a short-date picture, "hh:mm", the "#0.000" frequencies, the "n/n"
// LOG frequency, free text for the memo, satellite name, Rev and mode). ReadLogLine tries the
// shapes a line of Zelmor's can have: the current template, the default one and the fallback
// line's; a line that none of them reads is unreadable, and nothing is guessed for it.
//
// A date reads with the machine's short-date picture; a line whose date that does not read is
// tried again with Japanese Windows' default yyyy/MM/dd and then with ISO yyyy-MM-dd, so that a
// log written on another machine (or before the setting changed) reads. Day and month numbers
// read with or without their leading zeros. A picture without the year, or with two digits of
// it, gives the latest year that does not put the contact after the clock reading passed in.
//
// Free text may hold the very literal that follows it ("%Sat=" in a memo), so a line can often be
// split in more than one way. The split chosen is always the same one:
//   - a split in which every value has the form the writer gives it (no leading zero it does not
//     write, no space around a value it trims) comes before any other: only a line edited by
//     hand or written with another picture needs the others;
//   - shaped values take the longest text their shape allows (a LOG frequency's downlink may stop
//     inside a run of digits, when the template puts a digit right after it);
//   - the memo takes the longest text that leaves a valid rest of the line (the operator types
//     spaces and anything else into it);
//   - the satellite name, the Rev and the mode take the shortest (the tracking program gives
//     them as single words);
//   - free text standing right before a shaped value, with no literal between, does not end
//     with a digit: the number belongs to the shaped value whole;
//   - of two readings of a date with the same length, the one the picture itself writes (in
//     "yyyyMd", "2026127" is the 7th of December, not the 27th of January).
// The work is linear in the line's length for each token (no backtracking that can run away), so
// a line of a megabyte is read as quickly as any other.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "entry/locale.h"
#include "entry/log_format.h"

namespace zelmor::entry {

// Which shape read the line.
enum class LineShape { Current, Default, Fallback };

struct Frequency {
  std::wstring text;  // as in the line, e.g. "145.950"
  int64_t kilohertz = 0;
};

struct LogFrequency {
  std::wstring text;  // "145/435"
  int64_t uplink_mhz = 0, downlink_mhz = 0;
};

// What one line holds. A value is absent when the template that read the line has no token for
// it (for a token that occurs more than once, its first occurrence is taken).
struct LineValues {
  LineShape shape = LineShape::Current;
  CalendarDate date;  // a real calendar date
  int hour = 0, minute = 0;
  // The capital letter the template writes right after the time ("J" in the default template),
  // or empty.
  std::wstring zone;
  std::optional<std::wstring> memo, satellite_name, rev, mode;
  std::optional<Frequency> uplink, downlink;  // "#TX", "#RX"
  std::optional<LogFrequency> log_frequency;  // "#LF"

  // A fallback line, and a line of a template without satellite tokens, hold only the date, the
  // time and the memo.
  bool HasSatelliteData() const {
    return satellite_name || rev || mode || uplink || downlink || log_frequency;
  }
};

// A template is tried only when it holds "#DT" and "#TM" (the date and time make a contact) and
// at most this many tokens.
inline constexpr size_t kMaxTemplateTokens = 32;

// Reads `line` with the current template, the default one and the fallback line's shape, and takes
// the reading in which the template's literal text and shaped values account for the most of the
// line; on a tie, the earlier of them. (A current template such as "#DT #TMJ #MM" reads every old
// line of the default template too, as date, time and one long memo: the default template gives
// its satellite values.) `now` is the local clock's reading, for dates written without their year.
// Nothing when none of them reads the line, and for a station line (log_format.h), which a reader
// that counts unreadable lines asks ReadStationLine about first.
std::optional<LineValues> ReadLogLine(const std::wstring& line, const std::wstring& template_text,
                                      const LocaleFormats& formats, const LocalTime& now);

// ReadLogLine for many lines read with the same template, formats and clock reading (the lines of
// a log file): the templates and the date pictures are compiled once, the working memory is kept
// from one line to the next, and a shape that cannot account for more of a line than one already
// read is not tried. Each line reads exactly as ReadLogLine reads it. One reader serves one thread.
class LogLineReader {
 public:
  LogLineReader(const std::wstring& template_text, const LocaleFormats& formats, const LocalTime& now);
  ~LogLineReader();
  LogLineReader(LogLineReader&&) noexcept;
  LogLineReader& operator=(LogLineReader&&) noexcept;

  std::optional<LineValues> Read(const std::wstring& line);

 private:
  struct Compiled;
  std::unique_ptr<Compiled> c_;
};

// Reads `line` with one template only; the result's shape is LineShape::Current.
std::optional<LineValues> ReadWithTemplate(const std::wstring& line, const std::wstring& template_text,
                                           const LocaleFormats& formats, const LocalTime& now);

// Splits a log text into its lines (CR LF, LF or CR end a line; a last line without an end counts,
// an empty text has none).
std::vector<std::wstring> SplitAtEveryLineEnd(const std::wstring& text);

}  // namespace zelmor::entry

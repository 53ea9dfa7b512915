#pragma once
// Reading a log line back into the values it was made from: the date, the time, the memo and the
// satellite values that the template put in.
//
// A line is read with a template: its literal text separates the values and each token's value
// has a shape (the date in the short-date picture, "hh:mm", the "#0.000" frequencies, the "n/n"
// LOG frequency, free text for the memo, satellite name, Rev and mode). The current template, the
// default one and the fallback line's shape are tried (see ReadLogLine); a line that none of them
// reads is unreadable, and nothing is guessed for it.
//
// Free text may hold the very literal that follows it ("%Sat=" in a memo), so a line can often be
// split in more than one way. The split chosen is always the same one:
//   - shaped values take the longest text their shape allows;
//   - the memo takes the longest text that leaves a valid rest of the line (the operator types
//     spaces and anything else into it);
//   - the satellite name, the Rev and the mode take the shortest (the tracking program gives
//     them as single words);
//   - free text standing right before a shaped value, with no literal between, does not end
//     with a digit: the number belongs to the shaped value whole.
// The work is linear in the line's length for each token (no backtracking that can run away), so
// a line of a megabyte is read as quickly as any other.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "entry/locale.h"

namespace zelmor::contact {

// The user's settings that the line was written with.
using LineFormats = entry::LocaleFormats;

// Which shape read the line.
enum class LineShape { Current, Default, Fallback };

enum class WordKind { Call, ReportSent, ReportReceived, Grid, Remark };

struct MemoWord {
  std::wstring text;  // as typed
  WordKind kind = WordKind::Remark;
};

// The memo split at spaces (U+0020, tab, U+3000) into its words, each with its meaning.
struct MemoWords {
  std::vector<MemoWord> words;

  // The text of the first word of `kind`, or empty.
  std::wstring Find(WordKind kind) const;
  // The remarks joined by one space; the grid among them in its place when `with_grid`.
  std::wstring Remarks(bool with_grid) const;
};

// Classifies memo words: the first is the call sign when it has a call sign's shape; the next two
// are the reports sent and received when they look like reports; the first word after these with
// a Maidenhead locator's shape is the grid; everything else is a remark.
MemoWords ClassifyMemo(const std::wstring& memo);

// Letters and digits with at least one of each, optionally one "prefix/" and one "/suffix"
// (JA1ABC, ja1abc, JA1ABC/1, KH6/JA1ABC, JA1ABC/P), in the shape calls are given: one to three
// characters, a digit, and more ending in a letter (so not "5NN" or "PM95"). ASCII only.
bool IsCallSign(const std::wstring& word);
// 59, 599, 5NN (N for a cut 9, either case), or a signed digital report such as -10 or +05.
bool IsReport(const std::wstring& word);
// A 4- or 6-character Maidenhead locator: PM95, PM95sq (case-insensitive).
bool IsGridLocator(const std::wstring& word);

struct Frequency {
  std::wstring text;    // as in the line, e.g. "145.950"
  int64_t kilohertz = 0;
};

struct LogFrequency {
  std::wstring text;  // "145/435"
  int64_t uplink_mhz = 0, downlink_mhz = 0;
};

// What one line holds. A value is absent when the template that read the line has no token for
// it (for a token that occurs more than once, its first occurrence is taken).
struct Contact {
  LineShape shape = LineShape::Current;
  int year = 0, month = 0, day = 0;  // a real calendar date
  int hour = 0, minute = 0;
  // The capital letter the template writes right after the time ("J" in the default template),
  // or empty.
  std::wstring zone;
  std::optional<std::wstring> memo;
  MemoWords words;  // of the memo, trimmed
  std::optional<std::wstring> satellite_name, rev, mode;
  std::optional<Frequency> uplink, downlink;  // "#TX", "#RX"
  std::optional<LogFrequency> log_frequency;  // "#LF"

  // A fallback line, and a line of a template without satellite tokens, hold only the date, the
  // time and the memo.
  bool HasSatelliteData() const {
    return satellite_name || rev || mode || uplink || downlink || log_frequency;
  }
};

// Reads `line` with the current template, the default one and the fallback line's shape, and takes
// the reading in which the template's literal text and shaped values account for the most of the
// line; on a tie, the earlier of them. (A current template such as "#DT #TMJ #MM" reads every old
// line of the default template too, as date, time and one long memo: the default template gives
// its satellite values.) Nothing when none of them reads the line. A template is tried only when
// it holds "#DT" and "#TM" (the date and time make a contact) and at most kMaxTemplateTokens tokens.
std::optional<Contact> ReadLogLine(const std::wstring& line, const std::wstring& template_text,
                                   const LineFormats& formats);

// Reads `line` with one template only; the result's shape is LineShape::Current.
std::optional<Contact> ReadWithTemplate(const std::wstring& line, const std::wstring& template_text,
                                        const LineFormats& formats);

inline constexpr size_t kMaxTemplateTokens = 32;

// The first line of `text` (lines end at CR LF, LF or CR) that ReadLogLine reads, with spaces
// around it removed: the clipboard may hold several lines, or a piece of one. Nothing when no
// line is readable.
std::optional<Contact> FirstReadableLine(const std::wstring& text, const std::wstring& template_text,
                                         const LineFormats& formats);

// Splits a log text into its lines (CR LF, LF or CR end a line; a last line without an end counts,
// an empty text has none).
std::vector<std::wstring> SplitLines(const std::wstring& text);

// Days of a month in the proleptic Gregorian calendar; 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

}  // namespace zelmor::contact

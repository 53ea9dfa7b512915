#pragma once
// What a log line says about the contact: its values as the line reader gives them
// (entry/line_reader.h) and the memo's words with their meaning (call sign, reports, grid).

#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "entry/line_reader.h"
#include "entry/locale.h"

namespace zelmor::contact {

// The user's settings that the line was written with.
using LineFormats = entry::LocaleFormats;

using entry::LineShape;

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

// A line's values and the meaning of its memo's words.
struct Contact : entry::LineValues {
  MemoWords words;  // of the memo, trimmed
};

// Reads `line` as entry::ReadLogLine does (the current template, the default one, the fallback
// line's shape; `now` for dates written without their year) and classifies its memo's words.
std::optional<Contact> ReadContact(const std::wstring& line, const std::wstring& template_text,
                                   const LineFormats& formats, const LocalTime& now);

// ReadContact for many lines read with the same settings (entry::LogLineReader: compiled once,
// the working memory kept): the lines of a log file.
class ContactReader {
 public:
  ContactReader(const std::wstring& template_text, const LineFormats& formats, const LocalTime& now)
      : lines_(template_text, formats, now) {}
  std::optional<Contact> Read(const std::wstring& line);

 private:
  entry::LogLineReader lines_;
};

// The first line of `text` (lines end at CR LF, LF or CR) that ReadContact reads, with spaces
// around it removed: the clipboard may hold several lines, or a piece of one. Nothing when no
// line is readable.
std::optional<Contact> FirstReadableLine(const std::wstring& text, const std::wstring& template_text,
                                         const LineFormats& formats, const LocalTime& now);

}  // namespace zelmor::contact

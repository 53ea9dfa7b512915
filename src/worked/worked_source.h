#pragma once
// One source of the operator's contacts (a log file of the log folder, or the log pane) read into
// what the worked-before index keeps of each contact. Reading is the slow part (the one reader,
// some microseconds a line), so it is done off the window's thread and in parallel; what comes out
// is plain data that the window's thread merges into its index (worked_index.h).

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/clock.h"
#include "contact/contact.h"

namespace zelmor::worked {

// How lines are read: the one reader with the operator's template and locale.
struct LineReading {
  std::wstring template_text;
  contact::LineFormats formats;
  // When the reading began: a date written without its year is read as the latest year that does
  // not put the contact after it.
  LocalTime now;
};

// A contact's date and time as its line gives them: local time, with the zone letter the template
// writes after the time ("J"), or none.
struct LoggedTime {
  int16_t year = 0;
  int8_t month = 0, day = 0, hour = 0, minute = 0;
  wchar_t zone = 0;
};

// Minutes since 1970-01-01 00:00 (DayNumber): a difference of two is the time between them across
// midnight, month and year ends.
int64_t CalendarMinute(int year, int month, int day, int hour, int minute);
inline int64_t CalendarMinute(const LoggedTime& t) { return CalendarMinute(t.year, t.month, t.day, t.hour, t.minute); }
inline int64_t CalendarMinute(const LocalTime& t) { return CalendarMinute(t.year, t.month, t.day, t.hour, t.minute); }

// --- What makes two the same --------------------------------------------------------------------

// The call as the index keeps it: ASCII letters upper-case (ja1abc is JA1ABC).
std::wstring NormalizedCall(const std::wstring& call);

// The operator behind a call: the part that contact::IsCallSign takes for the call itself (the longest, or
// the middle one of three). "JA1ABC/1", "JA1ABC/P" and "KH6/JA1ABC" are all JA1ABC: a suffix or a
// prefix says where or how the same operator works, and the hint says under which form he was
// logged ("JA1ABCとして交信済み"); whether the place is new, the grid hint tells.
std::wstring BaseCall(const std::wstring& normalized_call);

// Satellites are one when contact::SatelliteKey says so: the names the ADIF export writes as one.

// A Maidenhead locator's 4-character square as a number 0..32399 (PM95, pm95 and PM95sq are one
// square), or -1 for a word without a locator's shape.
int GridNumber(const std::wstring& locator);
// The square of a GridNumber, "PM95".
std::wstring GridText(int number);

// What the index keeps of one readable line with a call sign.
struct SourceRecord {
  uint32_t call = 0;                 // index into SourceReading::names: the call, upper-case
  uint32_t satellite = kNoName;      // the satellite name as logged, spaces around removed
  LoggedTime time;
  int16_t grid = -1;                 // GridNumber of the memo's grid, or -1
  int8_t band = -1;                  // contact::BandNumber of the uplink's band, or -1 (no frequency)
  static constexpr uint32_t kNoName = UINT32_MAX;
};

// Lines that are not contacts, each as a fingerprint of its text: the same line in two sources
// (the pane and the file it was saved to) is counted once.
struct SourceReading {
  std::vector<std::wstring> names;  // calls and satellite names that the records point at
  std::vector<SourceRecord> records;
  std::vector<uint64_t> unreadable;    // lines the reader does not read
  std::vector<uint64_t> without_call;  // readable lines whose memo does not start with a call sign

  // The other reading's lines after this one's.
  void Append(const SourceReading& more);
  bool empty() const { return records.empty() && unreadable.empty() && without_call.empty(); }
};

// Reads lines [begin, end) of `lines`. Lines of spaces only (the empty last line of a log file)
// are no lines.
SourceReading ReadSourceLines(const std::vector<std::wstring>& lines, const LineReading& reading, size_t begin = 0,
                              size_t end = SIZE_MAX);

// Reads every text's lines on `threads` threads (the caller's among them), in chunks, so that one
// large file and many small ones spread alike. Gives each text's reading in order; nothing when
// `stop` was set before the end. `helper_started` runs first on each further thread (the Win32
// side lowers its priority there, as it does its own).
std::optional<std::vector<SourceReading>> ReadInParallel(const std::vector<const std::vector<std::wstring>*>& texts,
                                                        const LineReading& reading, unsigned threads,
                                                        const std::atomic<bool>& stop,
                                                        void (*helper_started)() = nullptr);

// The lines of a log text as the reader takes them (entry::SplitAtEveryLineEnd: the ADIF export
// splits the pane the same way, so the index counts what an export would).
std::vector<std::wstring> IndexedLines(const std::wstring& text);

// 64-bit FNV-1a of the text: the same line in two sources is known as one.
uint64_t LineFingerprint(const std::wstring& line);

// --- The log folder ----------------------------------------------------------------------------

// A file of the folder as a listing shows it.
struct FileStamp {
  std::wstring name;  // without the folder
  uint64_t size = 0;
  uint64_t written = 0;  // last write time, in the file system's own units
  bool operator==(const FileStamp& o) const { return name == o.name && size == o.size && written == o.written; }
};

// A log file is "*.TXT" in any case, as the log dialogs list them. `skipped` names (compared
// without regard to ASCII case) are left out: the safety copy, when the log folder is the
// program's folder, holds nothing but the pane.
bool IsLogFileName(const std::wstring& name, const std::vector<std::wstring>& skipped);

// What the index leaves out of `log_folder`: the safety copy `safety_copy_name` when the log folder
// is the program's own (the pane is read already). Folders are the same without regard to ASCII
// case, the kind of slash or a slash at the end.
std::vector<std::wstring> SkippedLogFiles(const std::wstring& log_folder, const std::wstring& program_folder,
                                          const std::wstring& safety_copy_name);

struct FolderChanges {
  std::vector<std::wstring> changed;  // new, or another size or write time: to be read again
  std::vector<std::wstring> removed;
};
// What changed between two listings (names compared exactly: a listing spells them the same way
// each time).
FolderChanges CompareListings(const std::vector<FileStamp>& before, const std::vector<FileStamp>& now);

}  // namespace zelmor::worked

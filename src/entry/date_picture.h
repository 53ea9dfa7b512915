#pragma once
// The short-date picture of the log line's date (log_format.h holds the line's other shapes and
// the calendar): written with the machine's picture, read with it and with the pictures of other
// machines.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "base/clock.h"
#include "entry/log_format.h"

namespace zelmor::entry {

// How many digits of the year a date text holds.
enum class YearDigits { Four, Two, None };

// One way of reading a date at a place in a line.
struct DateReading {
  size_t end = 0;
  YearDigits year_digits = YearDigits::Four;
  int year = 0;  // the whole year (Four), 0..99 (Two), 0 (None)
  int month = 0, day = 0;
  // Every number stands with the digits the picture writes (no leading zero for d, M and y; two
  // digits for dd, MM and yy).
  bool as_written = true;
};

// A Windows short-date picture, compiled once: d dd ddd dddd, M MM MMM MMMM, y yy yyyy (yyy and
// longer runs give the whole year), g (the era, written as nothing), text in single quotes kept
// literally ('' inside quotes is one quote); any other character stands for itself. Day and month
// names are the invariant (English) ones.
class DatePicture {
 public:
  explicit DatePicture(const std::wstring& picture);

  std::wstring Format(const LocalTime& date) const;

  // Whether dates can be read with it: it holds a day number and a month, and no more elements
  // and numbers than a real picture (each number of one or two digits doubles the readings).
  bool Readable() const { return readable_; }
  // How much of the year the picture writes: yyy and more, y and yy, or nothing.
  YearDigits Year() const { return year_; }
  // The most characters a date read with it can take.
  size_t MostLength() const { return most_length_; }

  // Every reading of a date that starts at text[pos], more digits first. Day, month and
  // two-digit year numbers are read with or without a leading zero, so that a line written with
  // "yyyy/MM/dd" reads with "yyyy/M/d" and the other way round; a weekday name is read but not
  // held against the date.
  void ReadAt(const std::wstring& text, size_t pos, std::vector<DateReading>& out) const;

 private:
  enum class Part {
    Literal, Day, Day2, DayName, DayNameLong, Month, Month2, MonthName, MonthNameLong, Year, Year2, Year4
  };
  struct Element {
    Part part;
    std::wstring literal;
  };
  struct Partial;
  void ReadFrom(const std::wstring& text, size_t element, size_t pos, Partial partial,
                std::vector<DateReading>& out) const;

  std::vector<Element> elements_;
  bool readable_ = false;
  YearDigits year_ = YearDigits::None;
  size_t most_length_ = 0;
};

// Shorthand for writing one date.
std::wstring FormatShortDate(const std::wstring& picture, const LocalTime& date);

// The pictures a line's date is read with, in turn: the machine's own, then Japanese Windows'
// default, then ISO 8601. A line written on another machine, or before the setting changed, reads.
std::vector<std::wstring> ReadingPictures(const std::wstring& own_picture);

// The date of a reading once the contact's time and the clock's are known. A date without its
// year, or with two digits of it, takes the latest such year that does not put the contact after
// `now`. Nothing when there is no such date (the 29th of February of a two-digit year no leap
// year ends in).
std::optional<CalendarDate> DateOf(const DateReading& reading, int hour, int minute, const LocalTime& now);

}  // namespace zelmor::entry

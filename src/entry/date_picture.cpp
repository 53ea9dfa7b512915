#include "entry/date_picture.h"

#include <algorithm>

namespace zelmor::entry {
namespace {

std::wstring FullYear(int year) {
  std::wstring text = std::to_wstring(year);
  if (year >= 0 && text.size() < 4) text.insert(0, 4 - text.size(), L'0');
  return text;
}

const wchar_t* const kDayShort[7] = {L"Sun", L"Mon", L"Tue", L"Wed", L"Thu", L"Fri", L"Sat"};
const wchar_t* const kDayLong[7] = {L"Sunday", L"Monday", L"Tuesday", L"Wednesday",
                                    L"Thursday", L"Friday", L"Saturday"};
const wchar_t* const kMonthShort[12] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                                        L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
const wchar_t* const kMonthLong[12] = {L"January", L"February", L"March",     L"April",
                                       L"May",     L"June",     L"July",      L"August",
                                       L"September", L"October", L"November", L"December"};

const wchar_t* DayName(int day_of_week, bool abbreviated) {
  if (day_of_week < 0 || day_of_week > 6) return L"";
  return abbreviated ? kDayShort[day_of_week] : kDayLong[day_of_week];
}

const wchar_t* MonthName(int month, bool abbreviated) {
  if (month < 1 || month > 12) return L"";
  return abbreviated ? kMonthShort[month - 1] : kMonthLong[month - 1];
}

// A picture with more elements or more numbers than a real one is not read: every number of one
// or two digits doubles the ways a text can be split.
constexpr size_t kMaxDateElements = 32;
constexpr int kMaxDateNumbers = 6;

// Whether the contact at `date`, hour:minute, is later than `now`.
bool After(const CalendarDate& date, int hour, int minute, const LocalTime& now) {
  const int contact[5] = {date.year, date.month, date.day, hour, minute};
  const int clock[5] = {now.year, now.month, now.day, now.hour, now.minute};
  for (int i = 0; i < 5; ++i) {
    if (contact[i] != clock[i]) return contact[i] > clock[i];
  }
  return false;
}

bool SetOnce(int& field, int value, int unset) {
  if (field != unset && field != value) return false;
  field = value;
  return true;
}

}  // namespace

DatePicture::DatePicture(const std::wstring& picture) {
  auto literal = [&](wchar_t c) {
    if (elements_.empty() || elements_.back().part != Part::Literal) elements_.push_back({Part::Literal, {}});
    elements_.back().literal += c;
  };
  bool day = false, month = false;
  int numbers = 0;
  size_t i = 0;
  while (i < picture.size()) {
    const wchar_t c = picture[i];
    if (c == L'\'') {
      // Quoted text runs to the next lone quote (or the end); a doubled quote inside is one quote.
      ++i;
      while (i < picture.size()) {
        if (picture[i] == L'\'') {
          if (i + 1 < picture.size() && picture[i + 1] == L'\'') {
            literal(L'\'');
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        literal(picture[i++]);
      }
      continue;
    }
    if (c != L'd' && c != L'M' && c != L'y' && c != L'g') {
      literal(c);
      ++i;
      continue;
    }
    size_t run = 1;
    while (i + run < picture.size() && picture[i + run] == c) ++run;
    i += run;
    Part part;
    if (c == L'd') {
      part = run == 1 ? Part::Day : run == 2 ? Part::Day2 : run == 3 ? Part::DayName : Part::DayNameLong;
      day = day || run <= 2;
    } else if (c == L'M') {
      part = run == 1 ? Part::Month : run == 2 ? Part::Month2 : run == 3 ? Part::MonthName : Part::MonthNameLong;
      month = true;
    } else if (c == L'y') {
      part = run == 1 ? Part::Year : run == 2 ? Part::Year2 : Part::Year4;
      if (part == Part::Year4) year_ = YearDigits::Four;
      else if (year_ == YearDigits::None) year_ = YearDigits::Two;
    } else {
      continue;  // the era is written as nothing
    }
    if (part == Part::Day || part == Part::Day2 || part == Part::Month || part == Part::Month2 ||
        part == Part::Year || part == Part::Year2) {
      ++numbers;
    }
    elements_.push_back({part, {}});
  }
  readable_ = day && month && elements_.size() <= kMaxDateElements && numbers <= kMaxDateNumbers;
  // What ReadFrom can take for each element: numbers of one or two digits, four for the year,
  // the longest English name.
  const auto longest = [](const wchar_t* const* names, int count) {
    size_t most = 0;
    for (int k = 0; k < count; ++k) most = std::max(most, std::wstring(names[k]).size());
    return most;
  };
  for (const Element& e : elements_) {
    switch (e.part) {
      case Part::Literal: most_length_ += e.literal.size(); break;
      case Part::DayName: most_length_ += longest(kDayShort, 7); break;
      case Part::DayNameLong: most_length_ += longest(kDayLong, 7); break;
      case Part::MonthName: most_length_ += longest(kMonthShort, 12); break;
      case Part::MonthNameLong: most_length_ += longest(kMonthLong, 12); break;
      case Part::Year4: most_length_ += 4; break;
      default: most_length_ += 2; break;
    }
  }
}

std::wstring DatePicture::Format(const LocalTime& date) const {
  std::wstring out;
  const int short_year = ((date.year % 100) + 100) % 100;
  for (const Element& e : elements_) {
    switch (e.part) {
      case Part::Literal: out += e.literal; break;
      case Part::Day: out += std::to_wstring(date.day); break;
      case Part::Day2: out += TwoDigitsOrMore(date.day); break;
      case Part::DayName: out += DayName(DayOfWeek({date.year, date.month, date.day}), true); break;
      case Part::DayNameLong: out += DayName(DayOfWeek({date.year, date.month, date.day}), false); break;
      case Part::Month: out += std::to_wstring(date.month); break;
      case Part::Month2: out += TwoDigitsOrMore(date.month); break;
      case Part::MonthName: out += MonthName(date.month, true); break;
      case Part::MonthNameLong: out += MonthName(date.month, false); break;
      case Part::Year: out += std::to_wstring(short_year); break;
      case Part::Year2: out += TwoDigitsOrMore(short_year); break;
      case Part::Year4: out += FullYear(date.year); break;
    }
  }
  return out;
}

// What the elements read so far say; 0 (-1 for the two-digit year) is not yet said.
struct DatePicture::Partial {
  int year = 0, short_year = -1, month = 0, day = 0;
  bool as_written = true;
};

void DatePicture::ReadFrom(const std::wstring& text, size_t element, size_t pos, Partial partial,
                           std::vector<DateReading>& out) const {
  if (element == elements_.size()) {
    const Partial& p = partial;
    if (p.month < 1 || p.month > 12 || p.day < 1) return;
    DateReading r;
    r.end = pos;
    r.month = p.month;
    r.day = p.day;
    r.as_written = p.as_written;
    if (p.year != 0) {
      if (p.short_year >= 0 && p.short_year != p.year % 100) return;
      r.year_digits = YearDigits::Four;
      r.year = p.year;
      if (p.day > DaysInMonth(p.year, p.month)) return;
    } else if (p.short_year >= 0) {
      r.year_digits = YearDigits::Two;
      r.year = p.short_year;
      // A leap day needs a year ending in these digits that can be a leap year (00: 2000).
      if (p.day > DaysInMonth(p.short_year % 4 == 0 ? 2000 : 2001, p.month)) return;
    } else {
      r.year_digits = YearDigits::None;
      if (p.day > DaysInMonth(2000, p.month)) return;
    }
    out.push_back(r);
    return;
  }
  const Element& e = elements_[element];
  const size_t run = DigitRun(text, pos, 2);
  auto number = [&](size_t length) { return static_cast<int>(DigitsValue(text, pos, pos + length)); };
  // A number of one or two digits, leading zero or not, two digits first. `padded`: the picture
  // writes two digits; otherwise it writes no leading zero.
  auto one_or_two = [&](int Partial::*field, int unset, bool padded) {
    for (size_t length : {size_t{2}, size_t{1}}) {
      if (run < length) continue;
      const int value = number(length);
      Partial next = partial;
      if (!SetOnce(next.*field, value, unset)) continue;
      const size_t written = padded ? 2 : (value < 10 ? 1 : 2);
      next.as_written = next.as_written && length == written;
      ReadFrom(text, element + 1, pos + length, next, out);
    }
  };
  auto named = [&](const wchar_t* const* names, int count, int Partial::*field) {
    for (int k = 0; k < count; ++k) {
      const std::wstring name = names[k];
      if (text.compare(pos, name.size(), name) != 0) continue;
      Partial next = partial;
      if (field == nullptr || SetOnce(next.*field, k + 1, 0)) ReadFrom(text, element + 1, pos + name.size(), next, out);
    }
  };
  switch (e.part) {
    case Part::Literal:
      if (text.compare(pos, e.literal.size(), e.literal) == 0) {
        ReadFrom(text, element + 1, pos + e.literal.size(), partial, out);
      }
      break;
    case Part::Day: one_or_two(&Partial::day, 0, false); break;
    case Part::Day2: one_or_two(&Partial::day, 0, true); break;
    // The weekday only repeats what the date says.
    case Part::DayName: named(kDayShort, 7, nullptr); break;
    case Part::DayNameLong: named(kDayLong, 7, nullptr); break;
    case Part::Month: one_or_two(&Partial::month, 0, false); break;
    case Part::Month2: one_or_two(&Partial::month, 0, true); break;
    case Part::MonthName: named(kMonthShort, 12, &Partial::month); break;
    case Part::MonthNameLong: named(kMonthLong, 12, &Partial::month); break;
    case Part::Year: one_or_two(&Partial::short_year, -1, false); break;
    case Part::Year2: one_or_two(&Partial::short_year, -1, true); break;
    case Part::Year4:
      // Four digits, also from a longer run: "yyyyMMdd" writes one run of eight.
      if (DigitRun(text, pos, 4) >= 4) {
        Partial next = partial;
        if (SetOnce(next.year, number(4), 0)) ReadFrom(text, element + 1, pos + 4, next, out);
      }
      break;
  }
}

void DatePicture::ReadAt(const std::wstring& text, size_t pos, std::vector<DateReading>& out) const {
  out.clear();
  if (readable_ && pos <= text.size()) ReadFrom(text, 0, pos, Partial{}, out);
}

std::wstring FormatShortDate(const std::wstring& picture, const LocalTime& date) {
  return DatePicture(picture).Format(date);
}

std::vector<std::wstring> ReadingPictures(const std::wstring& own_picture) {
  std::vector<std::wstring> pictures{own_picture};
  for (const wchar_t* other : {L"yyyy/MM/dd", L"yyyy-MM-dd"}) {
    if (own_picture != other) pictures.emplace_back(other);
  }
  return pictures;
}

std::optional<CalendarDate> DateOf(const DateReading& reading, int hour, int minute, const LocalTime& now) {
  CalendarDate date{reading.year, reading.month, reading.day};
  if (reading.year_digits == YearDigits::Four) {
    if (!IsCalendarDate(date)) return std::nullopt;
    return date;
  }
  // Candidate years from the latest not after now's year, going back a year (no year given) or a
  // century (two digits given) at a time; a leap day may have to go back past several.
  const int64_t step = reading.year_digits == YearDigits::Two ? 100 : 1;
  int64_t year = now.year;
  if (reading.year_digits == YearDigits::Two) year -= ((year - reading.year) % 100 + 100) % 100;
  for (int tries = 0; tries < 9 && year >= 1; ++tries, year -= step) {
    date.year = static_cast<int>(year);
    if (IsCalendarDate(date) && !After(date, hour, minute, now)) return date;
  }
  return std::nullopt;
}

}  // namespace zelmor::entry

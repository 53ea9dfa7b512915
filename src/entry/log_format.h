#pragma once
// The log line's format, in one place for the writer (log_line.h) and the reader (line_reader.h):
// the nine tokens, the default template and the fallback line's shape, the time, the two
// frequency shapes, and the station line (the short-date picture: date_picture.h; the calendar:
// base/calendar.h). Each shape is written and read here, side by side, so that what one machine
// writes another reads.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "base/clock.h"

namespace zelmor::entry {

// --- Templates ---------------------------------------------------------------------------------

enum class Token { Date, Time, SatelliteName, Rev, Memo, LogFrequency, Uplink, Downlink, Mode };

struct TokenText {
  const wchar_t* text;
  Token token;
};

inline constexpr size_t kTokenLength = 3;

// The tokens in the order the writer replaces them: a value may hold a token of a later step
// (and is expanded by it), never one of an earlier step.
inline constexpr std::array<TokenText, 9> kTokens = {{
    {L"#DT", Token::Date},
    {L"#TM", Token::Time},
    {L"#SN", Token::SatelliteName},
    {L"#RV", Token::Rev},
    {L"#MM", Token::Memo},
    {L"#LF", Token::LogFrequency},
    {L"#TX", Token::Uplink},
    {L"#RX", Token::Downlink},
    {L"#MD", Token::Mode},
}};

inline constexpr wchar_t kDefaultTemplate[] = L"#DT #TMJ #MM %Sat=#SN/Rev:#RV% #LF #MD Up=#TX/Down=#RX";

// The line written when no line can be composed: date, time with "J", and the memo exactly as
// typed (nothing in it is expanded).
inline constexpr wchar_t kFallbackShape[] = L"#DT #TMJ #MM";

// Values that the operator or the tracking program gives as text; the others have a shape.
bool IsFreeText(Token token);

// A template cut at its tokens: head, token 1, literal 1, token 2, literal 2, ... Tokens never
// overlap (each starts with "#" and holds none), so the cut is the same read from either end.
struct TemplateParts {
  std::wstring head;
  std::vector<Token> tokens;
  std::vector<std::wstring> literals;  // literals[k] follows tokens[k]
};
TemplateParts SplitTemplate(const std::wstring& template_text);

// --- Digits ------------------------------------------------------------------------------------

// Two digits for 0..9, the plain number otherwise (a fake clock may give anything).
std::wstring TwoDigitsOrMore(int value);
// The digits at text[pos...], as many as there are up to `most` + 1 (one more tells a run that
// is too long).
size_t DigitRun(const std::wstring& text, size_t pos, size_t most);
// The number the digits text[from, to) write.
int64_t DigitsValue(const std::wstring& text, size_t from, size_t to);

// --- The time ----------------------------------------------------------------------------------

// "hh:mm": the hour 00..23 and the minutes in two digits, the locale's separator between. The one
// way a time is written: in the log, in the hints, to the logging program.
std::wstring FormatTime(int hour, int minute, const std::wstring& separator);
inline std::wstring FormatTime(const LocalTime& time, const std::wstring& separator) {
  return FormatTime(time.hour, time.minute, separator);
}

struct TimeReading {
  size_t end = 0;
  int hour = 0, minute = 0;
};
std::optional<TimeReading> ReadTimeAt(const std::wstring& text, size_t pos, const std::wstring& separator);

// --- The frequencies ---------------------------------------------------------------------------

// Megahertz with the pattern "#0.000": the exact quotient hertz / 1,000,000, rounded to three
// decimals, a half-way value away from zero; no grouping; "0.000" rather than "-0.000"; the
// locale's decimal mark, or "." when it has none. Empty for a value that is not finite.
std::wstring FormatFrequencyMHz(float hertz, const std::wstring& decimal_mark);

// The most digits before the mark that a "#0.000" frequency is read with: enough for every value
// the writer composes (its hertz fit in 64 bits), and the kilohertz still fit in 64 bits.
inline constexpr size_t kMaxMegahertzDigits = 15;

struct MegahertzReading {
  size_t end = 0;
  int64_t kilohertz = 0;
  bool as_written = true;  // no leading zero and no "-0.000": as FormatFrequencyMHz writes it
};
// An optional "-", 1 to kMaxMegahertzDigits digits, the mark, three digits. Digits are taken as a
// whole run: "145.950" never reads as "45.950" after a "1" that is not part of it.
std::optional<MegahertzReading> ReadMegahertzAt(const std::wstring& text, size_t pos, const std::wstring& decimal_mark);

// The LOG frequency "145/435": whole megahertz, uplink "/" downlink.
std::wstring FormatLogFrequency(int64_t uplink_mhz, int64_t downlink_mhz);

struct LogFrequencyReading {
  size_t end = 0;
  int64_t uplink_mhz = 0, downlink_mhz = 0;
  bool as_written = true;  // no leading zero and no "-0": as FormatLogFrequency writes it
};
// Every reading at text[pos]: the uplink is its whole run of digits, the downlink any number of
// the digits after "/" (up to 18), since the text after it may begin with a digit ("#LF5" in a
// template). The readings as written (no leading zero, no "-0", at most 13 digits a half, as many
// as 64-bit hertz give) come first, longest first; then the others, longest first.
void ReadLogFrequencyAt(const std::wstring& text, size_t pos, std::vector<LogFrequencyReading>& out);

// --- Grid locators -----------------------------------------------------------------------------

// A 4- or 6-character Maidenhead locator: PM95, PM95sq (case-insensitive).
bool IsGridLocator(const std::wstring& word);
// A locator as locators are usually written, AA00aa: the field's letters upper-case, the
// subsquare's lower-case. Other characters stay as they are.
std::wstring LocatorCase(std::wstring locator);

// --- The station line --------------------------------------------------------------------------

// The operator's station ("局情報") for the contacts below it, as a line of the log of its own:
//
//   #STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 CITY=100101 LOC=東京 移動
//
// It is written when the operator sets a station and before the first entry of a log, so that a
// contact keeps the station it was made from wherever the log goes. The mark "#STATION " begins
// it: a fallback line begins with its date, and a composed line would need a template beginning
// with that very text ("#ST" is no token). The call sign and the grids are capitals, digits and
// "/" or ",", without blanks; PREF and CITY are the codes of TQSL's lists (digits), left out when
// the station has none; LOC, TQSL's Station Location, comes last and runs to the end of the line,
// so that its blanks, "=" and Japanese need no quoting. All but LOC is ASCII, which every code
// page carries; LOC is in the ANSI code page like every other text of the log.
struct StationLine {
  std::wstring call_sign;           // "JA1ABC/1"
  std::vector<std::wstring> grids;  // "PM95vr"; a grid line of 2 or 4: "PM95", "PM96"
  std::wstring prefecture;          // "10", or empty
  std::wstring city;                // "100101", or empty (only with a prefecture)
  std::wstring station_location;    // or empty

  bool operator==(const StationLine& o) const {
    return call_sign == o.call_sign && grids == o.grids && prefecture == o.prefecture && city == o.city &&
           station_location == o.station_location;
  }
};

inline constexpr wchar_t kStationMark[] = L"#STATION ";

// The line, without a line end. A station that is not of the shapes above (a call sign with a
// blank, a location with a line break) makes a line the reader does not take back.
std::wstring FormatStationLine(const StationLine& station);

// The station a line states, or nothing when the line is not a station line: the mark, then the
// fields in the writer's order and shapes (a grid of 4 or 6 characters, 1 to 4 of them; PREF of 2
// digits; CITY of 4 to 6 digits, after a PREF). Spaces after the last field are passed over.
std::optional<StationLine> ReadStationLine(const std::wstring& line);

}  // namespace zelmor::entry

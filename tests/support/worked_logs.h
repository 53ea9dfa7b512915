#pragma once
// Logs as Zelmor writes them, for the tests, benchmarks and fuzzing of the worked-before index:
// lines made by the log-line writer itself, so that what is indexed is what the program logs.

#include <cstddef>
#include <string>
#include <vector>

#include "base/clock.h"

namespace test_support {

zelmor::LocalTime At(int year, int month, int day, int hour, int minute);

// A line of the default template with Japanese settings, sent on `uplink` (hertz, "." between digit
// groups allowed: 2m by default); without a satellite, the fallback line (the feed failed).
std::wstring LoggedLine(const std::wstring& memo, const std::wstring& satellite, const zelmor::LocalTime& at,
                        const std::wstring& uplink = L"145.965.000");

// `contacts` lines, CR LF after each, one every three minutes from `start`: about one operator in
// ten worked again, on eight satellites, a grid in most memos, some calls with "/P" or "/1".
// The same `seed` gives the same log.
std::wstring SampleLog(size_t contacts, unsigned seed, const zelmor::LocalTime& start = At(2020, 1, 1, 0, 0));

// `contacts` lines (a tenth as many operators, each worked ten times, on six satellites, one
// contact every three minutes from 2025-01-01 09:00 in Japan, every seventh logged with "/P"), and
// LoTW's kept file confirming every tenth contact in UTC (nine hours behind), every fifth of
// those with a grid line: the timing of the matching.
struct ConfirmedSample {
  std::vector<std::wstring> lines;
  std::string kept;
  size_t confirmations = 0;
};
ConfirmedSample ConfirmedSampleLog(size_t contacts);

}  // namespace test_support

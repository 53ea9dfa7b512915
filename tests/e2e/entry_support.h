#pragma once
// Helpers for the logging-loop tests and the entry benchmark: the values tracker-sim serves, and
// the lines Zelmor should write, computed with its own composition code.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "entry/log_line.h"
#include "harness.h"

namespace e2e::logging_loop {

// Writes `values` for tracker-sim --values (UTF-8, one item a line) into the folder and returns
// the arguments that make it serve them.
std::wstring ServedValues(const TempFolder& folder, const zelmor::entry::FeedSnapshot& values);
void WriteTrackerValues(const std::wstring& path, const zelmor::entry::FeedSnapshot& values);

// tracker-sim standing in for SatPC32 or Orbitron, serving one text for one item (other items are
// refused).
struct OtherTracker {
  const char* name;
  const wchar_t* program;       // for --program
  const wchar_t* window_class;  // of its window
  const wchar_t* item;
};
inline constexpr OtherTracker kSatPc32{"SatPC32", L"satpc32", L"SatPC32Simulator", L"SatPcDdeItem"};
inline constexpr OtherTracker kOrbitron{"Orbitron", L"orbitron", L"OrbitronSimulator", L"TrackingDataEx"};
inline constexpr OtherTracker kOrbitronPlain{"Orbitron (TrackingData)", L"orbitron", L"OrbitronSimulator",
                                             L"TrackingData"};
// Writes `text` as the item's value into `file` (read again at each request) and starts the
// simulator serving it.
std::unique_ptr<TrackerSim> StartTracker(const OtherTracker& tracker, const std::wstring& file,
                                         const std::wstring& text);
void WriteTrackerText(const OtherTracker& tracker, const std::wstring& file, const std::wstring& text);

// The local clock as the composition takes it.
zelmor::LocalTime Now();
// `t` moved by `minutes` (either way), across day, month and year ends.
SYSTEMTIME PlusMinutes(const SYSTEMTIME& t, int minutes);

// The clock readings around one Enter: the line carries one of them.
struct Moment {
  zelmor::LocalTime before, after;
};

// Types `memo` into the entry box and presses Enter, the clock read around the Enter into `m`: the
// line it makes carries one of the two readings. A failure when the box did not take the Enter
// within `ms`.
::testing::AssertionResult TimedEnter(Zelmor& app, const std::wstring& memo, Moment& m, DWORD ms = 15000);

// The line for `memo` as Zelmor composes it with the default template, or the fallback line.
std::wstring ComposedLine(const zelmor::entry::FeedSnapshot& values, const std::wstring& memo,
                          const zelmor::LocalTime& at);
std::wstring FallbackAt(const std::wstring& memo, const zelmor::LocalTime& at);

// Checks that `pane` is `before` plus one of the two candidate lines and CR LF.
::testing::AssertionResult AppendedOneOf(const std::wstring& pane, const std::wstring& before,
                                         const std::wstring& line1, const std::wstring& line2);

// The benchmarks' clock: a reading, and the milliseconds between two.
LARGE_INTEGER Tick();
double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to);
// The middle value: one slow run on a shared machine does not move it.
double Median(std::vector<double> values);

// Loads `path` into the pane with the safety-copy viewer (a pane this large is more than one
// cross-process WM_SETTEXT can carry under Wine), saying yes to the unsaved-log question.
bool Preload(Zelmor& app, const std::wstring& path);
// Milliseconds from `start` until Zelmor's pending repaint is over: its update region is emptied
// as the paint begins, and a sent message is answered once the paint is over.
double UntilRepainted(const Zelmor& app, LARGE_INTEGER start);
// Zelmor done with repainting after a change, so that neither its paint nor the benchmark's
// measurements run on the other's time (the machine has two cores, shared).
bool Quiet(const Zelmor& app);

}  // namespace e2e::logging_loop

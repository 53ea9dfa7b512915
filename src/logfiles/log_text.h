#pragma once
// The log's text form, shared by the log pane and every log file: lines separated by CR LF.

#include <string>
#include <vector>

#include "base/clock.h"

namespace zelmor::logfiles {

// The lines of a log file as the operator expects to read them back. A line ends at a CR or at a
// CR LF pair and the terminator is not part of it; a lone LF stays inside its line. The end of the
// text after a terminator starts no further line, so "A\r\n" is one line and "" is none.
std::vector<std::wstring> SplitAtCarriageReturns(const std::wstring& file_text);

// The pane text for a file: each of its lines followed by CR LF. A NUL character (the usual
// remnant of a file cut short by a crash) becomes a space, because the pane would end its text at
// the first NUL and hide every line after it.
std::wstring PaneTextFromFile(const std::wstring& file_text);

// The name the Save dialog proposes: "Zelmor" and the date as yymmdd.
std::wstring DefaultSaveName(const LocalTime& today);

}  // namespace zelmor::logfiles

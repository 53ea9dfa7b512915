#pragma once
// The operator's contacts counted: per satellite and in total, contacts, distinct operators (base
// calls) and worked grids, and of these what LoTW has confirmed (worked/confirmed.h): contacts,
// and the squares their confirmations give. VUCC counts distinct 4-character squares over all
// satellites, confirmed against worked. As text the operator can copy: one line a satellite, the
// columns separated by tabs so that a spreadsheet takes them as they are.

#include <cstddef>
#include <string>
#include <vector>

#include "worked/grid_map.h"
#include "worked/worked_index.h"

namespace zelmor::worked {

struct SatelliteCount {
  std::wstring name;  // the spelling most contacts have; empty for contacts without a satellite
  size_t contacts = 0, calls = 0, grids = 0;
  size_t confirmed_contacts = 0, confirmed_grids = 0;
};

struct WorkedSummary {
  // Most contacts first, then by name; contacts without a satellite last.
  std::vector<SatelliteCount> satellites;
  size_t contacts = 0, calls = 0;
  size_t grids = 0;  // the VUCC count: contacts without a satellite count too (a line whose feed failed)
  size_t confirmed_contacts = 0, confirmed_grids = 0;
  // The squares (GridNumbers, in order) worked, and those confirmed: for the map.
  std::vector<int> worked_squares, confirmed_squares;
  size_t unreadable_lines = 0, lines_without_call = 0;
  std::vector<std::wstring> files_not_read;  // given by whoever reads the files
};

WorkedSummary Summarize(const WorkedIndex& index);

// Lines end in CR LF.
std::wstring SummaryText(const WorkedSummary& summary);

// --- The map of grids ---------------------------------------------------------------------------

// The worked and the confirmed squares for the map (grid_map.h); the operator's own are the
// station's business.
MapSquares SquaresOnMap(const WorkedSummary& summary);

}  // namespace zelmor::worked

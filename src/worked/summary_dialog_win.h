#pragma once
// "交信集計": the operator's contacts counted, as text to read and copy (a read-only edit box,
// selectable, Ctrl+C, and a button that copies it all), and the map of the grids worked beside it
// (copied as a picture, saved as PNG), over the main window until closed.

#include <windows.h>

#include <cstdint>
#include <string>

#include "worked/grid_map.h"

namespace zelmor::worked {

// What the dialog shows, asked again while it is open: the index may still be read.
class SummarySource {
 public:
  virtual ~SummarySource() = default;
  // Changes whenever the text would.
  virtual uint64_t SummaryVersion() = 0;
  // False while the logs are still being read: the text then says so and counts nothing.
  virtual bool SummaryComplete() = 0;
  // The count as text, and the squares of the map beside it (worked, confirmed and the operator's
  // own), from one count.
  struct Shown {
    std::wstring text;
    MapSquares squares;
  };
  virtual Shown SummaryNow() = 0;
};

// Modal over `owner`, from the resources of `instance`. The text follows the source until it is
// complete, then stays as shown (the operator may be selecting in it).
void ShowSummary(HWND owner, HINSTANCE instance, SummarySource& source);

}  // namespace zelmor::worked

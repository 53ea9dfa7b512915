#pragma once
// The colour a square of the map of grids is drawn in, read from a picture of it.

#include <cstdint>
#include <map>

#include "worked/grid_map.h"

namespace test_support {

// The colour most of the square's inner half has: a coast or a field letter may cross its centre.
// `pixel_at(x, y)` gives 0xRRGGBB.
template <typename PixelAt>
uint32_t SquareColour(const zelmor::worked::GridMap& map, int grid, PixelAt pixel_at) {
  const zelmor::worked::PixelRect r = map.RectOf(grid);
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::map<uint32_t, int> seen;
  for (int y = r.top + h / 4; y < r.bottom - h / 4; ++y) {
    for (int x = r.left + w / 4; x < r.right - w / 4; ++x) ++seen[pixel_at(x, y)];
  }
  uint32_t most = 0;
  int count = -1;
  for (const auto& [colour, n] : seen) {
    if (n > count) most = colour, count = n;
  }
  return most;
}

}  // namespace test_support

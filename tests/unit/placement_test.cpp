#include "window/placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmor::window {
namespace {

TEST(KeepOnScreenTest, VisibleWindowsStayAndLostOnesComeToThePrimaryWorkArea) {
  const ScreenRect primary{0, 0, 1280, 984};
  const ScreenRect second{1280, 0, 3200, 1080};
  const ScreenRect both[] = {primary, second};
  struct Row {
    const char* what;
    ScreenRect stored;
    ScreenRect placed;
  };
  const Row rows[] = {
      {"on the primary monitor", {100, 100, 574, 385}, {100, 100, 574, 385}},
      {"partly off the primary monitor", {-400, -20, 74, 265}, {-400, -20, 74, 265}},
      {"on the second monitor", {2000, 500, 2474, 785}, {2000, 500, 2474, 785}},
      {"where an unplugged monitor was", {4000, 100, 4474, 385}, {0, 0, 474, 285}},
      {"an absurd top edge", {0, -2000000000, 474, -1999999715}, {0, 0, 474, 285}},
      {"larger than the work area", {5000, 5000, 7000, 7000}, {0, 0, 1280, 984}},
      {"touching the edge only", {3200, 0, 3600, 285}, {0, 0, 400, 285}},
  };
  for (const Row& row : rows) {
    const ScreenRect got = KeepOnScreen(row.stored, both, 2, primary);
    EXPECT_EQ(std::vector<int>({got.left, got.top, got.right, got.bottom}),
              std::vector<int>({row.placed.left, row.placed.top, row.placed.right, row.placed.bottom}))
        << row.what;
  }
}

}  // namespace
}  // namespace zelmor::window

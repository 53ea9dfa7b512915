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

TEST(PlacePopupTest, BesideTheAnchorAndInsideTheWorkArea) {
  const ScreenRect work{0, 0, 1280, 984};
  struct Row {
    const char* what;
    ScreenRect anchor;
    int width, height, gap;
    PopupSide side;
    ScreenRect placed;
  };
  const Row rows[] = {
      // The LoTW report beside the main window.
      {"right of it", {100, 100, 600, 500}, 300, 200, 0, PopupSide::Right, {600, 100, 900, 300}},
      {"left of it at the screen's right edge", {900, 100, 1200, 500}, 300, 200, 0, PopupSide::Right, {600, 100, 900, 300}},
      {"over its right edge where neither side has room", {100, 100, 1200, 500}, 300, 200, 0, PopupSide::Right,
       {980, 100, 1280, 300}},
      {"up from the bottom edge", {100, 900, 600, 980}, 300, 200, 0, PopupSide::Right, {600, 784, 900, 984}},
      {"down from the top edge", {100, -50, 600, 500}, 300, 200, 0, PopupSide::Right, {600, 0, 900, 200}},
      // The worked-before hint under the entry box.
      {"under it", {100, 600, 700, 624}, 400, 60, 2, PopupSide::Below, {100, 626, 500, 686}},
      {"above it at the screen's bottom", {100, 940, 700, 964}, 400, 60, 2, PopupSide::Below, {100, 878, 500, 938}},
      {"in from the right edge", {1000, 600, 1270, 624}, 400, 60, 2, PopupSide::Below, {880, 626, 1280, 686}},
      {"in from the left edge", {-100, 600, 300, 624}, 400, 60, 2, PopupSide::Below, {0, 626, 400, 686}},
      {"neither above nor below", {100, 10, 700, 980}, 400, 60, 2, PopupSide::Below, {100, 924, 500, 984}},
      {"larger than the work area", {100, 100, 600, 500}, 1400, 1000, 0, PopupSide::Right, {0, 0, 1400, 1000}},
  };
  for (const Row& row : rows) {
    const ScreenRect got = PlacePopup(row.anchor, row.width, row.height, row.gap, row.side, work);
    EXPECT_EQ(std::vector<int>({got.left, got.top, got.right, got.bottom}),
              std::vector<int>({row.placed.left, row.placed.top, row.placed.right, row.placed.bottom}))
        << row.what;
  }
  // A second monitor's work area, left of the primary one.
  const ScreenRect got = PlacePopup({-800, 100, -100, 500}, 300, 200, 0, PopupSide::Right, {-1920, 0, 0, 1040});
  EXPECT_EQ(std::vector<int>({got.left, got.top}), std::vector<int>({-1100, 100}));
}

}  // namespace
}  // namespace zelmor::window

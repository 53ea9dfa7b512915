#include "worked/grid_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "printable.h"
#include "worked/worked_source.h"

namespace zelmor::worked {
namespace {

using test_support::Utf8;

int G(const wchar_t* text) { return GridNumber(text); }

std::string Describe(const PixelRect& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

bool Inside(const PixelRect& r, const GridMap& map) {
  return r.left >= 0 && r.top >= 0 && r.right <= map.width() && r.bottom <= map.height();
}

GridMap Fitted(MapSquares squares, int width = 600, int height = 400) {
  GridMap map;
  map.SetClientSize(width, height);
  map.SetSquares(std::move(squares));
  return map;
}

TEST(GridMapTest, SquaresAreTheirColumnAndRow) {
  const struct {
    const wchar_t* grid;
    int column, row;
  } rows[] = {
      {L"AA00", 0, 0},     // 180°W, 90°S
      {L"RR99", 179, 179}, // 180°E, 90°N
      {L"PM95", 159, 125}, // Tokyo: 138°E, 35°N
      {L"JJ00", 90, 90},   // the meridian and the equator meet at its corner
      {L"FN31", 53, 131},  // Connecticut
  };
  for (const auto& row : rows) {
    EXPECT_EQ(SquareColumn(G(row.grid)), row.column) << Utf8(row.grid);
    EXPECT_EQ(SquareRow(G(row.grid)), row.row) << Utf8(row.grid);
    EXPECT_EQ(SquareAt(row.column, row.row), G(row.grid)) << Utf8(row.grid);
  }
  // Columns wrap; rows stop at the poles.
  EXPECT_EQ(Utf8(GridText(SquareAt(180, 125))), "AM05");
  EXPECT_EQ(Utf8(GridText(SquareAt(-1, 125))), "RM95");
  EXPECT_EQ(SquareAt(10, 180), -1);
  EXPECT_EQ(SquareAt(10, -1), -1);
}

TEST(GridMapTest, SquaresAreTwiceAsWideAsHighAndTile) {
  GridMap map = Fitted({{G(L"PM95"), G(L"PM96"), G(L"QM05")}, {}, {}});
  const PixelRect a = map.RectOf(G(L"PM95")), north = map.RectOf(G(L"PM96")), east = map.RectOf(G(L"QM05"));
  EXPECT_NEAR(a.right - a.left, 2 * (a.bottom - a.top), 1) << Describe(a);
  EXPECT_EQ(north.bottom, a.top) << Describe(north) << " " << Describe(a);
  EXPECT_EQ(east.left, a.right) << Describe(east) << " " << Describe(a);
  EXPECT_EQ(east.top, a.top);
}

TEST(GridMapTest, FitShowsEveryWorkedSquareAndTheOwnNeighbourhood) {
  const struct {
    const char* what;
    MapSquares squares;
  } rows[] = {
      {"a few squares around home", {{G(L"PM95"), G(L"PM85"), G(L"QM06")}, {}, {G(L"PM95")}}},
      {"Japan and Europe", {{G(L"PM95"), G(L"JO62"), G(L"IO91")}, {}, {G(L"PM95")}}},
      {"across 180°: Japan, Hawaii and Alaska", {{G(L"PM95"), G(L"BL11"), G(L"AP30"), G(L"RR73")}, {}, {G(L"PM95")}}},
      {"from pole to pole", {{G(L"JA00"), G(L"JR99")}, {}, {}}},
      {"a grid line of four", {{}, {}, {G(L"PM95"), G(L"PM96"), G(L"QM05"), G(L"QM06")}}},
      {"confirmed only (not among the worked)", {{}, {G(L"FN31")}, {}}},
  };
  for (const auto& row : rows) {
    const GridMap map = Fitted(row.squares);
    std::vector<int> all = row.squares.worked;
    all.insert(all.end(), row.squares.confirmed.begin(), row.squares.confirmed.end());
    all.insert(all.end(), row.squares.own.begin(), row.squares.own.end());
    for (int g : all) {
      EXPECT_TRUE(Inside(map.RectOf(g), map)) << row.what << ": " << Utf8(GridText(g)) << " at "
                                              << Describe(map.RectOf(g));
    }
    for (int g : row.squares.own) {
      // The neighbourhood: squares a few columns and rows away are in view too.
      for (int grid : {SquareAt(SquareColumn(g) + GridMap::kOwnMarginColumns, SquareRow(g)),
                       SquareAt(SquareColumn(g) - GridMap::kOwnMarginColumns, SquareRow(g)),
                       SquareAt(SquareColumn(g), SquareRow(g) + GridMap::kOwnMarginRows),
                       SquareAt(SquareColumn(g), SquareRow(g) - GridMap::kOwnMarginRows)}) {
        EXPECT_TRUE(Inside(map.RectOf(grid), map)) << row.what << ": " << Utf8(GridText(grid));
      }
    }
  }
}

TEST(GridMapTest, FitAcrossTheAntimeridianTakesTheShortWay) {
  // Japan and Alaska are 60° apart across 180°, 300° the other way round.
  const GridMap map = Fitted({{G(L"PM95"), G(L"AP30")}, {}, {}});
  EXPECT_LT(map.width() / map.scale(), 120) << "degrees shown: " << map.width() / map.scale();
  EXPECT_LT(map.RectOf(G(L"PM95")).left, map.RectOf(G(L"AP30")).left) << "Japan is west of Alaska on the map";
  // The square either side of 180° sit side by side.
  const GridMap edge = Fitted({{G(L"RM90"), G(L"AM00")}, {}, {}});
  EXPECT_EQ(edge.RectOf(G(L"RM90")).right, edge.RectOf(G(L"AM00")).left);
}

TEST(GridMapTest, NothingWorkedShowsTheWorld) {
  const GridMap map = Fitted({}, 720, 360);
  EXPECT_DOUBLE_EQ(map.scale(), 2);
  EXPECT_EQ(map.NorthY(), 0);
  EXPECT_EQ(map.SouthY(), 360);
  EXPECT_EQ(map.Visible().size(), 180u * 180u);
}

TEST(GridMapTest, TheViewNeverPassesThePoles) {
  GridMap map = Fitted({{G(L"JR09")}, {}, {}});  // next to the North Pole
  EXPECT_LE(map.NorthY(), 0);
  map.Pan(0, 5000);  // dragged down: would show what is north of the pole
  EXPECT_EQ(map.NorthY(), 0);
  map.Pan(0, -100000);
  EXPECT_EQ(map.SouthY(), map.height());
  EXPECT_FALSE(map.HitTest(10, map.height() + 5).has_value());
  // Zoomed out until the whole world is higher than the view... and lower: centred, nothing beyond.
  map.Zoom(0.001, 300, 200);
  EXPECT_GE(map.NorthY(), 0);
  EXPECT_LE(map.SouthY(), map.height());
  EXPECT_FALSE(map.HitTest(300, map.NorthY() - 1).has_value());
  EXPECT_TRUE(map.HitTest(300, map.NorthY()).has_value());
}

TEST(GridMapTest, ZoomStaysWithinItsBoundsAndKeepsThePointUnderTheCursor) {
  GridMap map = Fitted({{G(L"PM95")}, {}, {}});
  const auto under = map.HitTest(123, 77);
  ASSERT_TRUE(under.has_value());
  map.Zoom(1.25, 123, 77);
  EXPECT_EQ(map.HitTest(123, 77), under);
  EXPECT_TRUE(map.moved_by_operator());
  for (int i = 0; i < 50; ++i) map.Zoom(2, 123, 77);
  EXPECT_GE(map.width() / map.scale() + 1e-9, GridMap::kMinimumLongitudeSpan);
  EXPECT_GE(map.height() / map.scale() + 1e-9, GridMap::kMinimumLatitudeSpan);
  for (int i = 0; i < 50; ++i) map.Zoom(0.5, 123, 77);
  EXPECT_GE(map.width() / map.scale() + 1e-9, 360.0);  // the whole world, no smaller
  EXPECT_LT(map.Visible().size(), 2u * 180u * 180u);
  // Fit forgets the operator's moves.
  map.Fit();
  EXPECT_FALSE(map.moved_by_operator());
  EXPECT_TRUE(Inside(map.RectOf(G(L"PM95")), map));
}

TEST(GridMapTest, PanningAcross180WrapsAndFollowsTheDrag) {
  GridMap map = Fitted({{G(L"RM90"), G(L"AM00")}, {}, {}});
  const PixelRect before = map.RectOf(G(L"AM00"));
  map.Pan(37, -3);
  PixelRect after = map.RectOf(G(L"AM00"));
  EXPECT_EQ(after.left - before.left, 37) << Describe(before) << " -> " << Describe(after);
  // A whole world's drag brings the same picture back.
  map.Pan(static_cast<int>(360 * map.scale()), 0);
  EXPECT_GE(map.left_longitude(), 0);
  EXPECT_LT(map.left_longitude(), 360);
  for (int i = 0; i < 40; ++i) map.Pan(-250, 0);  // many turns of the world westwards
  EXPECT_GE(map.left_longitude(), 0);
  EXPECT_LT(map.left_longitude(), 360);
}

TEST(GridMapTest, HitTestMatchesTheDrawnRectanglesAtTheirEdges) {
  for (const MapSquares& squares : {MapSquares{{G(L"PM95"), G(L"QM06")}, {}, {}},
                                    MapSquares{{G(L"RM90"), G(L"AM00")}, {}, {}}, MapSquares{}}) {
    GridMap map = Fitted(squares, 613, 377);
    map.Zoom(1.37, 200, 100);  // an odd scale: edges fall between pixels
    for (const DrawnSquare& s : map.Visible()) {
      const PixelRect& r = s.rect;
      if (r.right <= r.left || r.bottom <= r.top) continue;
      for (int x : {r.left, r.right - 1}) {
        for (int y : {r.top, r.bottom - 1}) {
          if (x < 0 || y < 0 || x >= map.width() || y >= map.height()) continue;
          const auto hit = map.HitTest(x, y);
          ASSERT_TRUE(hit.has_value());
          ASSERT_EQ(Utf8(GridText(*hit)), Utf8(GridText(s.grid))) << "pixel " << x << "," << y << " of " << Describe(r);
        }
      }
    }
  }
}

TEST(GridMapTest, StatusOfEachSquare) {
  const GridMap map = Fitted({{G(L"PM95"), G(L"PM96"), G(L"QM05")}, {G(L"PM96")}, {G(L"PM95"), G(L"PM85")}});
  EXPECT_EQ(map.StatusOf(G(L"PM95")), SquareStatus::WorkedOnly);
  EXPECT_EQ(map.StatusOf(G(L"PM96")), SquareStatus::Confirmed);
  EXPECT_EQ(map.StatusOf(G(L"PM85")), SquareStatus::NotWorked);
  EXPECT_TRUE(map.IsOwn(G(L"PM85")));
  EXPECT_FALSE(map.IsOwn(G(L"PM96")));
  EXPECT_EQ(map.StatusOf(-1), SquareStatus::NotWorked);
  std::set<uint32_t> colours{StatusColour(SquareStatus::Confirmed), StatusColour(SquareStatus::WorkedOnly),
                             StatusColour(SquareStatus::NotWorked)};
  EXPECT_EQ(colours.size(), 3u);
}

TEST(GridMapTest, FieldLettersAtTheirFieldsCorners) {
  GridMap map = Fitted({{G(L"PM95"), G(L"QM05")}, {}, {}});
  std::set<std::string> texts;
  for (const FieldLabel& f : map.FieldLabels()) {
    texts.insert(Utf8(f.text));
    EXPECT_GE(f.x, 0);
    EXPECT_GE(f.y, 0);
    EXPECT_LT(f.x, map.width());
    EXPECT_LT(f.y, map.height());
    EXPECT_GT(f.width, 0);
    EXPECT_LE(f.x + f.width, map.width());
    EXPECT_LE(f.y + f.height, map.height());
  }
  EXPECT_TRUE(texts.count("PM") && texts.count("QM")) << texts.size();
  // QM's label stands where its westernmost square begins: on the boundary of PM and QM.
  for (const FieldLabel& f : map.FieldLabels()) {
    if (f.text == L"QM") {
      EXPECT_EQ(f.x, map.RectOf(G(L"QM09")).left);
      EXPECT_EQ(f.width, std::min(map.RectOf(G(L"QM99")).right, map.width()) - f.x);
    }
  }
  const auto xs = map.FieldColumnsX();
  EXPECT_NE(std::find(xs.begin(), xs.end(), map.RectOf(G(L"QM05")).left), xs.end());
}

}  // namespace
}  // namespace zelmor::worked

#pragma once
// The map of grids in the summary: which Maidenhead squares the operator worked and which of them
// LoTW confirmed, around his own grids, as a view that zooms and moves. Everything here is plain
// geometry in pixels; drawing it is grid_map_win.h's business.
//
// The map is equirectangular: a degree is as many pixels east as north, so a square (2° of
// longitude by 1° of latitude) is twice as wide as it is high, as Maidenhead maps draw them.
// Longitude wraps (the view may cross 180°); latitude stops at the poles.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelmor::worked {

// A square's place on the map: its column, 0..179 eastwards from 180°W (2° each), and its row,
// 0..179 northwards from 90°S (1° each). A GridNumber (worked_source.h) is both in one number.
int SquareColumn(int grid);
int SquareRow(int grid);
// The GridNumber of a column (taken modulo 180, so a column beyond 180°E is the one it wraps to)
// and a row; -1 for a row off the map.
int SquareAt(int column, int row);

enum class SquareStatus { NotWorked, WorkedOnly, Confirmed };

// The colour each status is drawn in, 0xRRGGBB.
uint32_t StatusColour(SquareStatus status);

// What the map shows, as GridNumbers.
struct MapSquares {
  std::vector<int> worked;     // every square with a contact, on any satellite
  std::vector<int> confirmed;  // those LoTW confirmed (a part of `worked`)
  std::vector<int> own;        // the operator's grids (one, or a grid line's)
};

struct PixelRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const PixelRect& o) const {
    return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
  }
};

// A square as the view draws it. One square may be drawn twice when the view is wider than the
// world.
struct DrawnSquare {
  int grid = -1;
  PixelRect rect;
  SquareStatus status = SquareStatus::NotWorked;
  bool own = false;
};

// A field's two letters ("PM") and where the view writes them: inside the field's top-left corner,
// or the visible part's when the corner is off the view.
struct FieldLabel {
  std::wstring text;
  int x = 0, y = 0;
  int width = 0, height = 0;  // of the field's part in view: the letters go where they fit
};

class GridMap {
 public:
  // Squares of margin around the operator's grids when the view fits: his neighbourhood is shown
  // even before anything was worked there.
  static constexpr int kOwnMarginColumns = 4, kOwnMarginRows = 4;
  // The fitted view never shows fewer degrees than these, nor does zooming in.
  static constexpr double kMinimumLongitudeSpan = 16, kMinimumLatitudeSpan = 8;

  // Takes the squares; the view fits them unless the operator has moved or zoomed it since.
  void SetSquares(MapSquares squares);
  // The size of the area drawn in, in pixels. The view keeps its centre.
  void SetClientSize(int width, int height);
  // Zooms to the worked squares and the operator's own with their margin (the whole world when
  // there is neither), and forgets that the operator moved the view.
  void Fit();

  // Moves the map by pixels (a drag of the mouse by dx, dy moves what is under it along).
  void Pan(int dx, int dy);
  // Zooms by `factor` (> 1 nearer) keeping the point at pixel (x, y) where it is.
  void Zoom(double factor, int x, int y);
  bool moved_by_operator() const { return moved_; }

  SquareStatus StatusOf(int grid) const;
  bool IsOwn(int grid) const;
  // The square's rectangle in the copy nearest the view's left edge (it may lie outside the view).
  PixelRect RectOf(int grid) const;
  // Every square at least partly in the view, west to east, north to south; with `marked_only`,
  // those alone that are worked, confirmed or the operator's (zoomed out, the view holds the
  // whole world's 32,400 squares, mostly not worked).
  std::vector<DrawnSquare> Visible(bool marked_only = false) const;
  std::vector<FieldLabel> FieldLabels() const;
  // Pixel x of every field boundary (each 20° of longitude) and pixel y of each 10° of latitude
  // within the view: the lines drawn stronger than the squares'.
  std::vector<int> FieldColumnsX() const { return ColumnsX(20); }
  std::vector<int> FieldRowsY() const { return RowsY(10); }
  // The same for the lines between squares.
  std::vector<int> SquareColumnsX() const { return ColumnsX(2); }
  std::vector<int> SquareRowsY() const { return RowsY(1); }
  // The map's top and bottom edges (the poles) in pixels: outside, there is nothing to draw.
  int NorthY() const;
  int SouthY() const;
  // The square under pixel (x, y); nothing beyond the poles.
  std::optional<int> HitTest(int x, int y) const;

  // The view: pixels per degree, the longitude at the left edge (degrees east of 180°W, 0..360)
  // and the colatitude at the top edge (degrees south of the North Pole).
  double scale() const { return scale_; }
  double left_longitude() const { return left_; }
  double top_colatitude() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }

 private:
  double MinimumScale() const;
  double MaximumScale() const;
  void Clamp();
  void Show(double west, double east, double north, double south);
  int X(double longitude) const;
  int Y(double colatitude) const;
  std::vector<int> ColumnsX(int degrees) const;
  std::vector<int> RowsY(int degrees) const;

  MapSquares squares_;
  std::vector<uint8_t> status_;  // by GridNumber: SquareStatus, own in bit 2
  int width_ = 1, height_ = 1;
  double scale_ = 1, left_ = 0, top_ = 0;
  bool moved_ = false;
};

}  // namespace zelmor::worked

#include "worked/grid_map.h"

#include <algorithm>
#include <cmath>

namespace zelmor::worked {
namespace {

constexpr int kSide = 180;  // columns and rows of squares
constexpr int kSquares = kSide * kSide;
constexpr double kWorldLongitude = 360, kWorldColatitude = 180;
constexpr uint8_t kOwnBit = 4;

// Rounds half up, negative or not, so that a square's right edge is its neighbour's left edge.
int Round(double v) { return static_cast<int>(std::floor(v + 0.5)); }

int Wrap(int column) { return ((column % kSide) + kSide) % kSide; }

// The colatitude of a row's northern edge.
double NorthOf(int row) { return kWorldColatitude - row - 1; }

}  // namespace

int SquareColumn(int grid) { return grid / 1800 * 10 + grid / 10 % 10; }
int SquareRow(int grid) { return grid / 100 % 18 * 10 + grid % 10; }

int SquareAt(int column, int row) {
  if (row < 0 || row >= kSide) return -1;
  const int c = Wrap(column);
  return ((c / 10 * 18 + row / 10) * 10 + c % 10) * 10 + row % 10;
}

uint32_t StatusColour(SquareStatus status) {
  switch (status) {
    case SquareStatus::Confirmed:
      return 0x2E9E4F;  // green
    case SquareStatus::WorkedOnly:
      return 0xF2B33D;  // amber
    case SquareStatus::NotWorked:
    default:
      return 0xF4F6F8;  // near white: the paper the map is drawn on
  }
}

void GridMap::SetSquares(MapSquares squares) {
  squares_ = std::move(squares);
  status_.assign(kSquares, 0);
  auto valid = [](int grid) { return grid >= 0 && grid < kSquares; };
  for (int g : squares_.worked) {
    if (valid(g)) status_[g] = static_cast<uint8_t>(SquareStatus::WorkedOnly);
  }
  // A confirmation is of a worked square; one that the worked squares lack is shown all the same.
  for (int g : squares_.confirmed) {
    if (valid(g)) status_[g] = static_cast<uint8_t>(SquareStatus::Confirmed);
  }
  for (int g : squares_.own) {
    if (valid(g)) status_[g] |= kOwnBit;
  }
  if (!moved_) Fit();
}

void GridMap::SetClientSize(int width, int height) {
  const double centre_x = left_ + width_ / (2 * scale_), centre_y = top_ + height_ / (2 * scale_);
  width_ = std::max(1, width);
  height_ = std::max(1, height);
  if (!moved_) {
    Fit();
    return;
  }
  scale_ = std::clamp(scale_, MinimumScale(), MaximumScale());
  left_ = centre_x - width_ / (2 * scale_);
  top_ = centre_y - height_ / (2 * scale_);
  Clamp();
}

void GridMap::Fit() {
  moved_ = false;
  std::vector<bool> column_used(kSide, false);
  int north_row = -1, south_row = kSide;
  auto take = [&](int column, int row) {
    column_used[Wrap(column)] = true;
    north_row = std::max(north_row, row);
    south_row = std::min(south_row, row);
  };
  auto valid = [](int grid) { return grid >= 0 && grid < kSquares; };
  for (int g : squares_.worked) {
    if (valid(g)) take(SquareColumn(g), SquareRow(g));
  }
  for (int g : squares_.confirmed) {
    if (valid(g)) take(SquareColumn(g), SquareRow(g));
  }
  for (int g : squares_.own) {
    if (!valid(g)) continue;
    for (int dc = -kOwnMarginColumns; dc <= kOwnMarginColumns; ++dc) take(SquareColumn(g) + dc, SquareRow(g));
    take(SquareColumn(g), std::max(0, SquareRow(g) - kOwnMarginRows));
    take(SquareColumn(g), std::min(kSide - 1, SquareRow(g) + kOwnMarginRows));
  }
  if (north_row < 0) {
    Show(0, kWorldLongitude, 0, kWorldColatitude);
    return;
  }
  // The columns lie on a circle: the area is the circle without its longest empty stretch, so
  // that squares either side of 180° are shown side by side, not a world apart.
  int gap = 0, gap_end = 0;  // gap_end: the first used column after the longest gap
  for (int start = 0; start < kSide; ++start) {
    if (column_used[start] || !column_used[Wrap(start - 1)]) continue;
    int length = 0;
    while (length < kSide && !column_used[Wrap(start + length)]) ++length;
    if (length > gap) {
      gap = length;
      gap_end = Wrap(start + length);
    }
  }
  if (gap == 0) {
    Show(0, kWorldLongitude, NorthOf(north_row) - 1, NorthOf(south_row) + 2);
    return;
  }
  const int west_column = gap_end, east_column = gap_end + (kSide - gap) - 1;  // east may pass 179
  // One square of margin all round, so that the outermost squares do not touch the frame.
  Show(2.0 * (west_column - 1), 2.0 * (east_column + 2), NorthOf(north_row) - 1, NorthOf(south_row) + 2);
}

void GridMap::Show(double west, double east, double north, double south) {
  north = std::max(0.0, north);
  south = std::min(kWorldColatitude, south);
  scale_ = std::min(width_ / (east - west), height_ / (south - north));
  scale_ = std::clamp(scale_, MinimumScale(), MaximumScale());
  left_ = (west + east) / 2 - width_ / (2 * scale_);
  top_ = (north + south) / 2 - height_ / (2 * scale_);
  Clamp();
}

void GridMap::Pan(int dx, int dy) {
  left_ -= dx / scale_;
  top_ -= dy / scale_;
  moved_ = true;
  Clamp();
}

void GridMap::Zoom(double factor, int x, int y) {
  const double longitude = left_ + x / scale_, colatitude = top_ + y / scale_;
  scale_ = std::clamp(scale_ * factor, MinimumScale(), MaximumScale());
  left_ = longitude - x / scale_;
  top_ = colatitude - y / scale_;
  moved_ = true;
  Clamp();
}

// Zoomed out, the whole world fits (a wide view then shows parts of it twice, side by side);
// zoomed in, the view keeps the smallest span in both directions.
double GridMap::MinimumScale() const {
  return std::min(width_ / kWorldLongitude, height_ / kWorldColatitude);
}
double GridMap::MaximumScale() const {
  return std::max(MinimumScale(), std::min(width_ / kMinimumLongitudeSpan, height_ / kMinimumLatitudeSpan));
}

void GridMap::Clamp() {
  scale_ = std::clamp(scale_, MinimumScale(), MaximumScale());
  left_ = std::fmod(left_, kWorldLongitude);
  if (left_ < 0) left_ += kWorldLongitude;
  const double shown = height_ / scale_;
  if (shown >= kWorldColatitude) {
    top_ = (kWorldColatitude - shown) / 2;  // both poles in view: the world in the middle
  } else {
    top_ = std::clamp(top_, 0.0, kWorldColatitude - shown);
  }
  // The edges on whole pixels: a drag by some pixels then moves every square by exactly as many.
  // The top is taken up, never down, so that nothing beyond the South Pole comes into view.
  left_ = std::round(left_ * scale_) / scale_;
  top_ = std::floor(top_ * scale_ + 1e-6) / scale_;
}

// The edges are on whole pixels (Clamp): taken as the whole numbers they are, a square's edge
// falling on half a pixel rounds the same way wherever the view was moved to.
int GridMap::X(double longitude) const { return Round(longitude * scale_ - std::round(left_ * scale_)); }
int GridMap::Y(double colatitude) const { return Round(colatitude * scale_ - std::round(top_ * scale_)); }

SquareStatus GridMap::StatusOf(int grid) const {
  if (grid < 0 || grid >= kSquares || status_.empty()) return SquareStatus::NotWorked;
  return static_cast<SquareStatus>(status_[grid] & 3);
}

bool GridMap::IsOwn(int grid) const {
  return grid >= 0 && grid < kSquares && !status_.empty() && (status_[grid] & kOwnBit) != 0;
}

PixelRect GridMap::RectOf(int grid) const {
  const double west = 2.0 * SquareColumn(grid);
  const double copy = west + kWorldLongitude * (std::floor((left_ - 2 - west) / kWorldLongitude) + 1);
  const double north = NorthOf(SquareRow(grid));
  return {X(copy), Y(north), X(copy + 2), Y(north + 1)};
}

std::vector<DrawnSquare> GridMap::Visible(bool marked_only) const {
  std::vector<DrawnSquare> out;
  const int first_column = static_cast<int>(std::floor(left_ / 2));
  const int last_column = static_cast<int>(std::floor((left_ + width_ / scale_) / 2));
  const int first_k = std::max(0, static_cast<int>(std::floor(top_)));
  const int last_k = std::min(kSide - 1, static_cast<int>(std::floor(top_ + height_ / scale_)));
  for (int k = first_k; k <= last_k; ++k) {
    const int row = kSide - 1 - k;
    for (int column = first_column; column <= last_column; ++column) {
      DrawnSquare s;
      s.grid = SquareAt(column, row);
      if (marked_only && (status_.empty() || status_[s.grid] == 0)) continue;
      s.rect = {X(2.0 * column), Y(k), X(2.0 * column + 2), Y(k + 1.0)};
      if (s.rect.right <= 0 || s.rect.left >= width_ || s.rect.bottom <= 0 || s.rect.top >= height_) continue;
      s.status = StatusOf(s.grid);
      s.own = IsOwn(s.grid);
      out.push_back(s);
    }
  }
  return out;
}

std::vector<FieldLabel> GridMap::FieldLabels() const {
  std::vector<FieldLabel> out;
  const int first_field = static_cast<int>(std::floor(left_ / 20));
  const int last_field = static_cast<int>(std::floor((left_ + width_ / scale_) / 20));
  for (int k = 0; k < 18; ++k) {
    const int north = Y(10.0 * k), south = Y(10.0 * k + 10);
    if (south <= 0 || north >= height_) continue;
    const int field_row = 17 - k;
    for (int f = first_field; f <= last_field; ++f) {
      const int west = X(20.0 * f), east = X(20.0 * f + 20);
      if (east <= 0 || west >= width_) continue;
      const int field_column = ((f % 18) + 18) % 18;
      const int x = std::max(west, 0), y = std::max(north, 0);
      out.push_back({std::wstring{static_cast<wchar_t>(L'A' + field_column), static_cast<wchar_t>(L'A' + field_row)},
                     x, y, std::min(east, width_) - x, std::min(south, height_) - y});
    }
  }
  return out;
}

std::vector<int> GridMap::ColumnsX(int degrees) const {
  std::vector<int> out;
  for (int i = static_cast<int>(std::ceil(left_ / degrees)); 1.0 * degrees * i <= left_ + width_ / scale_; ++i) {
    out.push_back(X(1.0 * degrees * i));
  }
  return out;
}

std::vector<int> GridMap::RowsY(int degrees) const {
  std::vector<int> out;
  for (int k = 0; k * degrees <= kWorldColatitude; ++k) {
    const int y = Y(1.0 * degrees * k);
    if (y >= 0 && y <= height_) out.push_back(y);
  }
  return out;
}

int GridMap::NorthY() const { return Y(0); }
int GridMap::SouthY() const { return Y(kWorldColatitude); }

std::optional<int> GridMap::HitTest(int x, int y) const {
  // From the pixel's centre, then mended against the rectangles as drawn: a pixel belongs to the
  // square whose rectangle holds it, whatever the rounding.
  int column = static_cast<int>(std::floor((left_ + (x + 0.5) / scale_) / 2));
  if (x < X(2.0 * column)) --column;
  if (x >= X(2.0 * column + 2)) ++column;
  int k = static_cast<int>(std::floor(top_ + (y + 0.5) / scale_));
  if (y < Y(k)) --k;
  if (y >= Y(k + 1.0)) ++k;
  if (k < 0 || k >= kSide) return std::nullopt;
  return SquareAt(column, kSide - 1 - k);
}

}  // namespace zelmor::worked

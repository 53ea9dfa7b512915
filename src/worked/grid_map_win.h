#pragma once
// The map of grids (grid_map.h) drawn with GDI: a control of the summary window that the operator
// drags and zooms with the wheel, and the same picture for the clipboard and a PNG file.
//
// Everything is drawn into a picture in memory first and copied to the screen in one go, so that
// dragging does not flicker. Sizes follow the window's DPI and the dialog's font, so the map is as
// crisp at 200 % as at 100 %.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/handles_win.h"
#include "window/base_window_win.h"
#include "worked/grid_map.h"

namespace zelmor::worked {

// A picture in memory: a 32-bit top-down DIB section selected into a device context of its own.
class MapPicture {
 public:
  // Null when the system gave no bitmap.
  static std::unique_ptr<MapPicture> Make(int width, int height);
  MapPicture(const MapPicture&) = delete;
  MapPicture& operator=(const MapPicture&) = delete;

  HDC dc() const { return dc_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  // 0xRRGGBB of a pixel (GDI must have finished: GdiFlush is called here).
  uint32_t PixelAt(int x, int y) const;
  // The picture as a PNG file.
  std::string Png() const;
  // The picture as CF_DIB wants it (a 24-bit bottom-up DIB in movable global memory).
  base::UniqueGlobal Dib() const;

 private:
  MapPicture() = default;
  int width_ = 0, height_ = 0;
  const uint8_t* bits_ = nullptr;
  base::UniqueMemoryDc dc_;
  base::UniqueBitmap bitmap_;
  std::unique_ptr<base::SelectedObject> selected_;  // put back before the bitmap is deleted
};

// What the drawing takes from the window: its font (the legend's and the field letters') and DPI.
struct MapLook {
  HFONT font = nullptr;
  UINT dpi = 96;
};

// The map as the view shows it, and under it a strip of LegendHeight with the legend; `hover` is
// the square under the mouse, named at the strip's end.
void DrawMap(HDC dc, const GridMap& map, const MapLook& look, std::optional<int> hover = std::nullopt);
int LegendHeight(const MapLook& look);
// The map and its legend as a picture of their own (for the clipboard and the PNG).
std::unique_ptr<MapPicture> RenderMap(const GridMap& map, const MapLook& look);

// Puts the picture on the clipboard as CF_DIB; false when the clipboard could not be had.
bool CopyPictureToClipboard(HWND owner, const MapPicture& picture);

class GridMapView : public window::Window {
 public:
  // Takes the place and the ID of `placeholder`, a hidden control of the dialog.
  bool Create(HWND placeholder);

  void SetSquares(MapSquares squares);
  // Back to the worked area (the operator's moves forgotten).
  void Fit();
  bool CopyToClipboard();
  // Writes the picture to `path` as a PNG, replacing the file whole. ERROR_SUCCESS or the error.
  DWORD SaveAsPng(const std::wstring& path);
  const GridMap& map() const { return map_; }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override;

 private:
  MapLook Look() const;
  void OnPaint();
  void OnMouseMove(int x, int y);
  void OnKey(WPARAM key);
  void Changed();

  GridMap map_;
  std::optional<POINT> drag_from_;
  std::optional<int> hover_;
};

}  // namespace zelmor::worked

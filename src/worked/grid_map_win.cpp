#include "worked/grid_map_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "base/atomic_file_win.h"
#include "base/png.h"
#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "window/dpi_win.h"
#include "worked/coastlines.h"
#include "worked/worked_source.h"

namespace zelmor::worked {
namespace {

constexpr wchar_t kClassName[] = L"ZelmorGridMap";
// Beyond the poles, the field lines, the lines between squares, the letters and the own squares.
constexpr uint32_t kOutside = 0xB4BCC4, kFieldLine = 0x5F6B78, kSquareLine = 0xC9CFD6, kLetters = 0x2B3540,
                   kOwn = 0xD0312D, kLegendPaper = 0xFFFFFF, kCoast = 0x4F7396;
// A notch of the wheel zooms by this much; so do + and - on the keyboard.
constexpr double kZoomStep = 1.25;

COLORREF Colour(uint32_t rgb) { return RGB(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF); }

int Scaled(int pixels_at_96, UINT dpi) { return std::max(1, MulDiv(pixels_at_96, static_cast<int>(dpi), 96)); }

void Fill(HDC dc, const RECT& r, uint32_t rgb) {
  SetDCBrushColor(dc, Colour(rgb));
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
  return size;
}

void Text(HDC dc, int x, int y, const std::wstring& text) {
  TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
}

std::wstring StatusText(SquareStatus status) {
  switch (status) {
    case SquareStatus::Confirmed:
      return LoadText(IDS_MAP_CONFIRMED);
    case SquareStatus::WorkedOnly:
      return LoadText(IDS_MAP_WORKED);
    case SquareStatus::NotWorked:
    default:
      return LoadText(IDS_MAP_NOT_WORKED);
  }
}

// The legend, in a strip under the map so that it hides nothing: a swatch and a word for each
// colour and the frame of the operator's own squares; at its right end, the square under the mouse.
void DrawLegend(HDC dc, const GridMap& map, const MapLook& look, std::optional<int> hover) {
  const struct {
    std::wstring text;
    uint32_t colour;
    bool own;
  } items[] = {
      {LoadText(IDS_MAP_CONFIRMED), StatusColour(SquareStatus::Confirmed), false},
      {LoadText(IDS_MAP_WORKED), StatusColour(SquareStatus::WorkedOnly), false},
      {LoadText(IDS_MAP_NOT_WORKED), StatusColour(SquareStatus::NotWorked), false},
      {LoadText(IDS_MAP_OWN), StatusColour(SquareStatus::NotWorked), true},
  };
  const int pad = Scaled(4, look.dpi), line = TextSize(dc, L"M").cy;
  const RECT strip{0, map.height(), map.width(), map.height() + line + 2 * pad};
  Fill(dc, strip, kLegendPaper);
  SetDCPenColor(dc, Colour(kFieldLine));
  Line(dc, 0, strip.top, strip.right, strip.top);
  int x = pad;
  const int y = strip.top + pad;
  for (const auto& item : items) {
    const RECT swatch{x, y, x + line, y + line};
    Fill(dc, swatch, item.colour);
    FrameRect(dc, &swatch, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (item.own) {
      base::UniquePen pen(CreatePen(PS_INSIDEFRAME, Scaled(2, look.dpi), Colour(kOwn)));
      base::SelectedObject selected_pen(dc, pen.get());
      base::SelectedObject no_brush(dc, GetStockObject(NULL_BRUSH));
      Rectangle(dc, swatch.left, swatch.top, swatch.right, swatch.bottom);
    }
    Text(dc, swatch.right + pad, y, item.text);
    x = swatch.right + pad + TextSize(dc, item.text).cx + 3 * pad;
  }
  if (hover) {
    const std::wstring text = FillText(LoadText(IDS_MAP_SQUARE), {GridText(*hover), StatusText(map.StatusOf(*hover))});
    const int left = map.width() - pad - TextSize(dc, text).cx;
    if (left >= x) Text(dc, left, y, text);
  }
}

// The coasts over the squares, once for each turn of the world in the view.
void DrawCoasts(HDC dc, const GridMap& map) {
  const Coastlines coasts = TheCoastlines();
  const double s = map.scale(), left = map.left_longitude(), top = map.top_colatitude();
  const double shown = map.width() / s;
  // One pixel at every scaling: the squares are the map's subject, and GDI draws the long coasts
  // with a wider pen several times slower.
  base::UniquePen pen(CreatePen(PS_SOLID, 1, Colour(kCoast)));
  base::SelectedObject selected(dc, pen.get());
  std::vector<POINT> points;
  for (int turn = static_cast<int>(std::floor(left / 360)); 360.0 * turn <= left + shown; ++turn) {
    const double shift = 360.0 * turn + 180 - left;  // tenths of a degree east of 180°W, then the view
    for (size_t i = 0; i < coasts.lines; ++i) {
      points.clear();
      for (uint32_t p = coasts.starts[i]; p < coasts.starts[i + 1]; ++p) {
        const double longitude = coasts.points[2 * p] / 10.0, latitude = coasts.points[2 * p + 1] / 10.0;
        points.push_back({static_cast<LONG>(std::lround((longitude + shift) * s)),
                          static_cast<LONG>(std::lround((90 - latitude - top) * s))});
      }
      // A line wholly outside the view is not handed to GDI, which is slow at wide pens.
      RECT bounds{points[0].x, points[0].y, points[0].x, points[0].y};
      for (const POINT& q : points) {
        bounds.left = std::min(bounds.left, q.x);
        bounds.right = std::max(bounds.right, q.x);
        bounds.top = std::min(bounds.top, q.y);
        bounds.bottom = std::max(bounds.bottom, q.y);
      }
      if (bounds.right < 0 || bounds.left > map.width() || bounds.bottom < 0 || bounds.top > map.height()) continue;
      Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
  }
}

}  // namespace

// --- The picture -------------------------------------------------------------------------------

std::unique_ptr<MapPicture> MapPicture::Make(int width, int height) {
  if (width <= 0 || height <= 0) return nullptr;
  std::unique_ptr<MapPicture> p(new MapPicture);
  p->width_ = width;
  p->height_ = height;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down: row 0 first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  p->bitmap_.reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  p->dc_.reset(CreateCompatibleDC(nullptr));
  if (!p->bitmap_ || !p->dc_ || !bits) return nullptr;
  p->bits_ = static_cast<const uint8_t*>(bits);
  p->selected_ = std::make_unique<base::SelectedObject>(p->dc_.get(), p->bitmap_.get());
  return p;
}

uint32_t MapPicture::PixelAt(int x, int y) const {
  GdiFlush();
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  const uint8_t* p = bits_ + (static_cast<size_t>(y) * width_ + x) * 4;  // blue, green, red, unused
  return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
}

std::string MapPicture::Png() const {
  GdiFlush();
  std::vector<uint8_t> rgb(static_cast<size_t>(width_) * height_ * 3);
  for (size_t i = 0, n = static_cast<size_t>(width_) * height_; i < n; ++i) {
    rgb[i * 3] = bits_[i * 4 + 2];
    rgb[i * 3 + 1] = bits_[i * 4 + 1];
    rgb[i * 3 + 2] = bits_[i * 4];
  }
  return base::EncodePng(width_, height_, rgb.data(), static_cast<size_t>(width_) * 3);
}

base::UniqueGlobal MapPicture::Dib() const {
  GdiFlush();
  const size_t stride = (static_cast<size_t>(width_) * 3 + 3) & ~static_cast<size_t>(3);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width_;
  header.biHeight = height_;  // bottom-up, as every program reading CF_DIB expects
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = static_cast<DWORD>(stride * height_);
  base::UniqueGlobal memory(GlobalAlloc(GMEM_MOVEABLE, sizeof header + header.biSizeImage));
  if (!memory) return memory;
  base::GlobalLockGuard<uint8_t> lock(memory.get());
  if (!lock.get()) return base::UniqueGlobal();
  std::memcpy(lock.get(), &header, sizeof header);
  uint8_t* out = lock.get() + sizeof header;
  for (int y = 0; y < height_; ++y) {
    const uint8_t* in = bits_ + static_cast<size_t>(height_ - 1 - y) * width_ * 4;
    uint8_t* row = out + static_cast<size_t>(y) * stride;
    for (int x = 0; x < width_; ++x) std::memcpy(row + x * 3, in + x * 4, 3);
    std::fill(row + static_cast<size_t>(width_) * 3, row + stride, uint8_t{0});
  }
  return memory;
}

// --- Drawing -----------------------------------------------------------------------------------

void DrawMap(HDC dc, const GridMap& map, const MapLook& look, std::optional<int> hover) {
  const RECT all{0, 0, map.width(), map.height()};
  Fill(dc, all, kOutside);
  const int north = std::max(0, map.NorthY()), south = std::min(map.height(), map.SouthY());
  Fill(dc, RECT{0, north, map.width(), south}, StatusColour(SquareStatus::NotWorked));

  const std::vector<DrawnSquare> squares = map.Visible(true);
  for (const DrawnSquare& s : squares) {
    if (s.status == SquareStatus::NotWorked) continue;
    Fill(dc, RECT{s.rect.left, s.rect.top, s.rect.right, s.rect.bottom}, StatusColour(s.status));
  }

  base::SelectedObject pen(dc, GetStockObject(DC_PEN));
  // The lines between squares only where the squares are large enough to tell apart.
  if (map.scale() >= 4) {
    SetDCPenColor(dc, Colour(kSquareLine));
    for (int x : map.SquareColumnsX()) Line(dc, x, north, x, south);
    for (int y : map.SquareRowsY()) Line(dc, 0, y, map.width(), y);
  }
  {
    base::UniquePen field_pen(CreatePen(PS_SOLID, Scaled(1, look.dpi), Colour(kFieldLine)));
    base::SelectedObject selected(dc, field_pen.get());
    for (int x : map.FieldColumnsX()) Line(dc, x, north, x, south);
    for (int y : map.FieldRowsY()) Line(dc, 0, y, map.width(), y);
  }
  DrawCoasts(dc, map);
  {
    base::UniquePen own_pen(CreatePen(PS_INSIDEFRAME, Scaled(2, look.dpi), Colour(kOwn)));
    base::SelectedObject selected(dc, own_pen.get());
    base::SelectedObject no_brush(dc, GetStockObject(NULL_BRUSH));
    for (const DrawnSquare& s : squares) {
      if (s.own) Rectangle(dc, s.rect.left, s.rect.top, s.rect.right + 1, s.rect.bottom + 1);
    }
  }

  base::SelectedObject font(dc, look.font ? static_cast<HGDIOBJ>(look.font) : GetStockObject(DEFAULT_GUI_FONT));
  // On the paper's colour: a coast under the letters would make them hard to read.
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, Colour(StatusColour(SquareStatus::NotWorked)));
  SetTextColor(dc, Colour(kLetters));
  const int pad = Scaled(3, look.dpi);
  for (const FieldLabel& f : map.FieldLabels()) {
    const SIZE size = TextSize(dc, f.text);
    if (f.width >= size.cx + 2 * pad && f.height >= size.cy + 2 * pad) Text(dc, f.x + pad, f.y + pad, f.text);
  }

  SetBkMode(dc, TRANSPARENT);
  DrawLegend(dc, map, look, hover);
}

int LegendHeight(const MapLook& look) {
  base::UniqueMemoryDc dc(CreateCompatibleDC(nullptr));
  base::SelectedObject font(dc.get(), look.font ? static_cast<HGDIOBJ>(look.font) : GetStockObject(DEFAULT_GUI_FONT));
  return TextSize(dc.get(), L"M").cy + 2 * Scaled(4, look.dpi);
}

std::unique_ptr<MapPicture> RenderMap(const GridMap& map, const MapLook& look) {
  auto picture = MapPicture::Make(map.width(), map.height() + LegendHeight(look));
  if (picture) DrawMap(picture->dc(), map, look);
  return picture;
}

bool CopyPictureToClipboard(HWND owner, const MapPicture& picture) {
  base::UniqueGlobal dib = picture.Dib();
  if (!dib) return false;
  base::ClipboardGuard clipboard(owner);
  if (!clipboard.is_open() || !EmptyClipboard()) return false;
  if (!SetClipboardData(CF_DIB, dib.get())) return false;
  dib.release();  // the clipboard's now
  return true;
}

// --- The control -------------------------------------------------------------------------------

bool GridMapView::Create(HWND placeholder) {
  if (hwnd() || !placeholder) return false;  // one window for the object, in one place
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = kClassName;
  if (!window::RegisterWindowClass(wc)) return false;
  const HWND parent = GetParent(placeholder);
  RECT r{};
  GetWindowRect(placeholder, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const int id = GetDlgCtrlID(placeholder);
  // The map comes right after the placeholder in the tab order, where the dialog puts it.
  const HWND made = CreateOwnedWindow(WS_EX_CLIENTEDGE, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, r.left,
                                      r.top, r.right - r.left, r.bottom - r.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), wc.hInstance);
  if (!made) return false;
  SetWindowPos(made, placeholder, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  DestroyWindow(placeholder);
  return true;
}

void GridMapView::SetSquares(MapSquares squares) {
  map_.SetSquares(std::move(squares));
  Changed();
}

void GridMapView::Fit() {
  map_.Fit();
  Changed();
}

void GridMapView::Changed() {
  if (hwnd()) InvalidateRect(hwnd(), nullptr, FALSE);
}

MapLook GridMapView::Look() const {
  return {reinterpret_cast<HFONT>(SendMessageW(GetParent(hwnd()), WM_GETFONT, 0, 0)), window::DpiOf(hwnd())};
}

bool GridMapView::CopyToClipboard() {
  const auto picture = RenderMap(map_, Look());
  return picture && CopyPictureToClipboard(hwnd(), *picture);
}

DWORD GridMapView::SaveAsPng(const std::wstring& path) {
  const auto picture = RenderMap(map_, Look());
  if (!picture) return ERROR_NOT_ENOUGH_MEMORY;
  return base::ReplaceFileContent(path, picture->Png());
}

void GridMapView::OnPaint() {
  base::PaintDc paint(hwnd());
  RECT client{};
  GetClientRect(hwnd(), &client);
  const auto picture = MapPicture::Make(client.right, client.bottom);
  if (!picture) return;
  DrawMap(picture->dc(), map_, Look(), hover_);
  if (GetFocus() == hwnd()) DrawFocusRect(picture->dc(), &client);
  BitBlt(paint.get(), 0, 0, client.right, client.bottom, picture->dc(), 0, 0, SRCCOPY);
}

void GridMapView::OnMouseMove(int x, int y) {
  if (drag_from_) {
    map_.Pan(x - drag_from_->x, y - drag_from_->y);
    drag_from_ = POINT{x, y};
    Changed();
    return;
  }
  const std::optional<int> hover = map_.HitTest(x, y);
  if (hover != hover_) {
    hover_ = hover;
    Changed();
  }
  TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd(), 0};
  TrackMouseEvent(&track);
}

void GridMapView::OnKey(WPARAM key) {
  const int step_x = std::max(1, map_.width() / 8), step_y = std::max(1, map_.height() / 8);
  switch (key) {
    case VK_LEFT: map_.Pan(step_x, 0); break;
    case VK_RIGHT: map_.Pan(-step_x, 0); break;
    case VK_UP: map_.Pan(0, step_y); break;
    case VK_DOWN: map_.Pan(0, -step_y); break;
    case VK_ADD: case VK_OEM_PLUS: map_.Zoom(kZoomStep, map_.width() / 2, map_.height() / 2); break;
    case VK_SUBTRACT: case VK_OEM_MINUS: map_.Zoom(1 / kZoomStep, map_.width() / 2, map_.height() / 2); break;
    case VK_HOME: map_.Fit(); break;
    default: return;
  }
  Changed();
}

LRESULT GridMapView::OnMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      map_.SetClientSize(LOWORD(lparam), HIWORD(lparam) - LegendHeight(Look()));
      Changed();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the picture covers it all
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(hwnd());
      SetCapture(hwnd());
      drag_from_ = POINT{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      drag_from_.reset();
      if (message == WM_LBUTTONUP && GetCapture() == hwnd()) ReleaseCapture();
      return 0;
    case WM_LBUTTONDBLCLK:
      Fit();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam));
      return 0;
    case WM_MOUSELEAVE:
      if (hover_) {
        hover_.reset();
        Changed();
      }
      return 0;
    case WM_MOUSEWHEEL: {
      POINT at{GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ScreenToClient(hwnd(), &at);
      map_.Zoom(std::pow(kZoomStep, GET_WHEEL_DELTA_WPARAM(wparam) / static_cast<double>(WHEEL_DELTA)), at.x, at.y);
      Changed();
      return 0;
    }
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS;
    case WM_KEYDOWN:
      OnKey(wparam);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Changed();
      return 0;
    default:
      return Default(message, wparam, lparam);
  }
}

}  // namespace zelmor::worked

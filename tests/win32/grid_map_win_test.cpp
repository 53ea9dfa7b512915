// The map of grids as GDI draws it: each square in its status's colour, the same picture on the
// clipboard and in the PNG, and the control that takes the placeholder's place, drags and zooms.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/handles_win.h"
#include "map_pixels.h"
#include "png_reader.h"
#include "printable.h"
#include "worked/grid_map_win.h"
#include "worked/worked_source.h"

namespace zelmor::worked {
namespace {

using test_support::SquareColour;
using test_support::Utf8;

int G(const wchar_t* text) { return GridNumber(text); }

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

std::string Hex(uint32_t rgb) {
  char text[16];
  snprintf(text, sizeof text, "%06X", static_cast<unsigned>(rgb));
  return text;
}

// Japan's squares: PM96 confirmed, QM05 worked only, PM95 the operator's own and worked.
GridMap KnownMap(int width, int height) {
  GridMap map;
  map.SetClientSize(width, height);
  map.SetSquares({{G(L"PM95"), G(L"PM96"), G(L"QM05"), G(L"QN01")}, {G(L"PM96")}, {G(L"PM95")}});
  return map;
}

TEST(GridMapWinTest, EachSquareInItsStatusColour) {
  const GridMap map = KnownMap(401, 303);  // odd sizes: DIB rows are padded
  const auto picture = RenderMap(map, {nullptr, 96});
  ASSERT_TRUE(picture);
  const auto at = [&](int x, int y) { return picture->PixelAt(x, y); };
  const struct {
    const wchar_t* grid;
    SquareStatus status;
  } rows[] = {
      {L"PM96", SquareStatus::Confirmed},
      {L"QM05", SquareStatus::WorkedOnly},
      {L"PM95", SquareStatus::WorkedOnly},  // framed as the operator's, filled as worked
      {L"QN01", SquareStatus::WorkedOnly},
      {L"PM74", SquareStatus::NotWorked},
      {L"QM18", SquareStatus::NotWorked},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Hex(SquareColour(map, G(row.grid), at)), Hex(StatusColour(row.status))) << Utf8(row.grid);
  }
  // The operator's square has its frame: its edge is not the fill's colour.
  const PixelRect own = map.RectOf(G(L"PM95"));
  EXPECT_NE(Hex(picture->PixelAt((own.left + own.right) / 2, own.top + 1)), Hex(StatusColour(SquareStatus::WorkedOnly)));
}

TEST(GridMapWinTest, ClipboardAndPngHoldThePictureAsDrawn) {
  const GridMap map = KnownMap(257, 131);
  const auto picture = RenderMap(map, {nullptr, 144});
  ASSERT_TRUE(picture);
  const HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(CopyPictureToClipboard(owner, *picture));
  {
    base::ClipboardGuard clipboard(owner);
    ASSERT_TRUE(clipboard.is_open());
    const HANDLE data = GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    base::GlobalLockGuard<uint8_t> lock(data);
    const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(lock.get());
    ASSERT_EQ(header->biWidth, 257);
    ASSERT_EQ(header->biHeight, picture->height());
    ASSERT_GT(picture->height(), 131);  // the legend under the map
    ASSERT_EQ(header->biBitCount, 24);
    const uint8_t* bits = lock.get() + header->biSize;
    const size_t stride = (257 * 3 + 3) & ~3u;
    const int height = picture->height();
    ASSERT_GE(lock.size(), header->biSize + stride * height);
    const auto at = [&](int x, int y) {
      const uint8_t* p = bits + (height - 1 - y) * stride + x * 3;
      return static_cast<uint32_t>(p[2]) << 16 | p[1] << 8 | p[0];
    };
    int differing = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < 257; ++x) differing += at(x, y) != picture->PixelAt(x, y);
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Hex(SquareColour(map, G(L"PM96"), at)), Hex(StatusColour(SquareStatus::Confirmed)));
  }
  DestroyWindow(owner);

  const test_support::Decoded png = test_support::Decode(picture->Png());
  ASSERT_EQ(png.fault, "");
  ASSERT_EQ(png.width, 257);
  ASSERT_EQ(png.height, picture->height());
  int differing = 0;
  for (int y = 0; y < png.height; ++y) {
    for (int x = 0; x < 257; ++x) {
      const uint8_t* p = png.rgb.data() + (y * 257 + x) * 3;
      differing += (static_cast<uint32_t>(p[0]) << 16 | p[1] << 8 | p[2]) != picture->PixelAt(x, y);
    }
  }
  EXPECT_EQ(differing, 0);
}

TEST(GridMapWinTest, ControlTakesThePlaceholdersPlaceAndMovesWithTheMouse) {
  const HWND parent = CreateWindowExW(0, L"STATIC", L"Zelmor map test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                      600, 420, nullptr, nullptr, nullptr, nullptr);
  const HWND placeholder = CreateWindowExW(0, L"STATIC", L"", WS_CHILD, 10, 20, 400, 300, parent,
                                           reinterpret_cast<HMENU>(390), nullptr, nullptr);
  GridMapView view;
  ASSERT_TRUE(view.Create(placeholder));
  Pump();
  const HWND made = GetDlgItem(parent, 390);
  ASSERT_EQ(made, view.hwnd());
  EXPECT_FALSE(IsWindow(placeholder));
  RECT client{};
  GetClientRect(made, &client);
  EXPECT_EQ(view.map().width(), client.right);
  EXPECT_EQ(view.map().height() + LegendHeight({reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)), 96}),
            client.bottom);

  view.SetSquares({{G(L"PM95"), G(L"QM05")}, {}, {}});
  const PixelRect before = view.map().RectOf(G(L"PM95"));
  SendMessageW(made, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
  SendMessageW(made, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 110));
  SendMessageW(made, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(140, 90));
  SendMessageW(made, WM_LBUTTONUP, 0, MAKELPARAM(140, 90));
  const PixelRect dragged = view.map().RectOf(G(L"PM95"));
  EXPECT_EQ(dragged.left - before.left, 40);
  EXPECT_EQ(dragged.top - before.top, -10);
  // After the button is up, moving does not drag.
  SendMessageW(made, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(view.map().RectOf(G(L"PM95")).left, dragged.left);

  // The wheel zooms around the cursor (given in screen coordinates): out, the fitted view of two
  // squares being as near as the map goes.
  POINT cursor{200, 150};
  const auto under = view.map().HitTest(cursor.x, cursor.y);
  const double scale = view.map().scale();
  ClientToScreen(made, &cursor);
  SendMessageW(made, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(cursor.x, cursor.y));
  EXPECT_LT(view.map().scale(), scale);
  EXPECT_EQ(view.map().HitTest(200, 150), under);

  // A double click, as the "全体" button, brings the worked area back.
  SendMessageW(made, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_FALSE(view.map().moved_by_operator());
  EXPECT_EQ(view.map().RectOf(G(L"PM95")), before);
  // Painting goes through the memory picture without a fault.
  UpdateWindow(made);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace zelmor::worked

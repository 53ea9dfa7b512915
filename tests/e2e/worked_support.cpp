#include "worked_support.h"

#include "base/handles_win.h"
#include "base/resource.h"
#include "entry/locale_win.h"
#include "entry/log_line.h"
#include "entry_support.h"
#include "map_pixels.h"
#include "settings/keys.h"
#include "worked/worked_source.h"

namespace e2e::worked {

zelmor::LocalTime Shifted(const zelmor::LocalTime& t, int minutes) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  st = logging_loop::PlusMinutes(st, minutes);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::wstring LogLineAt(const std::wstring& memo, const std::wstring& satellite, const zelmor::LocalTime& at) {
  if (satellite.empty()) return logging_loop::FallbackAt(memo, at);
  return logging_loop::ComposedLine({satellite, L"435.640.000", L"145.965.000", L"21847", L"USB"}, memo, at);
}

void WriteLog(const std::wstring& path, const std::vector<std::wstring>& lines) {
  std::wstring text;
  for (const auto& line : lines) text += line + L"\r\n";
  WriteBytes(path, Ansi(text));
}

void WriteSettings(const Zelmor& app, const std::vector<std::wstring>& lines) {
  std::wstring text = L"[Zelmor]\r\n";
  for (const auto& line : lines) text += line + L"\r\n";
  WriteBytes(app.File(kSettings), Ansi(text));
}

HWND HintWindow(const Zelmor& app) { return FindProcessWindow(app.pid(), L"ZelmorWorkedHint"); }

bool HintShown(const Zelmor& app) {
  const HWND hint = HintWindow(app);
  return hint && IsWindowVisible(hint);
}

::testing::AssertionResult WaitForHint(const Zelmor& app, const std::wstring& text, DWORD ms) {
  if (WaitUntil([&] { return HintShown(app) && TextOf(HintWindow(app)) == text; }, ms)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "after " << ms << " ms the hint "
                                       << (HintShown(app) ? "shows \"" + Utf8(TextOf(HintWindow(app))) + "\""
                                                          : std::string("is hidden"))
                                       << " instead of \"" << Utf8(text) << "\"";
}

std::wstring SummaryText(Zelmor& app, DWORD ms, bool* saw_reading) {
  SendCommand(app.window(), IDM_WORKED_SUMMARY);
  const HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_SUMMARY_TITLE));
  if (!dialog) return {};
  const HWND box = GetDlgItem(dialog, IDC_SUMMARY_TEXT);
  const std::wstring reading = ZelmorText(IDS_SUMMARY_READING);
  if (saw_reading) *saw_reading = TextOf(box) == reading;
  // The text changes once, from the note to the count.
  std::wstring text;
  WaitUntil([&] { return (text = TextOf(box)) != reading; }, ms);
  PressButton(dialog, IDCANCEL);
  WaitDestroyed(dialog);
  return text == reading ? std::wstring() : text;
}

CopiedMap CopySummaryMap(Zelmor& app, DWORD ms) {
  SendCommand(app.window(), IDM_WORKED_SUMMARY);
  const HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_SUMMARY_TITLE));
  if (!dialog) return {};
  const HWND box = GetDlgItem(dialog, IDC_SUMMARY_TEXT);
  const std::wstring reading = ZelmorText(IDS_SUMMARY_READING);
  CopiedMap copied;
  if (WaitUntil([&] { return TextOf(box) != reading; }, ms)) {
    {
      zelmor::base::ClipboardGuard clipboard(nullptr);
      if (clipboard.is_open()) EmptyClipboard();
    }
    PressButton(dialog, IDC_SUMMARY_MAP_COPY);
    if (WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != FALSE; })) {
      zelmor::base::ClipboardGuard clipboard(nullptr);
      const HANDLE data = clipboard.is_open() ? GetClipboardData(CF_DIB) : nullptr;
      zelmor::base::GlobalLockGuard<uint8_t> lock(data);
      const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(lock.get());
      if (header && header->biBitCount == 24 && header->biHeight > 0) {
        copied.width = header->biWidth;
        copied.height = header->biHeight;
        const size_t stride = (static_cast<size_t>(copied.width) * 3 + 3) & ~static_cast<size_t>(3);
        const uint8_t* bits = lock.get() + header->biSize;
        for (int y = 0; y < copied.height; ++y) {
          const uint8_t* row = bits + static_cast<size_t>(copied.height - 1 - y) * stride;
          for (int x = 0; x < copied.width; ++x) {
            copied.pixels.push_back(static_cast<uint32_t>(row[x * 3 + 2]) << 16 | row[x * 3 + 1] << 8 | row[x * 3]);
          }
        }
      }
    }
  }
  PressButton(dialog, IDCANCEL);
  WaitDestroyed(dialog);
  // The legend's strip begins with a line across the whole picture; under it, only its paper
  // (white) and its words.
  for (int y = copied.height - 1; y > 0; --y) {
    bool uniform = true;
    for (int x = 1; x < copied.width && uniform; ++x) uniform = copied.At(x, y) == copied.At(0, y);
    if (uniform && copied.At(0, y) != 0xFFFFFF) {
      copied.map_height = y;
      break;
    }
  }
  return copied;
}

uint32_t CopiedMap::SquareColour(const zelmor::worked::MapSquares& squares, const std::wstring& grid) const {
  zelmor::worked::GridMap map;
  map.SetClientSize(width, map_height);
  map.SetSquares(squares);
  return test_support::SquareColour(map, zelmor::worked::GridNumber(grid), [this](int x, int y) { return At(x, y); });
}

}  // namespace e2e::worked

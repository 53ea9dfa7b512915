// same-look-window.exe: a window program that shows what Zelmor's main window shows at start-up
// and does nothing else: Zelmor's manifest (common controls 6, per-monitor DPI), the menu bar,
// the yellow log pane with its scroll bars and the entry box in Zelmor's font and sizes, the
// keyboard in the entry box. scripts/bench.sh starts it beside bare-window.exe, so that start-up
// can be read against a window that draws the same things as well as against a bare one.

#include <windows.h>

#include <commctrl.h>

#include "base/resource.h"

namespace {

HBRUSH yellow = nullptr;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      SetBkColor(reinterpret_cast<HDC>(wparam), RGB(255, 255, 192));
      return reinterpret_cast<LRESULT>(yellow);
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

HFONT Gothic(double points) {
  // The face Zelmor's texts name (IDS_FONT_GOTHIC), at 96 DPI as the benchmark's display is.
  return CreateFontW(-static_cast<int>(points * 96 / 72 + 0.5), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, 0, 0, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                     L"\xFF2D\xFF33 \x30B4\x30B7\x30C3\x30AF");
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  yellow = CreateSolidBrush(RGB(255, 255, 192));
  WNDCLASSW wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"SameLookWindow";
  if (!RegisterClassW(&wc)) return 1;
  // Zelmor's bar shows one menu at start-up.
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  AppendMenuW(file, MF_STRING, IDM_LOG_OPEN, L"LOG Open(O)");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File(&F)");
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"Same-look window", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                              474, 285, nullptr, bar, instance, nullptr);
  if (!hwnd) return 1;
  const auto control = [&](const wchar_t* cls, DWORD style, DWORD ex_style, int id, int x, int y, int cx, int cy) {
    return CreateWindowExW(ex_style, cls, L"", WS_CHILD | style, x, y, cx, cy, hwnd,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  HWND pane = control(L"EDIT",
                      WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_DISABLED | ES_MULTILINE | ES_AUTOVSCROLL |
                          ES_AUTOHSCROLL | ES_NOHIDESEL,
                      WS_EX_CLIENTEDGE, IDC_LOG_PANE, 0, 0, 465, 201);
  HWND entry = control(L"EDIT", WS_VISIBLE | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, IDC_ENTRY_BOX, 0, 204, 465, 28);
  for (int i = 0; i < 5; ++i) control(L"STATIC", SS_LEFT, 0, IDC_FEED_LABEL1 + i, 8 + 64 * i, 288, 57, 25);
  SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(Gothic(12.0)), TRUE);
  SendMessageW(entry, WM_SETFONT, reinterpret_cast<WPARAM>(Gothic(14.25)), TRUE);
  ShowWindow(hwnd, show);
  UpdateWindow(hwnd);
  SetFocus(entry);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

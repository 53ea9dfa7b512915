#include "input_win.h"

#include <algorithm>

#include "unix_win.h"
#include "windows_win.h"

namespace test_support {

void SendChars(HWND control, const std::wstring& text) {
  for (wchar_t c : text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(control, WM_CHAR, c, 1, SMTO_NORMAL, 15000, &ignored);
  }
}

bool SendEnter(HWND control, DWORD ms) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(control, WM_CHAR, VK_RETURN, 1, SMTO_NORMAL, ms, &ignored) != 0;
}

void PostChars(HWND control, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
}

// Only the character: a posted key-down would be translated into a second Enter.
void PressEnter(HWND control) { PostMessageW(control, WM_CHAR, VK_RETURN, 1); }

bool OnXDisplay(HWND control) { return GetPropW(GetAncestor(control, GA_ROOT), L"__wine_x11_whole_window") != nullptr; }

bool TypeThroughDisplay(HWND control, const std::string& text, const std::vector<std::string>& keys, bool click) {
  const RECT r = WindowRectOf(control);
  std::string script = "true";
  if (click) {
    script = "xdotool mousemove " + std::to_string((r.left + r.right) / 2) + " " +
             std::to_string((r.top + r.bottom) / 2) + " click 1 && sleep 0.3";
  }
  if (!text.empty()) script += " && xdotool type --delay 20 '" + text + "'";
  for (const auto& key : keys) script += " && xdotool key " + key;
  return StartUnix(L"Z:\\bin\\sh -c \"" + std::wstring(script.begin(), script.end()) + L"\"");
}

bool PutClipboardText(const std::wstring& text) {
  for (int attempt = 0; attempt < 100; ++attempt, Sleep(20)) {
    if (!OpenClipboard(nullptr)) continue;  // the program under test may be reading it right now
    EmptyClipboard();
    bool ok = false;
    if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t))) {
      auto* chars = static_cast<wchar_t*>(GlobalLock(block));
      std::copy(text.begin(), text.end(), chars);
      chars[text.size()] = L'\0';
      GlobalUnlock(block);
      ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
      if (!ok) GlobalFree(block);
    }
    CloseClipboard();
    return ok;
  }
  return false;
}

void PickMenuItem(HWND menu, int item) {
  for (int i = 0; i < item; ++i) {
    PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 1);
    PostMessageW(menu, WM_KEYUP, VK_DOWN, 0xC0000001);
  }
  PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 1);
  PostMessageW(menu, WM_KEYUP, VK_RETURN, 0xC0000001);
}

bool ChooseFromMenuBar(HWND window, wchar_t bar_letter, wchar_t item_letter) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, bar_letter);
  // The item's letter only once the drop-down is open: before, the bar itself would take it.
  const HWND menu = WaitForMenu(pid);
  if (!menu) return false;
  PostMessageW(menu, WM_CHAR, item_letter, 1);
  return WaitNoMenu(pid);
}

}  // namespace test_support

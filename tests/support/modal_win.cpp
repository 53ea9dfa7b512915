#include "modal_win.h"

#include <atomic>
#include <thread>

#include "windows_win.h"

namespace test_support {
namespace {

HWND ThreadDialog(DWORD thread, const std::wstring* caption) {
  struct Search {
    const std::wstring* caption;
    HWND found;
  } search{caption, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64];
        GetClassNameW(w, name, 64);
        if (!IsWindowVisible(w) || lstrcmpW(name, L"#32770") != 0) return TRUE;
        if (s->caption && TextOf(w) != *s->caption) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

bool DriveModal(const std::wstring& caption, const std::function<void(HWND dialog)>& drive,
                const std::function<void()>& show) {
  const DWORD thread = GetCurrentThreadId();
  std::atomic<bool> shown{false}, ended{false};
  std::thread helper([&] {
    HWND dialog = nullptr;
    WaitUntil([&] { return ended || (dialog = ThreadDialog(thread, &caption)) != nullptr; });
    if (dialog) {
      shown = true;
      drive(dialog);
    }
    // Anything still open (the dialog, a message box over it) is cancelled, innermost first.
    while (!ended) {
      if (HWND left = ThreadDialog(thread, nullptr)) {
        PostMessageW(left, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        WaitDestroyed(left, 2000);
      } else {
        Sleep(20);
      }
    }
  });
  show();
  ended = true;
  helper.join();
  return shown;
}

HWND OwnedDialog(HWND owner) {
  struct Search {
    HWND owner;
    HWND found;
  } search{owner, nullptr};
  EnumThreadWindows(
      GetWindowThreadProcessId(owner, nullptr),
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        wchar_t name[64];
        GetClassNameW(w, name, 64);
        if (!IsWindowVisible(w) || lstrcmpW(name, L"#32770") != 0 || GetWindow(w, GW_OWNER) != s->owner) return TRUE;
        s->found = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

bool ChooseComboItem(HWND combo, const std::wstring& text) {
  const auto index = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>(text.c_str()));
  if (index == CB_ERR) return false;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  // A selection set by message is not announced; a click's is.
  SendMessageW(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  return true;
}

std::wstring ComboText(HWND combo) {
  const auto index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return std::wstring();
  const auto length = SendMessageW(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(length));
  return text;
}

}  // namespace test_support

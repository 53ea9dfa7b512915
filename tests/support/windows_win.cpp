#include "windows_win.h"

#include "base/handles_win.h"
#include "printable.h"

namespace test_support {

bool WaitUntil(const std::function<bool()>& done, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (done()) return true;
    if (GetTickCount() - start > ms) return false;
    Sleep(20);
  }
}

HWND WaitForWindow(const std::function<HWND()>& found, DWORD ms) {
  HWND window = nullptr;
  WaitUntil([&] { return (window = found()) != nullptr; }, ms);
  return window;
}

namespace {

HWND FirstWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption, bool visible_only, HWND except = nullptr) {
  struct Search {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* caption;
    bool visible_only;
    HWND except;
    HWND result;
  } search{pid, cls, caption, visible_only, except, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != s->pid || w == s->except || (s->visible_only && !IsWindowVisible(w))) return TRUE;
        wchar_t name[256];
        GetClassNameW(w, name, 256);
        if (lstrcmpW(name, s->cls) != 0) return TRUE;
        if (s->caption && TextOf(w) != s->caption) return TRUE;
        s->result = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.result;
}

}  // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption) {
  return FirstWindow(pid, cls, caption, false);
}

// Hidden windows of the class (a dialog on its way out) are passed over, not taken first.
HWND VisibleProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption) {
  return FirstWindow(pid, cls, caption, true);
}

HWND VisibleDialog(DWORD pid) { return VisibleProcessWindow(pid, L"#32770"); }
HWND VisibleDialogOtherThan(DWORD pid, HWND except) { return FirstWindow(pid, L"#32770", nullptr, true, except); }
std::string ShownDialogs(DWORD pid) {
  struct Search {
    DWORD pid;
    std::string found;
  } search{pid, {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        wchar_t name[256];
        if (owner != s->pid || !IsWindowVisible(w) || !GetClassNameW(w, name, 256) || lstrcmpW(name, L"#32770") != 0) {
          return TRUE;
        }
        s->found += (s->found.empty() ? "" : "; ") + std::string("\"") + Utf8(TextOf(w)) + "\"";
        if (HWND message = GetDlgItem(w, 0xFFFF)) s->found += " saying \"" + Utf8(TextOf(message)) + "\"";
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found.empty() ? "no dialog" : search.found;
}

HWND VisibleMenu(DWORD pid) { return VisibleProcessWindow(pid, L"#32768"); }

HWND WaitForDialog(DWORD pid, const std::wstring& caption, DWORD ms) {
  return WaitForWindow([&] { return VisibleProcessWindow(pid, L"#32770", caption.c_str()); }, ms);
}

HWND WaitForAnyDialog(DWORD pid, DWORD ms) {
  return WaitForWindow([pid] { return VisibleDialog(pid); }, ms);
}

HWND WaitForMenu(DWORD pid, DWORD ms) {
  return WaitForWindow([pid] { return VisibleMenu(pid); }, ms);
}

bool WaitNoMenu(DWORD pid, DWORD ms) {
  return WaitUntil([pid] { return VisibleMenu(pid) == nullptr; }, ms);
}

bool WaitDestroyed(HWND window, DWORD ms) {
  return WaitUntil([window] { return !IsWindow(window); }, ms);
}

std::wstring TextOf(HWND window) {
  // The window may take a longer text between the two messages (a report that tells how the
  // upload ended): a buffer it filled to the brim is read again until the length holds.
  for (;;) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                        5000, &got);
    text.resize(got);
    DWORD_PTR now = 0;
    if (got < length || !SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &now) ||
        now == got) {
      return text;
    }
  }
}

std::wstring MessageText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SendCommand(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

bool Settle(HWND window, DWORD ms) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, ms, &ignored) != 0;
}

DWORD_PTR Ask(HWND window, UINT message, WPARAM wparam, LPARAM lparam, DWORD ms) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(window, message, wparam, lparam, SMTO_NORMAL, ms, &result);
  return result;
}

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ChildRect(HWND child) {
  RECT r = WindowRectOf(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ClientRectOf(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  return r;
}

int DpiOf(HWND window) {
  // GetDpiForWindow came with Windows 10; before it, a window's DPI was the system's.
  using DpiForWindow = UINT(WINAPI*)(HWND);
  const auto dpi_for_window = reinterpret_cast<DpiForWindow>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (dpi_for_window) {
    if (const UINT dpi = dpi_for_window(window)) return static_cast<int>(dpi);
  }
  return GetDeviceCaps(zelmor::base::WindowDc(window).get(), LOGPIXELSY);
}

int TwipsToPixels(int twips, int dpi) { return MulDiv(twips, dpi, 1440); }
int PixelsToTwips(int pixels, int dpi) { return MulDiv(pixels, 1440, dpi); }

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

bool Overlap(const RECT& a, const RECT& b) {
  RECT common{};
  return IntersectRect(&common, &a, &b) != FALSE;
}

std::string Describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ")-(" + std::to_string(r.right) + ", " +
         std::to_string(r.bottom) + ")";
}

StalledWindow::StalledWindow()
    : made_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      stall_(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  thread_ = CreateThread(nullptr, 0, &StalledWindow::Main, this, 0, nullptr);
  if (thread_) WaitForSingleObject(made_, 10000);
}

StalledWindow::~StalledWindow() {
  SetEvent(stall_);
  SetEvent(release_);
  if (thread_) {
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
  }
  CloseHandle(made_);
  CloseHandle(stall_);
  CloseHandle(release_);
}

void StalledWindow::Stall() { SetEvent(stall_); }

DWORD WINAPI StalledWindow::Main(void* parameter) {
  auto& self = *static_cast<StalledWindow*>(parameter);
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TestStalledWindow";
  RegisterClassW(&wc);
  HWND window = CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
  self.window_ = window;
  SetEvent(self.made_);
  if (!window) return 0;
  for (;;) {
    if (MsgWaitForMultipleObjects(1, &self.stall_, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  WaitForSingleObject(self.release_, INFINITE);
  DestroyWindow(window);
  return 0;
}

}  // namespace test_support

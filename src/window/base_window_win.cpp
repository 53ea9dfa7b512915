#include "window/base_window_win.h"

#include <commctrl.h>

#include <exception>

#include "base/codepage_win.h"

namespace zelmor::window {
namespace {

void ReportToDebugger(HWND, UINT message, const std::wstring& what) {
  const std::wstring line = L"Zelmor: failure in window message 0x" + std::to_wstring(message) + L": " + what + L"\n";
  OutputDebugStringW(line.c_str());
}

FailureReporter*& Reporter() {
  static FailureReporter* reporter = nullptr;
  return reporter;
}

void Report(HWND hwnd, UINT message, const std::wstring& what) {
  // A report that itself fails, or a failure while a report is on screen (its message box runs a
  // message loop), goes to the debugger only: one box at a time, never a cascade.
  static bool reporting = false;
  if (reporting) {
    ReportToDebugger(hwnd, message, what);
    return;
  }
  reporting = true;
  try {
    if (FailureReporter* reporter = Reporter()) {
      reporter->Report(hwnd, message, what);
    } else {
      ReportToDebugger(hwnd, message, what);
    }
  } catch (...) {
    ReportToDebugger(hwnd, message, what);
  }
  reporting = false;
}

// What a window procedure answers for a message whose handler failed: a window that fails to be
// made is not made; anything else gets the system's default.
LRESULT AfterFailure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) return FALSE;
  if (message == WM_CREATE) return -1;
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

bool RegisterWindowClass(WNDCLASSEXW wc) {
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &Window::Procedure;
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing)) return true;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

void SetFailureReporter(FailureReporter* reporter) { Reporter() = reporter; }

Window::~Window() {
  if (!hwnd_) return;
  // The derived part is gone already: the window's last messages get the system's default.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

HWND Window::CreateOwnedWindow(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                               int x, int y, int width, int height, HWND parent, HMENU menu,
                               HINSTANCE instance) {
  return CreateWindowExW(ex_style, class_name, title, style, x, y, width, height, parent, menu, instance, this);
}

HWND Window::CreateMessageOnlyWindow(const wchar_t* class_name) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.hInstance = instance;
  wc.lpszClassName = class_name;
  if (!RegisterWindowClass(wc)) return nullptr;
  return CreateOwnedWindow(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance);
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  Window* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    if (self) {
      self->hwnd_ = hwnd;
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, message, wparam, lparam);

  LRESULT result = 0;
  try {
    result = self->OnMessage(message, wparam, lparam);
  } catch (const std::exception& failure) {
    Report(hwnd, message, base::FromAnsi(failure.what()));
    result = AfterFailure(hwnd, message, wparam, lparam);
  } catch (...) {
    Report(hwnd, message, L"unknown exception");
    result = AfterFailure(hwnd, message, wparam, lparam);
  }
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    self->OnWindowGone();
  }
  return result;
}

bool Window::RouteChildMessages(HWND child) {
  return SetWindowSubclass(child, ChildProcedure, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

LRESULT CALLBACK Window::ChildProcedure(HWND child, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                        DWORD_PTR owner) {
  if (message == WM_NCDESTROY) RemoveWindowSubclass(child, ChildProcedure, id);
  LRESULT result = 0;
  bool answered = false;
  try {
    answered = reinterpret_cast<Window*>(owner)->OnChildMessage(child, message, wparam, lparam, result);
  } catch (const std::exception& failure) {
    Report(child, message, base::FromAnsi(failure.what()));
    answered = false;
  } catch (...) {
    Report(child, message, L"unknown exception");
    answered = false;
  }
  return answered ? result : DefSubclassProc(child, message, wparam, lparam);
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(window, text.data(), length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

}  // namespace zelmor::window

#pragma once
// One base for every window of the program and its tools: the window procedure finds its object
// through GWLP_USERDATA (stored at WM_NCCREATE, forgotten at WM_NCDESTROY), each message goes to
// the object's OnMessage, and a failure that escapes a handler is reported, never swallowed and
// never let into the system's dispatcher.

#include <windows.h>

#include <string>

namespace zelmor::window {

// Registers a class whose procedure is Window's; true when it is registered now or already was.
// `wc.lpfnWndProc` is filled in here.
bool RegisterWindowClass(WNDCLASSEXW wc);

// Where failures that escaped a window's handler are reported. The default writes them to the
// debugger's output; the program installs one that tells the operator.
class FailureReporter {
 public:
  virtual ~FailureReporter() = default;
  virtual void Report(HWND window, UINT message, const std::wstring& what) = 0;
};
// `reporter` must outlive every window; null puts the default back.
void SetFailureReporter(FailureReporter* reporter);

class Window {
 public:
  Window() = default;
  // Destroys the window when it is still there. A window whose destruction must run its own
  // handlers (saving on WM_DESTROY) is destroyed by the derived class's destructor first.
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

 protected:
  // Creates the window of a class registered with RegisterWindowClass, owned by this object.
  HWND CreateOwnedWindow(DWORD ex_style, const wchar_t* class_name, const wchar_t* title, DWORD style,
                         int x, int y, int width, int height, HWND parent, HMENU menu,
                         HINSTANCE instance);

  // A message-only window of a class of this name (registered here when it is not yet): for an
  // object that takes posts and timers and shows nothing.
  HWND CreateMessageOnlyWindow(const wchar_t* class_name);

  // Every message of the window from WM_NCCREATE to WM_NCDESTROY. Unhandled ones go to Default.
  virtual LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) = 0;
  LRESULT Default(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcW(hwnd_, message, wparam, lparam);
  }
  // After WM_NCDESTROY: the object no longer has a window.
  virtual void OnWindowGone() {}

  // Every message of `child`, a control of this window, goes to OnChildMessage first, under the
  // same failure handling as the window's own messages, until the control is destroyed.
  bool RouteChildMessages(HWND child);
  // True when the message is answered here (with `result`); false leaves it to the control.
  virtual bool OnChildMessage(HWND /*child*/, UINT /*message*/, WPARAM /*wparam*/, LPARAM /*lparam*/,
                              LRESULT& /*result*/) {
    return false;
  }

 private:
  static LRESULT CALLBACK ChildProcedure(HWND child, UINT message, WPARAM wparam, LPARAM lparam, UINT_PTR id,
                                         DWORD_PTR owner);

  HWND hwnd_ = nullptr;
};

// The window's text, whole, however long.
std::wstring WindowText(HWND window);

}  // namespace zelmor::window

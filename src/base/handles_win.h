#pragma once
// Move-only owners for the few Win32 handles Zelmor holds, and guards for calls that come in pairs.

#include <windows.h>

#include <utility>

namespace zelmor::base {

template <typename T, typename Traits>
class Unique {
 public:
  Unique() = default;
  explicit Unique(T value) : value_(value) {}
  Unique(const Unique&) = delete;
  Unique& operator=(const Unique&) = delete;
  Unique(Unique&& other) noexcept : value_(other.release()) {}
  Unique& operator=(Unique&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~Unique() { reset(); }

  T get() const { return value_; }
  explicit operator bool() const { return value_ != Traits::invalid(); }
  T release() { return std::exchange(value_, Traits::invalid()); }
  void reset(T value = Traits::invalid()) {
    if (value_ != Traits::invalid()) Traits::close(value_);
    value_ = value;
  }

 private:
  T value_ = Traits::invalid();
};

struct HwndTraits {
  static HWND invalid() { return nullptr; }
  static void close(HWND h) { DestroyWindow(h); }
};
// Fonts, brushes: one traits for every GDI object type, so that each owner hands out its own type.
template <typename H>
struct GdiTraits {
  static H invalid() { return nullptr; }
  static void close(H h) { DeleteObject(h); }
};
struct FileTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { CloseHandle(h); }
};
// Processes, threads, events: handles that are null when there is none.
struct HandleTraits {
  static HANDLE invalid() { return nullptr; }
  static void close(HANDLE h) { CloseHandle(h); }
};
struct RegKeyTraits {
  static HKEY invalid() { return nullptr; }
  static void close(HKEY k) { RegCloseKey(k); }
};
struct IconTraits {
  static HICON invalid() { return nullptr; }
  static void close(HICON h) { DestroyIcon(h); }
};

struct ChangeNotificationTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { FindCloseChangeNotification(h); }
};
// A device context of the program's own making (CreateCompatibleDC), not a window's.
struct MemoryDcTraits {
  static HDC invalid() { return nullptr; }
  static void close(HDC dc) { DeleteDC(dc); }
};
// Global memory not (yet) handed to the clipboard, which then owns it.
struct GlobalTraits {
  static HGLOBAL invalid() { return nullptr; }
  static void close(HGLOBAL memory) { GlobalFree(memory); }
};
struct MenuTraits {
  static HMENU invalid() { return nullptr; }
  static void close(HMENU m) { DestroyMenu(m); }
};
// Memory that the system allocated for the caller (FormatMessageW's text, CommandLineToArgvW's list).
template <typename P>
struct LocalTraits {
  static P invalid() { return nullptr; }
  static void close(P p) { LocalFree(p); }
};
// A search of FindFirstFileW and FindFirstFileExW.
struct FindTraits {
  static HANDLE invalid() { return INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) { FindClose(h); }
};
// An atom of the global atom table: each GlobalAddAtomW (or an atom taken over from a DDE message
// whose receiver frees it) is owned once and deleted once.
struct GlobalAtomTraits {
  static ATOM invalid() { return 0; }
  static void close(ATOM a) { GlobalDeleteAtom(a); }
};
// An attribute list once InitializeProcThreadAttributeList has succeeded on its memory (which the
// caller keeps for at least as long).
struct AttributeListTraits {
  static LPPROC_THREAD_ATTRIBUTE_LIST invalid() { return nullptr; }
  static void close(LPPROC_THREAD_ATTRIBUTE_LIST list) { DeleteProcThreadAttributeList(list); }
};

using UniqueHwnd = Unique<HWND, HwndTraits>;
using UniqueFont = Unique<HFONT, GdiTraits<HFONT>>;
using UniqueBrush = Unique<HBRUSH, GdiTraits<HBRUSH>>;
using UniquePen = Unique<HPEN, GdiTraits<HPEN>>;
using UniqueBitmap = Unique<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueFile = Unique<HANDLE, FileTraits>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueRegKey = Unique<HKEY, RegKeyTraits>;
using UniqueChangeNotification = Unique<HANDLE, ChangeNotificationTraits>;
using UniqueMenu = Unique<HMENU, MenuTraits>;
using UniqueMemoryDc = Unique<HDC, MemoryDcTraits>;
using UniqueGlobal = Unique<HGLOBAL, GlobalTraits>;
template <typename P>
using UniqueLocal = Unique<P, LocalTraits<P>>;
using UniqueFind = Unique<HANDLE, FindTraits>;
using UniqueGlobalAtom = Unique<ATOM, GlobalAtomTraits>;
using UniqueAttributeList = Unique<LPPROC_THREAD_ATTRIBUTE_LIST, AttributeListTraits>;

// Open clipboard for the guard's lifetime. Another program may hold it for a moment, so opening
// is retried briefly before giving up.
class ClipboardGuard {
 public:
  explicit ClipboardGuard(HWND owner, int attempts = 10, DWORD pause_ms = 20) {
    for (int i = 0; i < attempts && !open_; ++i) {
      open_ = OpenClipboard(owner) != FALSE;
      if (!open_) Sleep(pause_ms);
    }
  }
  ClipboardGuard(const ClipboardGuard&) = delete;
  ClipboardGuard& operator=(const ClipboardGuard&) = delete;
  ~ClipboardGuard() {
    if (open_) CloseClipboard();
  }
  bool is_open() const { return open_; }

 private:
  bool open_ = false;
};

// Locked global memory for the guard's lifetime.
template <typename T>
class GlobalLockGuard {
 public:
  explicit GlobalLockGuard(HGLOBAL memory) : memory_(memory), data_(static_cast<T*>(GlobalLock(memory))) {}
  GlobalLockGuard(const GlobalLockGuard&) = delete;
  GlobalLockGuard& operator=(const GlobalLockGuard&) = delete;
  ~GlobalLockGuard() {
    if (data_) GlobalUnlock(memory_);
  }
  T* get() const { return data_; }
  SIZE_T size() const { return data_ ? GlobalSize(memory_) : 0; }

 private:
  HGLOBAL memory_;
  T* data_;
};

// A window's device context (GetDC; null for the screen's) for the guard's lifetime.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  ~WindowDc() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// The painting of WM_PAINT, BeginPaint to EndPaint.
class PaintDc {
 public:
  explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
  PaintDc(const PaintDc&) = delete;
  PaintDc& operator=(const PaintDc&) = delete;
  ~PaintDc() { EndPaint(window_, &paint_); }
  HDC get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// An object selected into a device context for the guard's lifetime; the one it replaced goes
// back, so that the object can be deleted while the context lives on.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(SelectObject(dc, object)) {}
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;
  ~SelectedObject() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

}  // namespace zelmor::base

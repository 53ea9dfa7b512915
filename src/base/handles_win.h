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
struct GdiTraits {
  static HGDIOBJ invalid() { return nullptr; }
  static void close(HGDIOBJ h) { DeleteObject(h); }
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
// One reference to a global atom (DDE names its service, topic and items by them).
struct GlobalAtomTraits {
  static ATOM invalid() { return 0; }
  static void close(ATOM a) { GlobalDeleteAtom(a); }
};

using UniqueHwnd = Unique<HWND, HwndTraits>;
using UniqueGdiObject = Unique<HGDIOBJ, GdiTraits>;
using UniqueFile = Unique<HANDLE, FileTraits>;
using UniqueIcon = Unique<HICON, IconTraits>;
using UniqueHandle = Unique<HANDLE, HandleTraits>;
using UniqueRegKey = Unique<HKEY, RegKeyTraits>;
using UniqueChangeNotification = Unique<HANDLE, ChangeNotificationTraits>;
using UniqueGlobalAtom = Unique<ATOM, GlobalAtomTraits>;

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

}  // namespace zelmor::base

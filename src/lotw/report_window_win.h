#pragma once
// The report of a LoTW command (the upload, the fetch of confirmations): a small window over the
// main one, shown without taking the activation, so that what the operator types goes on into the
// entry box. It stays until its OK, and the next report of the same command reuses it.

#include <windows.h>

#include <string>

#include "base/handles_win.h"

namespace zelmor::lotw {

class ReportWindow {
 public:
  // `caption` is a text ID: each command's report is told apart by it.
  ReportWindow(HWND owner, HINSTANCE instance, int caption) : owner_(owner), instance_(instance), caption_(caption) {}
  ReportWindow(const ReportWindow&) = delete;
  ReportWindow& operator=(const ReportWindow&) = delete;

  // Replaces the text shown, showing the window when it was not.
  void Show(const std::wstring& text);
  // The window's keys (Enter, Esc, Tab) once the operator has clicked into it.
  bool PreTranslate(MSG& msg);

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
  void Place();

  HWND owner_;
  HINSTANCE instance_;
  int caption_;
  base::UniqueHwnd window_;
};

}  // namespace zelmor::lotw

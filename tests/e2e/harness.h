#pragma once
// Drives a real Zelmor.exe from outside, as an operator would: a fresh folder per test (settings
// and the safety copy live beside the executable), windows found by class and caption, controls
// read with WM_GETTEXT, message boxes answered by their buttons. The Win32 helpers it builds on
// are the tests' shared ones (tests/support), brought into this namespace.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "files_win.h"
#include "input_win.h"
#include "printable.h"
#include "processes_win.h"
#include "unix_win.h"
#include "windows_win.h"

namespace e2e {

using namespace test_support;

// Files Zelmor keeps beside itself.
inline constexpr wchar_t kSafetyCopy[] = L"Zelmor_temp.txt";
inline constexpr wchar_t kSafetyBackup[] = L"Zelmor_temp.bak";
inline constexpr wchar_t kSettings[] = L"Zelmor.ini";
// The file-name box of a common file dialog.
inline constexpr int kFileNameBox = 0x47C;

// A text of Zelmor.exe's string table, read from the executable beside this driver: for finding
// a window by its caption or a message box by its text. Tests whose point is the exact wording
// keep it as a literal.
std::wstring ZelmorText(UINT id);

// Zelmor.exe copied into a fresh folder and started there.
class Zelmor {
 public:
  explicit Zelmor(const TempFolder& folder) : folder_(folder) {}
  // Copies the executable (once) and starts it; a success once its main window is up.
  ::testing::AssertionResult Start();
  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  HWND pane() const;
  HWND entry_box() const;
  Child& process() { return process_; }
  DWORD pid() const { return process_.pid(); }
  std::wstring File(const std::wstring& name) const { return folder_.File(name); }

  std::wstring PaneText() const { return TextOf(pane()); }
  std::wstring EntryText() const { return TextOf(entry_box()); }
  std::string SafetyCopy() const { return ReadBytes(File(kSafetyCopy)); }
  std::string Ini() const { return ReadBytes(File(kSettings)); }

  // Whether the main window stands at `top`, `left` with the outer size `width` x `height`, all in
  // twips, at the window's own DPI.
  ::testing::AssertionResult PlacedAt(int top, int left, int width, int height) const;
  // A message box of Zelmor's (titled with the program's name).
  HWND WaitForMessageBox(DWORD ms = 10000) const;
  // Asks to close the window the way the close box does.
  void RequestClose();
  ::testing::AssertionResult WaitExit(DWORD ms = 10000);
  // For a failure message: whether the process runs or how it ended, and what it shows.
  std::string Situation() const;

 private:
  const TempFolder& folder_;
  Child process_;
  HWND window_ = nullptr;
};

std::string Ansi(const std::wstring& text);
std::wstring FromAnsi(const std::string& bytes);

}  // namespace e2e

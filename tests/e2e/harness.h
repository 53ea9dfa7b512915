#pragma once
// Drives a real Zelmor.exe from outside, as an operator would: a fresh folder per test (settings
// and the safety copy live beside the executable), windows found by class and caption, controls
// read with WM_GETTEXT, message boxes answered by their buttons.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

// The folder that holds this driver, Zelmor.exe and the simulators.
std::wstring BuildFolder();

// A folder of its own under %TEMP%, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// A child process, killed when the owner goes unless it has ended.
class Child {
 public:
  Child() = default;
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  bool Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder);
  bool WaitExit(DWORD ms);
  void Kill();
  bool running() const;
  DWORD pid() const { return info_.dwProcessId; }
  HANDLE process() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_{};
};

// Zelmor.exe copied into a fresh folder and started there.
class Zelmor {
 public:
  explicit Zelmor(const TempFolder& folder) : folder_(folder) {}
  // Copies the executable (once) and starts it; true when its main window is up.
  bool Start();
  HWND window() const { return window_; }
  HWND control(int id) const { return GetDlgItem(window_, id); }
  Child& process() { return process_; }
  std::wstring File(const std::wstring& name) const { return folder_.File(name); }
  // Asks to close the window the way the close box does.
  void RequestClose();
  bool WaitExit(DWORD ms = 10000) { return process_.WaitExit(ms); }

 private:
  const TempFolder& folder_;
  Child process_;
  HWND window_ = nullptr;
};

// Polls until `found` returns a window or the time is up.
HWND WaitForWindow(const std::function<HWND()>& found, DWORD ms = 10000);
// A top-level window of the process, by class (and caption when given).
HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption = nullptr);
// A message box or common dialog (#32770) of the process with this caption.
HWND WaitForDialog(DWORD pid, const std::wstring& caption, DWORD ms = 10000);
// Text of another process's window or control.
std::wstring TextOf(HWND window);
// The message text of a message box (its static control 0xFFFF).
std::wstring MessageText(HWND box);
void PressButton(HWND dialog, int id);
void SendCommand(HWND window, int id);
// Types into a control with WM_CHAR, one character at a time.
void TypeChars(HWND control, const std::wstring& text);
void PressEnter(HWND control);
// Lets the other process handle what was posted.
void Settle(HWND window);

std::string ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);

RECT WindowRectOf(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
// Pixels to twips at the screen's DPI.
int Twips(int pixels);

std::string Ansi(const std::wstring& text);
std::wstring FromAnsi(const std::string& bytes);

}  // namespace e2e

#pragma once
// Windows of another process (or this one) found, waited for, read and pressed from outside, as
// an operator would: top-level windows by class and caption, controls read with WM_GETTEXT
// (GetWindowText returns nothing across processes), buttons and commands posted.

#include <windows.h>

#include <functional>
#include <string>

namespace test_support {

// Polls every 20 ms until `done` holds; false when `ms` passed first.
bool WaitUntil(const std::function<bool()>& done, DWORD ms = 10000);
// Polls until `found` returns a window; null when `ms` passed first.
HWND WaitForWindow(const std::function<HWND()>& found, DWORD ms = 10000);

// A top-level window of the process by class (and caption when given), shown or not.
HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption = nullptr);
// The same, only while it is visible.
HWND VisibleProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption = nullptr);
// Any visible message box or common dialog (#32770) of the process, whatever its caption.
HWND VisibleDialog(DWORD pid);
// The same, passing over `except` (a dialog whose own question is looked for).
HWND VisibleDialogOtherThan(DWORD pid, HWND except);
// For a failure message: the process's visible dialogs and message boxes, each with its caption
// and, for a message box, its text; "no dialog" when it shows none.
std::string ShownDialogs(DWORD pid);
// The process's open pop-up menu (#32768). Its items cannot be read from another process.
HWND VisibleMenu(DWORD pid);

HWND WaitForDialog(DWORD pid, const std::wstring& caption, DWORD ms = 10000);
HWND WaitForAnyDialog(DWORD pid, DWORD ms = 10000);
HWND WaitForMenu(DWORD pid, DWORD ms = 5000);
// True once the process shows no pop-up menu.
bool WaitNoMenu(DWORD pid, DWORD ms = 5000);
// True once the window no longer exists (a dialog or message box that was answered).
bool WaitDestroyed(HWND window, DWORD ms = 10000);

// The text of a window or control, of any process.
std::wstring TextOf(HWND window);
// The message of a message box (its static control 0xFFFF).
std::wstring MessageText(HWND box);
void PressButton(HWND dialog, int id);
// A menu command, posted as the menu would.
void SendCommand(HWND window, int id);
// True once the window's thread has handled everything posted to it before: a sent message is
// handled only after those. False when it did not answer within `ms`.
bool Settle(HWND window, DWORD ms = 15000);
// A message that carries no pointer, sent to a window of any process; its answer, or 0 when none
// came within `ms`.
DWORD_PTR Ask(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0, DWORD ms = 30000);

// A hidden top-level window of this process, on a thread of its own that stops handling messages
// once stalled: a message sent to it waits out the sender's time-out, and so does every broadcast
// (a DDE initiate's among them) until Windows counts the thread as hung, 5 s after it stalled.
class StalledWindow {
 public:
  StalledWindow();
  // Lets the thread go on, and ends it with its window.
  ~StalledWindow();
  StalledWindow(const StalledWindow&) = delete;
  StalledWindow& operator=(const StalledWindow&) = delete;
  bool ok() const { return window_ != nullptr; }
  void Stall();

 private:
  static DWORD WINAPI Main(void* parameter);
  HANDLE made_, stall_, release_, thread_ = nullptr;
  HWND window_ = nullptr;
};

RECT WindowRectOf(HWND window);
// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
RECT ClientRectOf(HWND window);
// The DPI the window reports: what it lays itself out with.
int DpiOf(HWND window);
// Twips (1/1440 inch) as pixels at `dpi`, rounded to the nearest pixel, and back.
int TwipsToPixels(int twips, int dpi);
int PixelsToTwips(int pixels, int dpi);
// True when `inner` lies wholly within `outer`.
bool Inside(const RECT& inner, const RECT& outer);
bool Overlap(const RECT& a, const RECT& b);
// "(left, top)-(right, bottom)", for failure messages.
std::string Describe(const RECT& r);

}  // namespace test_support

#pragma once
// Helpers for driving the log file commands and the template window from outside: entries typed
// into the entry box, the real common dialogs answered with a typed name, message boxes found by
// their text.

#include <windows.h>

#include <string>

#include "base/resource.h"
#include "harness.h"

namespace e2e {

inline constexpr wchar_t kSaveCaption[] = L"LOGﾃﾞｰﾀ保存";
inline constexpr wchar_t kOpenCaption[] = L"LOGﾃﾞｰﾀ閲覧";
inline constexpr wchar_t kCloseQuestion[] = L"LOGデータが未保存ですが\r\n終了してよろしいですか？";
inline constexpr wchar_t kOpenQuestion[] = L"LOGデータが未保存ですが\r\n開いてよろしいですか？";
inline constexpr wchar_t kSaveFailed[] = L"LOGデータが保存出来ませんでした。";
inline constexpr int kFileNameBox = 0x47C;

inline std::wstring PaneText(const Zelmor& app) { return TextOf(app.control(IDC_LOG_PANE)); }
inline std::string Ini(const Zelmor& app) { return ReadBytes(app.File(L"Zelmor.ini")); }

// Characters as the entry box's procedure sees them, each handled before the call returns: posted
// ones would race the check that follows, and a posted WM_KEYDOWN would be translated into a
// second Enter by the receiver's message loop.
inline void SendChars(HWND control, const std::wstring& text) {
  for (wchar_t c : text) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(control, WM_CHAR, c, 1, SMTO_NORMAL, 15000, &ignored);
  }
}

// One entry: the memo typed into the entry box and Enter.
inline void MakeEntry(Zelmor& app, const std::wstring& memo) {
  SendChars(app.control(IDC_ENTRY_BOX), memo + L"\r");
}

// Any visible dialog or message box of the process, or null.
inline HWND VisibleDialog(DWORD pid) {
  struct Search {
    DWORD pid;
    HWND result;
  } search{pid, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        wchar_t name[16];
        GetClassNameW(w, name, 16);
        if (owner != s->pid || lstrcmpW(name, L"#32770") != 0 || !IsWindowVisible(w)) return TRUE;
        s->result = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.result;
}

inline HWND WaitForAnyDialog(DWORD pid, DWORD ms = 10000) {
  return WaitForWindow([pid] { return VisibleDialog(pid); }, ms);
}

inline bool WaitGone(HWND window, DWORD ms = 10000) {
  return WaitForWindow([window] { return IsWindow(window) ? nullptr : GetDesktopWindow(); }, ms) != nullptr;
}

// True when, once the main window has handled everything, no dialog stands open.
inline bool NoDialogOpen(Zelmor& app) {
  Settle(app.window());
  return VisibleDialog(app.process().pid()) == nullptr;
}

inline HWND ShowFileDialog(Zelmor& app, int command, const wchar_t* caption) {
  SendCommand(app.window(), command);
  return WaitForDialog(app.process().pid(), caption);
}

inline std::wstring FileNameBoxText(HWND dialog) { return TextOf(GetDlgItem(dialog, kFileNameBox)); }

// Presses a button of a file dialog; true once the dialog has gone and the command that showed it
// has finished (the file is written or read only after the dialog closes).
inline bool EndFileDialog(Zelmor& app, HWND dialog, int button) {
  PressButton(dialog, button);
  if (!WaitGone(dialog)) return false;
  Settle(app.window());
  return true;
}

// Types `name` (a full Z:\ or C:\ path, or a bare name resolved in the dialog's folder) into the
// file-name box and presses OK.
inline bool ChooseFile(Zelmor& app, HWND dialog, const std::wstring& name) {
  SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  return EndFileDialog(app, dialog, IDOK);
}

inline bool CancelDialog(Zelmor& app, HWND dialog) { return EndFileDialog(app, dialog, IDCANCEL); }

inline bool SaveLog(Zelmor& app, const std::wstring& name) {
  HWND dialog = ShowFileDialog(app, IDM_LOG_SAVE, kSaveCaption);
  return dialog && ChooseFile(app, dialog, name);
}

inline bool OpenLog(Zelmor& app, const std::wstring& name) {
  HWND dialog = ShowFileDialog(app, IDM_LOG_OPEN, kOpenCaption);
  return dialog && ChooseFile(app, dialog, name);
}

// Answers a message box, which must carry `text`; true when it did and went away.
inline bool Answer(HWND box, const std::wstring& text, int button) {
  if (!box || MessageText(box) != text) return false;
  PressButton(box, button);
  return WaitGone(box);
}

// Closes the main window and expects it to end without a question.
inline bool ClosesWithoutQuestion(Zelmor& app) {
  app.RequestClose();
  return app.WaitExit(10000);
}

// Closes the main window, expects the unsaved-log question and answers it Yes.
inline bool ClosesAfterQuestion(Zelmor& app) {
  app.RequestClose();
  if (!Answer(WaitForAnyDialog(app.process().pid()), kCloseQuestion, IDYES)) return false;
  return app.WaitExit(10000);
}

// The ini line "key=value" as the settings file holds it (ANSI).
inline std::string IniLine(const std::string& key, const std::wstring& value) {
  return key + "=" + Ansi(value) + "\r\n";
}

}  // namespace e2e

#pragma once
// Helpers for driving the log file commands and the template window from outside: entries typed
// into the entry box, the real common dialogs answered with a typed name, message boxes found by
// their text.

#include <windows.h>

#include <string>

#include "base/resource.h"
#include "harness.h"

namespace e2e {

// One entry: the memo typed into the entry box and Enter.
inline void MakeEntry(Zelmor& app, const std::wstring& memo) { SendChars(app.entry_box(), memo + L"\r"); }

// A success when, once the main window has handled everything, no dialog stands open.
inline ::testing::AssertionResult NoDialogOpen(Zelmor& app) {
  Settle(app.window());
  if (VisibleDialog(app.pid()) == nullptr) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << app.Situation();
}

// The dialog of a log command (IDM_LOG_SAVE, IDM_LOG_OPEN, IDM_VIEW_SAFETY_COPY), found by its title.
inline HWND ShowFileDialog(Zelmor& app, int command) {
  SendCommand(app.window(), command);
  const UINT title = command == IDM_LOG_SAVE ? IDS_LOG_SAVE_TITLE : command == IDM_LOG_OPEN ? IDS_LOG_OPEN_TITLE
                                                                                           : IDS_SAFETY_COPY_TITLE;
  return WaitForDialog(app.pid(), ZelmorText(title));
}

inline std::wstring FileNameBoxText(HWND dialog) { return TextOf(GetDlgItem(dialog, kFileNameBox)); }

// Presses a button of a file dialog; a success once the dialog has gone and the command that
// showed it has finished (the file is written or read only after the dialog closes).
inline ::testing::AssertionResult EndFileDialog(Zelmor& app, HWND dialog, int button) {
  const std::string caption = Utf8(TextOf(dialog));
  PressButton(dialog, button);
  if (!WaitDestroyed(dialog)) {
    return ::testing::AssertionFailure() << "the dialog \"" << caption << "\" stayed after button " << button << ": "
                                         << app.Situation();
  }
  Settle(app.window());
  return ::testing::AssertionSuccess();
}

// Types `name` (a full Z:\ or C:\ path, or a bare name resolved in the dialog's folder) into the
// file-name box and presses OK.
inline ::testing::AssertionResult ChooseFile(Zelmor& app, HWND dialog, const std::wstring& name) {
  SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
  return EndFileDialog(app, dialog, IDOK);
}

inline ::testing::AssertionResult CancelDialog(Zelmor& app, HWND dialog) { return EndFileDialog(app, dialog, IDCANCEL); }

// A log command's dialog given `name`: LOG Save or LOG Open.
inline ::testing::AssertionResult ChooseInFileDialog(Zelmor& app, int command, const std::wstring& name) {
  HWND dialog = ShowFileDialog(app, command);
  if (!dialog) return ::testing::AssertionFailure() << "no file dialog came: " << app.Situation();
  return ChooseFile(app, dialog, name);
}
inline ::testing::AssertionResult SaveLog(Zelmor& app, const std::wstring& name) {
  return ChooseInFileDialog(app, IDM_LOG_SAVE, name);
}
inline ::testing::AssertionResult OpenLog(Zelmor& app, const std::wstring& name) {
  return ChooseInFileDialog(app, IDM_LOG_OPEN, name);
}

// Answers a message box, which must carry the text `message` of the string table; a success when
// it did and went away.
inline ::testing::AssertionResult Answer(HWND box, UINT message, int button) {
  if (!box) return ::testing::AssertionFailure() << "no message box came for \"" << Utf8(ZelmorText(message)) << "\"";
  const std::wstring text = MessageText(box);
  if (text != ZelmorText(message)) {
    return ::testing::AssertionFailure() << "the message box says \"" << Utf8(text) << "\" instead of \""
                                         << Utf8(ZelmorText(message)) << "\"";
  }
  PressButton(box, button);
  if (WaitDestroyed(box)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the message box \"" << Utf8(text) << "\" stayed after button " << button;
}

// Closes the main window and expects it to end without a question.
inline ::testing::AssertionResult ClosesWithoutQuestion(Zelmor& app) {
  app.RequestClose();
  return app.WaitExit(10000);
}

// Closes the main window, expects the unsaved-log question and answers it Yes.
inline ::testing::AssertionResult ClosesAfterQuestion(Zelmor& app) {
  app.RequestClose();
  HWND box = WaitForAnyDialog(app.pid());
  if (!box) return ::testing::AssertionFailure() << "no question came: " << app.Situation();
  if (::testing::AssertionResult answered = Answer(box, IDS_CLOSE_QUESTION, IDYES); !answered) return answered;
  return app.WaitExit(10000);
}

// An evening's log as a machine of another short-date picture wrote it, with the default
// template: seven composed lines and a fallback line, every date "2026/12/07" (Japanese Windows'
// yyyy/MM/dd), or, `mixed`, every other line "2026/12/7" (Wine's yyyy/M/d).
inline std::wstring LogOfDecember7(bool mixed) {
  const wchar_t* const tails[] = {
      L" 08:30J JA1ABC 59 57 PM95 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640",
      L" 08:34J JR2XYZ 59 59 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.968/Down=435.637",
      L" 08:38J 7K1QQQ 5NN 599 %Sat=RS-44/Rev:21847% 145/435 CW Up=145.970/Down=435.635",
      L" 09:05J JE4BBB 59 59 QM05 %Sat=ISS/Rev:45123% 145/437 FM Up=145.990/Down=437.800",
      L" 09:07J JH3AAA 59 59 %Sat=ISS/Rev:45123% 145/437 FM Up=145.990/Down=437.800",
      L" 10:12J JA6CCC 59 55 %Sat=SO-50/Rev:97254% 145/436 FM Up=145.850/Down=436.795",
      L" 10:14J JF7DDD 55 59 %Sat=SO-50/Rev:97254% 145/436 FM Up=145.850/Down=436.795",
      L" 10:20J  JL8EEE 59 59 ",
  };
  std::wstring log;
  bool padded = true;
  for (const wchar_t* tail : tails) {
    log += (padded ? L"2026/12/07" : L"2026/12/7") + std::wstring(tail) + L"\r\n";
    padded = !mixed || !padded;
  }
  return log;
}

// The ini line "key=value" as the settings file holds it (ANSI).
inline std::string IniLine(const std::string& key, const std::wstring& value) {
  return key + "=" + Ansi(value) + "\r\n";
}

}  // namespace e2e

#pragma once
// What the portable logic needs from the desktop it runs on. The Win32 side implements each of
// these; the unit tests use fakes. Nothing here includes windows.h.

#include <cstdint>
#include <optional>
#include <string>

namespace zelmor {

// A text of the program's own, by its ID in app/resource.h. The texts live in the resource script;
// the Win32 side loads them from the executable, the native tests read the script itself.
std::wstring LoadText(int id);

// Local wall-clock time, as the operator reads it.
struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;
};

// The user's locale settings that dates, times and numbers in log lines follow.
struct LocaleFormats {
  std::wstring short_date = L"yyyy/MM/dd";  // the platform's short-date picture
  std::wstring time_separator = L":";
  std::wstring decimal_mark = L".";
};

enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { None, Question, Stop };
enum class MessageAnswer { Ok, Yes, No };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // No title leaves the platform's own (the application's) title.
  virtual MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title,
                             MessageButtons buttons, MessageIcon icon) = 0;
};

// The main window's one common file dialog: a property that a command does not set keeps the
// value its previous use left, as the operator expects of a dialog that remembers.
struct FileDialogState {
  std::wstring title;
  std::wstring filter;       // "description|pattern"
  std::wstring initial_dir;  // no trailing backslash
  std::wstring file_name;    // preset before showing; the chosen path after a successful show
};

class FileDialogs {
 public:
  virtual ~FileDialogs() = default;
  // True with state.file_name holding the chosen path; false when the operator cancelled.
  virtual bool ShowOpen(FileDialogState& state) = 0;
  virtual bool ShowSave(FileDialogState& state) = 0;
};

// Plain text files in the ANSI code page.
class TextFiles {
 public:
  virtual ~TextFiles() = default;
  virtual bool Read(const std::wstring& path, std::wstring& text) = 0;
  // Replaces the file's whole content in one step: a crash leaves the old or the new file whole.
  virtual bool Replace(const std::wstring& path, const std::wstring& text) = 0;
  virtual bool Exists(const std::wstring& path) = 0;
  virtual bool Rename(const std::wstring& from, const std::wstring& to) = 0;
};

// The log pane (Text1).
class LogPane {
 public:
  virtual ~LogPane() = default;
  virtual std::wstring Text() = 0;
  virtual void SetText(const std::wstring& text) = 0;
  // Afterwards Text() is the old text followed by `text`.
  virtual void Append(const std::wstring& text) = 0;
  virtual void CaretToEnd() = 0;
  virtual void SetEnabled(bool enabled) = 0;
};

// The one-line entry box (Text2).
class EntryField {
 public:
  virtual ~EntryField() = default;
  virtual std::wstring Text() = 0;
  virtual void Clear() = 0;
};

// State fields of the main window, and the process-wide template.
struct MainState {
  int32_t log_file_number = 0;
  int32_t unsaved_log = 0;  // 0 or 1
  std::wstring log_frequency_text;
  int32_t edit_mode = 0;    // 0 or 1
  std::wstring TemplateText;
};

}  // namespace zelmor

#pragma once
// Win32 implementations of the small ports the main window hands to the portable logic.

#include <windows.h>

#include "app/ports.h"

namespace zelmor::app {

class Win32MessageBoxes : public MessageBoxes {
 public:
  explicit Win32MessageBoxes(HWND owner = nullptr) : owner_(owner) {}
  void set_owner(HWND owner) { owner_ = owner; }
  MessageAnswer Show(const std::wstring& text, const std::optional<std::wstring>& title,
                     MessageButtons buttons, MessageIcon icon) override;

 private:
  HWND owner_;
};

// The log pane: a multi-line EDIT control whose limit is lifted, because past the default 30,000
// characters appends are silently dropped.
class EditLogPane : public LogPane {
 public:
  explicit EditLogPane(HWND edit = nullptr) : edit_(edit) {}
  void set_window(HWND edit);
  std::wstring Text() override;
  void SetText(const std::wstring& text) override;
  void Append(const std::wstring& text) override;
  void CaretToEnd() override;
  void SetEnabled(bool enabled) override;
  // True while the program itself changes the text, so that its change notices are not taken for
  // the operator's edits.
  bool changing() const { return changing_ > 0; }

 private:
  HWND edit_;
  int changing_ = 0;
};

class EditEntryField : public EntryField {
 public:
  explicit EditEntryField(HWND edit = nullptr) : edit_(edit) {}
  void set_window(HWND edit) { edit_ = edit; }
  std::wstring Text() override;
  void Clear() override;

 private:
  HWND edit_;
};

std::wstring WindowText(HWND window);

}  // namespace zelmor::app

#pragma once
// The log pane and the entry box on their EDIT controls.

#include <windows.h>

#include "entry/log_pane.h"

namespace zelmor::entry {

// A multi-line EDIT control whose limit is lifted, because past the default 30,000 characters
// appends are silently dropped.
class EditLogPane : public LogPane {
 public:
  explicit EditLogPane(HWND edit = nullptr) : edit_(edit) {}
  void set_window(HWND edit);
  void set_watcher(PaneTextWatcher* watcher) { watcher_ = watcher; }
  std::wstring Text() override;
  size_t Length() override;
  void SetText(const std::wstring& text) override;
  void Append(const std::wstring& text) override;
  bool EndsLine() override;
  void CaretToEnd() override;
  void SetEnabled(bool enabled) override;
  uint64_t Replacements() override { return replacements_; }
  // EN_CHANGE of the control. True when the operator changed the text, not the program itself.
  bool OnChangeNotice();

 private:
  // An empty selection at the end of the text, where appends go.
  void SelectEnd();

  HWND edit_;
  PaneTextWatcher* watcher_ = nullptr;
  bool changing_ = false;  // the program, not the operator, is changing the text
  uint64_t replacements_ = 0;
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

}  // namespace zelmor::entry

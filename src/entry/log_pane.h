#pragma once
// The main window's two text boxes as the entry, the log files and edit mode use them.

#include <cstdint>
#include <string>

namespace zelmor::entry {

// The multi-line log pane.
class LogPane {
 public:
  virtual ~LogPane() = default;
  virtual std::wstring Text() = 0;
  // Characters in the pane; cheaper than Text() on a long log.
  virtual size_t Length() = 0;
  virtual void SetText(const std::wstring& text) = 0;
  // Afterwards Text() is the old text followed by `text`.
  virtual void Append(const std::wstring& text) = 0;
  // True when the pane is empty or its text ends with a line end, so that the next Append starts
  // a line of its own (after the operator's edit it may not). Cheaper than Text() on a long log.
  virtual bool EndsLine() = 0;
  virtual void CaretToEnd() = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Counts every change of the text other than Append: SetText and the operator's own edits. A
  // reader that followed the appends knows the text as long as this has not moved.
  virtual uint64_t Replacements() = 0;
};

// Told the whole text each time the program sets the pane's text (not of appends, nor of the
// operator's own edits), so that it need not read a long log back from the pane later.
class PaneTextWatcher {
 public:
  virtual ~PaneTextWatcher() = default;
  // The pane now holds exactly `text`; `replacements` is its Replacements() after the change.
  virtual void OnPaneTextSet(const std::wstring& text, uint64_t replacements) = 0;
};

// The one-line entry box.
class EntryField {
 public:
  virtual ~EntryField() = default;
  virtual std::wstring Text() = 0;
  virtual void Clear() = 0;
};

}  // namespace zelmor::entry

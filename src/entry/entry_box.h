#pragma once
// The entry box: Enter turns the memo into a log line at the end of the log pane.

#include <string>

#include "base/clock.h"
#include "base/main_state.h"
#include "entry/feed.h"
#include "entry/locale.h"
#include "entry/log_pane.h"

namespace zelmor::entry {

inline constexpr wchar_t kEnterKey = 13;

// The safety copy beside the program, kept by the log files above this layer.
class SafetyCopyWriter {
 public:
  virtual ~SafetyCopyWriter() = default;
  // Rewrites the copy after `appended` went onto the end of the pane; false when it could not be
  // written.
  virtual bool Write(LogPane& pane, const std::wstring& appended) = 0;
};

// Follows the log as the entries make it, for a part above this layer (the worked-before index).
class EntryListener {
 public:
  virtual ~EntryListener() = default;
  // Once the entry is complete, each line it put at the end of the pane, without its CR LF: the
  // composed line, the fallback line, or both when the safety copy could not be written.
  virtual void OnLineLogged(const std::wstring& line) = 0;
};

struct EntryBoxContext {
  MainState& state;
  Feed& feed;
  LogPane& pane;
  EntryField& entry;
  Clock& clock;
  // Read once for each entry.
  Locale& locale;
  SafetyCopyWriter& safety_copy;
  EntryListener* listener = nullptr;
};

// Acts on Enter (13) only and consumes nothing: the key goes on to the box's own handling.
// On Enter the composed line (or, when it cannot be composed or the safety copy cannot be
// written, the fallback line) is appended with CR LF, the safety copy is rewritten, the entry box
// is emptied and the log marked unsaved.
void OnEntryKey(EntryBoxContext& context, wchar_t key);

}  // namespace zelmor::entry

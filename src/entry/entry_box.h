#pragma once
// The entry box: Enter turns the memo into a log line at the end of the log pane.

#include <optional>
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
  // Once the entry is complete, each text it appended to the pane, CR LF included: the composed
  // line (after the station line when one was due), the fallback line, or the one then the other
  // when the safety copy could not be written.
  virtual void OnLogAppended(const std::wstring& text) = 0;
};

// A line that must stand in the log before the next entry (the operator's station, where the log
// does not state it yet), kept by the station's part above this layer.
class LineBeforeEntry {
 public:
  virtual ~LineBeforeEntry() = default;
  // The text (with its line ends) to append before an entry appended to `pane` now; nothing when
  // none is due.
  virtual std::optional<std::wstring> Due(LogPane& pane) const = 0;
  // `pane` now ends with what Due gave.
  virtual void Stated(LogPane& pane) = 0;
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
  // The operator's station, stated before the entry when the log does not hold it yet.
  LineBeforeEntry& station;
  EntryListener* listener = nullptr;
};

// Acts on Enter (13) only and consumes nothing: the key goes on to the box's own handling.
// On Enter the composed line (or, when it cannot be composed or the safety copy cannot be
// written, the fallback line) is appended with CR LF, the safety copy is rewritten, the entry box
// is emptied and the log marked unsaved. When the station line is due (the first entry of a log,
// or the first after the pane was replaced or edited), it goes before the line, in the same append.
void OnEntryKey(EntryBoxContext& context, wchar_t key);

}  // namespace zelmor::entry

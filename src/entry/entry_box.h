#pragma once
// The entry box (Text2): Enter turns the memo into a log line at the end of the log pane.

#include <functional>
#include <string>

#include "app/ports.h"
#include "entry/feed.h"

namespace zelmor::entry {

inline constexpr wchar_t kEnterKey = 13;

struct EntryBoxContext {
  MainState& state;
  Feed& feed;
  LogPane& pane;
  EntryField& entry;
  Clock& clock;
  LocaleFormats locale;
  // Rewrites the temp log with the whole pane text; false when it could not.
  std::function<bool(const std::wstring&)> write_temp_log;
};

// Acts on Enter (13) only and consumes nothing: the key goes on to the box's own handling.
// On Enter the composed line (or, when it cannot be composed or the temp log cannot be written,
// the fallback line) is appended with CR LF, the pane text goes to the temp log, the entry box is
// emptied and the log marked unsaved.
void Text2_KeyPress(EntryBoxContext& context, wchar_t key);

}  // namespace zelmor::entry

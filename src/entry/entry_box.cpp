#include "entry/entry_box.h"

#include <exception>
#include <optional>

#include "entry/log_line.h"

namespace zelmor::entry {
namespace {

const wchar_t kLineEnd[] = L"\r\n";

bool WriteTempLog(EntryBoxContext& context) {
  if (!context.write_temp_log) return false;
  try {
    return context.write_temp_log(context.pane.Text());
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void Text2_KeyPress(EntryBoxContext& context, wchar_t key) {
  if (key != kEnterKey) return;

  // One reading of the box and the clock for the whole entry: the feed requests may take a
  // while, and the line should carry the moment the operator pressed Enter.
  const std::wstring memo = context.entry.Text();
  const LocalTime now = context.clock.Now();

  std::optional<std::wstring> line;
  try {
    line = ComposeEntry(context.state, context.feed, memo, now, context.locale);
  } catch (const std::exception&) {
    line.reset();  // the composition fails as a whole, whatever the cause
  }

  bool logged = false;
  if (line) {
    context.pane.Append(*line + kLineEnd);
    if (WriteTempLog(context)) {
      context.pane.CaretToEnd();
      logged = true;
    }
  }
  if (!logged) {
    context.pane.Append(FallbackLine(memo, now, context.locale) + kLineEnd);
    // The safety copy should hold every entry, fallback lines included; if it cannot be written
    // now, the next entry that can write it will carry this line too.
    WriteTempLog(context);
  }
  context.entry.Clear();
  context.state.unsaved_log = 1;
}

}  // namespace zelmor::entry

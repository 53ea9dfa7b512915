#include "entry/entry_box.h"

#include <exception>
#include <optional>
#include <vector>

#include "entry/log_line.h"

namespace zelmor::entry {
namespace {

const wchar_t kLineEnd[] = L"\r\n";

bool WriteSafetyCopy(EntryBoxContext& context, const std::wstring& appended) {
  try {
    return context.safety_copy.Write(context.pane, appended);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace

void OnEntryKey(EntryBoxContext& context, wchar_t key) {
  if (key != kEnterKey) return;

  // One reading of the box and the clock for the whole entry: the feed requests may take a
  // while, and the line should carry the moment the operator pressed Enter.
  const std::wstring memo = context.entry.Text();
  const LocalTime now = context.clock.Now();
  const LocaleFormats locale = context.locale.Formats();

  std::optional<std::wstring> line;
  try {
    line = ComposeEntry(context.state.template_text, context.feed, memo, now, locale);
  } catch (const std::exception&) {
    line.reset();  // the composition fails as a whole, whatever the cause
  }

  std::vector<std::wstring> lines;
  bool logged = false;
  if (line) {
    const std::wstring appended = *line + kLineEnd;
    context.pane.Append(appended);
    lines.push_back(std::move(*line));
    if (WriteSafetyCopy(context, appended)) {
      context.pane.CaretToEnd();
      logged = true;
    }
  }
  if (!logged) {
    lines.push_back(FallbackLine(memo, now, locale));
    const std::wstring appended = lines.back() + kLineEnd;
    context.pane.Append(appended);
    // The safety copy should hold every entry, fallback lines included; if it cannot be written
    // now, the next entry that can write it will carry this line too.
    WriteSafetyCopy(context, appended);
  }
  context.entry.Clear();
  context.state.log_unsaved = true;
  if (!context.listener) return;
  // The entry is made whatever a follower of the log does with it.
  try {
    for (const auto& logged_line : lines) context.listener->OnLineLogged(logged_line);
  } catch (const std::exception&) {
  }
}

}  // namespace zelmor::entry

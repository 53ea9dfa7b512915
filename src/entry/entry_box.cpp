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

  // The station line and the entry's line reach the pane, and the safety copy, together.
  std::wstring station = context.station.Due(context.pane).value_or(L"");
  const bool stating = !station.empty();
  std::vector<std::wstring> appends;
  bool logged = false;
  if (line) {
    const std::wstring appended = station + *line + kLineEnd;
    context.pane.Append(appended);
    appends.push_back(appended);
    station.clear();
    if (WriteSafetyCopy(context, appended)) {
      context.pane.CaretToEnd();
      logged = true;
    }
  }
  if (!logged) {
    const std::wstring appended = station + FallbackLine(memo, now, locale) + kLineEnd;
    context.pane.Append(appended);
    appends.push_back(appended);
    // The safety copy should hold every entry, fallback lines included; if it cannot be written
    // now, the next entry that can write it will carry this line too.
    WriteSafetyCopy(context, appended);
  }
  if (stating) context.station.Stated(context.pane);
  context.entry.Clear();
  context.state.log_unsaved = true;
  if (!context.listener) return;
  // The entry is made whatever a follower of the log does with it.
  try {
    for (const auto& appended : appends) context.listener->OnLogAppended(appended);
  } catch (const std::exception&) {
  }
}

}  // namespace zelmor::entry

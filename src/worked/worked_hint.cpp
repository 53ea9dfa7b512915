#include "worked/worked_hint.h"

#include <cstdio>

#include "base/resource.h"
#include "base/text.h"
#include "base/texts.h"
#include "contact/satellite_names.h"
#include "entry/log_format.h"

namespace zelmor::worked {
namespace {

// The time as the log shows it: "10:14J".
std::wstring TimeText(const LoggedTime& t, const std::wstring& separator) {
  std::wstring text = entry::FormatTime(t.hour, t.minute, separator);
  if (t.zone) text += t.zone;
  return text;
}

std::wstring DateText(const LoggedTime& t) {
  wchar_t text[16];
  std::swprintf(text, 16, L"%04d/%02d/%02d", t.year, t.month, t.day);
  return text;
}

std::wstring CallLine(const CallLookup& found, const std::optional<std::wstring>& satellite,
                      const std::wstring& separator) {
  if (found.same_pass) return FillText(LoadText(IDS_WORKED_SAME_PASS), {TimeText(*found.same_pass, separator)});
  const std::wstring nth = std::to_wstring((satellite ? found.on_satellite : found.contacts) + 1);
  if (!satellite) {
    if (found.contacts == 0) return LoadText(IDS_WORKED_NEW_STATION);
    return FillText(LoadText(IDS_WORKED_BEFORE), {DateText(*found.last), nth});
  }
  if (found.on_satellite > 0) {
    return FillText(LoadText(IDS_WORKED_ON_SATELLITE), {*satellite, DateText(*found.last_on_satellite), nth});
  }
  if (found.contacts > 0) return FillText(LoadText(IDS_WORKED_FIRST_ON_SATELLITE), {*satellite});
  return LoadText(IDS_WORKED_NEW_STATION);
}

}  // namespace

Hint WorkedHint(const WorkedIndex& index, const HintRequest& request) {
  Hint hint;
  std::optional<std::wstring> satellite;
  if (request.satellite && contact::NamesSatellite(*request.satellite)) satellite = TrimSpaces(*request.satellite);
  const contact::MemoWords words = contact::ClassifyMemo(request.memo);

  if (!words.words.empty() && words.words[0].kind == contact::WordKind::Call) {
    const CallLookup found =
        index.LookUpCall(words.words[0].text, satellite, request.now, request.dupe_window_minutes);
    hint.same_pass = found.same_pass.has_value();
    hint.lines.push_back(CallLine(found, satellite, request.time_separator));
    if (found.contacts > 0 && !found.form_logged) {
      hint.lines.push_back(FillText(LoadText(IDS_WORKED_AS_OTHER_FORM), {found.latest_form}));
    }
  }

  const std::wstring grid = words.Find(contact::WordKind::Grid);
  if (!grid.empty()) {
    const GridLookup found = index.LookUpGrid(grid, satellite);
    const std::wstring square = GridText(GridNumber(grid));
    if (!found.worked) {
      hint.lines.push_back(FillText(LoadText(IDS_WORKED_NEW_GRID), {square}));
    } else if (satellite && !found.worked_on_satellite) {
      hint.lines.push_back(FillText(LoadText(IDS_WORKED_NEW_GRID_ON_SATELLITE), {square, *satellite}));
    } else if (index.HasConfirmations() && !found.confirmed) {
      // Only once LoTW's confirmations are kept: before, every worked square would say so.
      hint.lines.push_back(FillText(LoadText(IDS_WORKED_GRID_UNCONFIRMED), {square}));
    }
  }
  return hint;
}

}  // namespace zelmor::worked

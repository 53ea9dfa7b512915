#pragma once
// The rules both tracking-program texts keep (satpc32_text_fuzz, orbitron_text_fuzz): whatever the
// text, a reading has a name and hertz in CSATmate's grouped form (at most 18 digits), the feed
// composes a line from it, and the reading written back in the program's
// own form reads the same.

#include <optional>
#include <string>

#include "entry/log_format.h"
#include "entry/log_line.h"
#include "fuzz_input.h"
#include "trackers/tracker_text.h"

namespace zelmor::fuzz {

inline bool GroupedDigits(const std::wstring& text) {
  if (text.empty() || text.size() % 4 == 0) return false;
  const size_t head = text.size() % 4;  // 1 to 3 digits, then ".ddd" groups
  for (size_t i = 0; i < text.size(); ++i) {
    const bool mark = i >= head && (i - head) % 4 == 0;
    if (mark ? text[i] != L'.' : !(text[i] >= L'0' && text[i] <= L'9')) return false;
  }
  return text.size() == 1 || text[0] != L'0';
}

inline bool Plain(const std::wstring& text) {
  return text.find_first_of(L" \t\r\n\"") == std::wstring::npos;
}

inline std::wstring Ungrouped(std::wstring text) {
  std::wstring digits;
  for (wchar_t c : text) {
    if (c != L'.') digits += c;
  }
  return digits;
}

using Reader = std::optional<trackers::TrackerReading> (*)(const std::wstring&);

// `rewrite` gives the program's text for a reading whose name and mode are plain words.
template <typename Rewrite>
void CheckTrackerText(const std::wstring& text, Reader read, Rewrite rewrite) {
  const auto reading = read(text);
  if (!reading) return;
  FUZZ_CHECK(!reading->satellite.empty(), "an empty name read from " + Show(text));
  FUZZ_CHECK(GroupedDigits(reading->uplink) && GroupedDigits(reading->downlink),
             "hertz " + Show(reading->uplink) + " / " + Show(reading->downlink) + " from " + Show(text));
  FUZZ_CHECK(Ungrouped(reading->uplink).size() <= 18 && Ungrouped(reading->downlink).size() <= 18,
             "more than 18 digits from " + Show(text));
  const entry::FeedSnapshot snapshot{reading->satellite, reading->downlink, reading->uplink, L"", reading->mode};
  const auto line = entry::LogLine(L"#SN #RV #TX #RX #LF #MD", snapshot, L"", LocalTime{2024, 3, 5, 21, 5, 0},
                                   entry::LocaleFormats{});
  FUZZ_CHECK(line.has_value(), "no line composed for " + Show(text));

  if (!Plain(reading->satellite) || !Plain(reading->mode)) return;
  const std::wstring again_text = rewrite(*reading);
  const auto again = read(again_text);
  FUZZ_CHECK(again && again->satellite == reading->satellite && again->uplink == reading->uplink &&
                 again->downlink == reading->downlink && again->mode == reading->mode,
             Show(text) + " read, written as " + Show(again_text) + ", reads otherwise");
}

}  // namespace zelmor::fuzz

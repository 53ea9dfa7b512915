#include "station/station_statement.h"

namespace zelmor::station {

std::optional<std::wstring> StationStatement::Line(entry::LogPane& pane) const {
  const std::optional<entry::StationLine> station = source_.StationInForce();
  if (!station) return std::nullopt;
  // On a line of its own: a station line in the middle of a line states nothing.
  return (pane.EndsLine() ? L"" : L"\r\n") + entry::FormatStationLine(*station) + L"\r\n";
}

std::optional<std::wstring> StationStatement::Due(entry::LogPane& pane) const {
  if (stated_at_ && *stated_at_ == pane.Replacements()) return std::nullopt;
  return Line(pane);
}

}  // namespace zelmor::station

#pragma once
// The one text SatPC32 and Orbitron send for everything: tagged words, each a tag followed directly
// by its value, read into what a log line needs.
//
//   SatPC32   SNFO-29 AZ56.7 EL6.8 UP145951275 UMLSB DN435853062 DMUSB MA52.6
//             "** NO SATELLITE **" while none is chosen; AZ and EL may carry a decimal comma.
//   Orbitron  SNAO_91 AZ123.4 EL12.3 DN145960000 UP435250000 DMFM UMFM          (TrackingData)
//             SN"AO-91" AZ123.4 EL12.3 DN... UP... ... TU20240305120000 AOS"..."  (TrackingDataEx)
//             a blank in the name is "_" in TrackingData; quotes may hold blanks in TrackingDataEx;
//             empty while nothing is tracked.
// UP and DN are hertz; UM and DM the uplink's and the downlink's modes. Neither sends an orbit
// number.

#include <optional>
#include <string>

namespace zelmor::trackers {

struct TrackerReading {
  std::wstring satellite;
  // Hertz as CSATmate writes them, the digits grouped by "." ("435.853.062").
  std::wstring downlink, uplink;
  // The downlink's mode, else the uplink's; may be empty.
  std::wstring mode;
};

// Nothing when there is nothing to log: no satellite, an empty text, no name, a missing UP or DN,
// or a frequency that does not read (digits, at most one "." or "," with digits after it, rounded
// to whole hertz; at most 18 digits).
std::optional<TrackerReading> ReadSatPc32Text(const std::wstring& text);
std::optional<TrackerReading> ReadOrbitronText(const std::wstring& text);

// "435853062" -> "435.853.062".
std::wstring GroupedHertz(unsigned long long hertz);

}  // namespace zelmor::trackers

// Orbitron's DDE text read for the feed (trackers/tracker_text.h): the rules of
// tracker_text_checks.h, the reading written back as TrackingDataEx. Field: the text.

#include "tracker_text_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor::fuzz;
  const Input in(data, size);
  CheckTrackerText(in.Text(0), &zelmor::trackers::ReadOrbitronText, [](const zelmor::trackers::TrackerReading& r) {
    return L"SN\"" + r.satellite + L"\" AZ1.5 EL2.5 DN" + Ungrouped(r.downlink) + L" UP" + Ungrouped(r.uplink) +
           L" DM" + r.mode + L" TU20240305120000 AOS\"2024-03-05 12:10:00\"";
  });
  return 0;
}

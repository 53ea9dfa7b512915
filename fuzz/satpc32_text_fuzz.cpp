// SatPC32's DDE text read for the feed (trackers/tracker_text.h): the rules of
// tracker_text_checks.h. Field: the text.

#include "tracker_text_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor::fuzz;
  const Input in(data, size);
  CheckTrackerText(in.Text(0), &zelmor::trackers::ReadSatPc32Text, [](const zelmor::trackers::TrackerReading& r) {
    return L"SN" + r.satellite + L" AZ1,5 EL-2,5 UP" + Ungrouped(r.uplink) + L" DN" + Ungrouped(r.downlink) +
           L" DM" + r.mode + L" MA12,5";
  });
  return 0;
}

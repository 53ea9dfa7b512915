#pragma once
// One contact as LoTW confirmed it: what the report and the kept file say of it, read once into the
// shape the matching needs.

#include <cstdint>
#include <string>
#include <vector>

namespace zelmor::confirmations {

struct Confirmation {
  std::wstring call;          // CALL, upper case
  std::wstring satellite;     // SAT_NAME as LoTW writes it
  std::wstring band;          // BAND, lower case ("2m", "70cm"); BAND_RX is not matched
  int64_t utc_minute = 0;     // QSO_DATE and TIME_ON as a MinuteNumber (base/calendar.h), UTC
  std::vector<std::wstring> grids;  // 4-character squares, upper case: GRIDSQUARE's, or each of VUCC_GRIDS
  std::wstring station_call;  // STATION_CALLSIGN: the operator's own call of that contact
  std::wstring received;      // QSLRDATE, YYYYMMDD
};

}  // namespace zelmor::confirmations

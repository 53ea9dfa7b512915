#pragma once
// When a LoTW confirmation confirms a contact of the logs. The same operator (the call's base,
// as worked-before takes it: JA1ABC/P is JA1ABC), the same satellite (SatelliteNames::Key: AO-07
// is AO-7, ISS is ARISS), the same band, and times at most kMatchMinutes apart, compared in UTC:
// LoTW's time is UTC, a log line's is the computer's local time, converted by the same rules as
// the ADIF export's (base/time_zone.h).
//
// What a line does not tell is not compared: a line whose feed failed has neither satellite nor
// frequency, and the call and the time alone say which contact it was. A contact whose time the
// rules cannot convert is confirmed by nothing.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/time_zone.h"
#include "confirmations/confirmation.h"
#include "worked/worked_source.h"

namespace zelmor::worked {

inline constexpr int kMatchMinutes = 30;

// One side of a match, its names numbered by whoever holds them (the index): the same satellite
// has the same number on both sides.
struct MatchFacts {
  static constexpr uint32_t kNone = UINT32_MAX;
  uint32_t satellite = kNone;  // kNone: not known
  int band = -1;               // contact::BandNumber; -1: not known
  int64_t utc_minute = 0;      // base/calendar.h's MinuteNumber, in UTC
};

// The operators being the same, whether `confirmation` confirms `contact`.
bool Confirms(const MatchFacts& confirmation, const MatchFacts& contact);

// The operator a confirmation is for (BaseCall of its CALL).
std::wstring ConfirmedBaseCall(const confirmations::Confirmation& confirmation);
// The band a confirmation gives, as a contact::BandNumber; -1 for none or one not known.
int ConfirmedBand(const confirmations::Confirmation& confirmation);
// The 4-character squares a confirmation gives (GRIDSQUARE, or each of VUCC_GRIDS), as
// GridNumbers, each once.
std::vector<int16_t> ConfirmedGrids(const confirmations::Confirmation& confirmation);

// Local times of the log to UTC minutes. The rules are asked once for each hour: summer time
// begins and ends on the hour, and the computer's rules take microseconds a question.
class UtcMinutes {
 public:
  explicit UtcMinutes(const TimeZoneRules* zone = nullptr) : zone_(zone) {}
  // Nothing without rules, or for a time they cannot convert.
  std::optional<int64_t> Of(const LoggedTime& local);

 private:
  const TimeZoneRules* zone_;
  std::unordered_map<int64_t, std::optional<int64_t>> offset_of_hour_;  // local hour -> minutes to add
};

}  // namespace zelmor::worked

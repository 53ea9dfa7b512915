#include "worked/confirmed.h"

#include <algorithm>

#include "base/calendar.h"
#include "contact/bands.h"

namespace zelmor::worked {

bool Confirms(const MatchFacts& confirmation, const MatchFacts& contact) {
  const int64_t apart = confirmation.utc_minute - contact.utc_minute;
  if (apart > kMatchMinutes || apart < -kMatchMinutes) return false;
  if (confirmation.satellite != MatchFacts::kNone && contact.satellite != MatchFacts::kNone &&
      confirmation.satellite != contact.satellite) {
    return false;
  }
  return confirmation.band < 0 || contact.band < 0 || confirmation.band == contact.band;
}

std::wstring ConfirmedBaseCall(const confirmations::Confirmation& confirmation) {
  return BaseCall(NormalizedCall(confirmation.call));
}

int ConfirmedBand(const confirmations::Confirmation& confirmation) {
  std::string band;
  for (wchar_t c : confirmation.band) {
    if (c < 0x20 || c > 0x7E) return -1;
    band += static_cast<char>(c);
  }
  return contact::BandNumber(band);
}

std::vector<int16_t> ConfirmedGrids(const confirmations::Confirmation& confirmation) {
  std::vector<int16_t> grids;
  for (const auto& locator : confirmation.grids) {
    const int grid = GridNumber(locator);
    if (grid >= 0 && std::find(grids.begin(), grids.end(), grid) == grids.end()) {
      grids.push_back(static_cast<int16_t>(grid));
    }
  }
  return grids;
}

std::optional<int64_t> UtcMinutes::Of(const LoggedTime& local) {
  if (!zone_) return std::nullopt;
  const int64_t minute = CalendarMinute(local);
  const int64_t hour = minute >= 0 ? minute / 60 : -((-minute + 59) / 60);
  auto [it, added] = offset_of_hour_.try_emplace(hour);
  if (added) {
    const auto utc = zone_->ToUtc(CivilTime{local.year, local.month, local.day, local.hour, local.minute, 0});
    if (utc) it->second = MinuteNumber(utc->year, utc->month, utc->day, utc->hour, utc->minute) - minute;
  }
  if (!it->second) return std::nullopt;
  return minute + *it->second;
}

}  // namespace zelmor::worked

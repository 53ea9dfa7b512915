#pragma once
// The station for the outing as "Zelmor.ini" keeps it (section "Station"), and the one in force
// while the program runs.

#include <optional>

#include "settings/profile.h"
#include "station/station.h"
#include "station/station_statement.h"

namespace zelmor::station {

// The stored station, checked as the dialog checks it. Nothing when none was ever set, or when
// what is stored is not a station (a hand edit gone wrong): the operator then sets it again.
std::optional<Station> LoadStation(settings::Profile& profile);

// Stores every field; false when the file refused one of them.
bool SaveStation(settings::Profile& profile, const Station& station);

// The station in force: read once when the program starts, replaced when the operator sets it.
class CurrentStation : public station::StationSource {
 public:
  explicit CurrentStation(settings::Profile& profile) : profile_(profile), station_(LoadStation(profile)) {}

  const std::optional<Station>& Get() const { return station_; }
  std::optional<entry::StationLine> StationInForce() const override {
    return station_ ? std::optional<entry::StationLine>(ToLine(*station_)) : std::nullopt;
  }

  // Takes `station` for the rest of the run and stores it; false when the file refused it (the
  // station is in force all the same, until the program ends).
  bool Set(const Station& station);

 private:
  settings::Profile& profile_;
  std::optional<Station> station_;
};

}  // namespace zelmor::station

#include "station/station_store.h"

#include <variant>

#include "settings/keys.h"

namespace zelmor::station {

std::optional<Station> LoadStation(settings::Profile& profile) {
  const auto read = [&](const wchar_t* key) {
    return profile.ProfileRead(settings::kStationSection, key);
  };
  const std::optional<std::wstring> call = read(settings::kStationCallKey);
  // No call sign: never set. The other keys alone make no station.
  if (!call) return std::nullopt;
  const StationText stored{*call, read(settings::kStationGridKey).value_or(L""),
                           read(settings::kStationPrefectureKey).value_or(L""),
                           read(settings::kStationCityKey).value_or(L""),
                           read(settings::kStationLocationKey).value_or(L"")};
  auto station = ReadStation(stored);
  if (auto* s = std::get_if<Station>(&station)) return std::move(*s);
  return std::nullopt;
}

bool SaveStation(settings::Profile& profile, const Station& station) {
  const StationText text = ToText(station);
  bool stored = true;
  const auto write = [&](const wchar_t* key, const std::wstring& value) {
    stored = profile.ProfileWrite(settings::kStationSection, key, value) && stored;
  };
  write(settings::kStationCallKey, text.call_sign);
  write(settings::kStationGridKey, text.grids);
  write(settings::kStationPrefectureKey, text.prefecture);
  write(settings::kStationCityKey, text.city);
  write(settings::kStationLocationKey, text.station_location);
  return stored;
}

bool CurrentStation::Set(const Station& station) {
  station_ = station;
  return SaveStation(profile_, station);
}

}  // namespace zelmor::station

#include "contact/bands.h"

#include "base/text.h"

namespace zelmor::contact {

std::string BandOf(int64_t hertz) {
  for (const Band& band : kBands) {
    if (hertz >= band.lower_hz && hertz <= band.upper_hz) return band.name;
  }
  return std::string();
}

std::string BandOfWholeMegahertz(int64_t mhz) {
  if (mhz < 0 || mhz > 100000000) return std::string();
  const int64_t low = mhz * 1000000, high = low + 1000000;  // [low, high)
  std::string found;
  for (const Band& band : kBands) {
    if (band.lower_hz < high && band.upper_hz >= low) {
      if (!found.empty()) return std::string();
      found = band.name;
    }
  }
  return found;
}

ContactBands BandsOf(const Contact& c) {
  ContactBands bands;
  const bool up = c.uplink && c.uplink->kilohertz > 0, down = c.downlink && c.downlink->kilohertz > 0;
  if (up) bands.uplink = BandOf(c.uplink->kilohertz * 1000);
  if (down) bands.downlink = BandOf(c.downlink->kilohertz * 1000);
  if (c.log_frequency) {
    if (!up) bands.uplink = BandOfWholeMegahertz(c.log_frequency->uplink_mhz);
    if (!down) bands.downlink = BandOfWholeMegahertz(c.log_frequency->downlink_mhz);
  }
  return bands;
}

int BandNumber(const std::string& name) {
  if (name.empty()) return -1;
  std::string lower = name;
  for (char& c : lower) c = AsciiLower(c);
  for (size_t i = 0; i < kBands.size; ++i) {
    if (lower == kBands.rows[i].name) return static_cast<int>(i);
  }
  return -1;
}

std::string BandName(int number) {
  if (number < 0 || static_cast<size_t>(number) >= kBands.size) return std::string();
  return kBands.rows[number].name;
}

}  // namespace zelmor::contact

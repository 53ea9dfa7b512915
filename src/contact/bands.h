#pragma once
// Bands as LoTW's signing tool (TQSL) and ADIF 3.1.4 both name them, and the band a log line's
// contact was on: one rule for the ADIF export and for matching LoTW's confirmations, which give
// the band. The rows are generated from TQSL's configuration (src/contact/lotw_bands.cpp, by
// scripts/gen-lotw-tables.py; its first lines say which trustedqsl version they came from).

#include <cstdint>
#include <string>

#include "base/table.h"
#include "contact/contact.h"

namespace zelmor::contact {

// A band with the limits that both TQSL and ADIF 3.1.4 allow, in hertz, both included.
struct Band {
  const char* name;  // as ADIF spells it: "2m", "70cm"
  int64_t lower_hz, upper_hz;
};

extern const Table<Band> kBands;  // in order of frequency

// ADIF's band for a frequency in hertz, or empty outside every band.
std::string BandOf(int64_t hertz);
// The one band that a whole number of megahertz from the LOG frequency ("435") can be in, or
// empty when there is none or more than one.
std::string BandOfWholeMegahertz(int64_t mhz);

// The bands a contact was worked on: the uplink's (BAND) and the downlink's (BAND_RX), each from
// its frequency in the line, else from the LOG frequency; empty when the line tells neither (a
// fallback line: the feed failed).
struct ContactBands {
  std::string uplink, downlink;
};
ContactBands BandsOf(const Contact& contact);

// A band's place in kBands (a small number to keep), by its name in any case; -1 for none.
int BandNumber(const std::string& name);
// The name of a BandNumber, or empty.
std::string BandName(int number);

}  // namespace zelmor::contact

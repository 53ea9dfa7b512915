#include "adif/satellite_names.h"

#include <gtest/gtest.h>

#include <string>

#include "adif/lotw_tables.h"
#include "printable.h"

namespace zelmor::adif {
namespace {

using test_support::Utf8;

struct NameRow {
  std::wstring tracker;
  std::wstring written;
  bool known;
};

TEST(SatelliteNamesTest, TrackerSpellingsFindLotwNames) {
  const SatelliteNames names({{L"greencube", L"IO-117"}, {L"FO-29", L" FO-29 "}, {L" ", L"x"}, {L"XW-2A", L""}});
  const NameRow rows[] = {
      {L"AO-07", L"AO-7", true},        // leading zero
      {L"ao 7", L"AO-7", true},         // case and space
      {L"RS44", L"RS-44", true},
      {L"SO-50", L"SO-50", true},
      {L"QO-0100", L"QO-100", true},
      {L"ISS", L"ARISS", true},         // a tracker's own spelling
      {L"Es'hail-2", L"QO-100", true},  // another name from TQSL's list
      {L"Fox-1A", L"AO-85", true},
      {L"arsene", L"Arsene", true},     // LoTW's own mixed case
      {L"AO-7[B]", L"AO-7", true},      // a transponder note
      {L"FO-29 (JD)", L"FO-29", true},
      {L"GreenCube", L"IO-117", true},  // the operator's spelling, not on this list
      {L"XW-2A", L"XW-2A", true},       // an empty operator value is ignored
      {L"Cubesat", L"Cubesat", false},  // TQSL's list names three satellites so
      {L" IO-86X ", L"IO-86X", false},
      {L"", L"", false},
  };
  for (const auto& row : rows) {
    const SatelliteName found = names.Lookup(row.tracker);
    EXPECT_EQ(Utf8(found.name), Utf8(row.written)) << Utf8(row.tracker);
    EXPECT_EQ(found.known, row.known) << Utf8(row.tracker);
  }
}

TEST(SatelliteNamesTest, EveryLotwNameFindsItself) {
  const SatelliteNames names;
  for (const char* name : kLotwSatellites) {
    const std::wstring wide(name, name + std::string(name).size());
    EXPECT_EQ(Utf8(names.Lookup(wide).name), name);
  }
  EXPECT_GT(kLotwSatellites.size, 80u) << "trustedqsl " << kTqslVersion;
}

}  // namespace
}  // namespace zelmor::adif

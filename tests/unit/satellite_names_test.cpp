#include "contact/satellite_names.h"

#include <gtest/gtest.h>

#include <string>

#include "adif/lotw_tables.h"
#include "contact/lotw_satellites.h"
#include "printable.h"

namespace zelmor::contact {
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
      {L"ＡＯ－０７", L"AO-7", true},    // full-width, as a Japanese input method types it
      {L"ＩＳＳ\u3000", L"ARISS", true},
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
  EXPECT_GT(kLotwSatellites.size, 80u) << "trustedqsl " << adif::kTqslVersion;
}

// Worked-before counts by Key, the ADIF export writes what Lookup finds: two names are one
// satellite in both or in neither.
TEST(SatelliteNamesTest, OneSatelliteUnderEverySpellingLotwKnows) {
  const SatelliteNames lotw;
  const SatelliteNames operators(std::vector<std::pair<std::wstring, std::wstring>>{{L"GREENCUBE", L"IO-117"}});
  const struct {
    std::wstring a, b;
    bool same;                 // with LoTW's list alone
    bool same_for_operator;    // with the operator's [SatNames] too
  } rows[] = {
      // Names LoTW's list makes one satellite.
      {L"AO-07", L"AO-7", true, true},        {L"AO-7", L"ＡＯ－７", true, true},   {L"ao 07", L"AO7", true, true},
      {L"ISS", L"ARISS", true, true},         {L"iss", L"ARISS", true, true},     {L"Fox-1A", L"AO-85", true, true},
      {L"AO-7[B]", L"AO-7", true, true},      {L"RS-44", L" rs44 ", true, true},  {L"RS-44", L"ＲＳ－４４", true, true},
      {L"AO-7", L"AO-73", false, false},      {L"ARISS", L"ARISSat-1", false, false},  // ARISSat-1 is KEDR
      {L"SO-50", L"SO-51", false, false},     {L"ISS", L"ISS FM", false, false},
      // Names it does not know key as they always did: case, full width, spaces, hyphens and
      // underscores make no difference; leading zeros and other punctuation do.
      {L"IO-117", L"io 117", true, true},     {L"IO-117", L"ＩＯ－１１７", true, true}, {L"CAS_5A", L"cas-5a", true, true},
      {L"AO-7 B", L"AO7B", true, true},       {L"IO-117", L"IO-0117", false, false},   {L"X.1", L"X1", false, false},
      // The operator's spellings.
      {L"GreenCube", L"IO-117", false, true}, {L"Greencube", L"io117", false, true},  {L"GreenCube", L"AO-7", false, false},
  };
  for (const auto& row : rows) {
    const std::string pair = Utf8(row.a) + " / " + Utf8(row.b);
    for (const SatelliteNames* names : {&lotw, &operators}) {
      const bool same = names == &lotw ? row.same : row.same_for_operator;
      EXPECT_EQ(names->Key(row.a) == names->Key(row.b), same) << pair;
      const SatelliteName a = names->Lookup(row.a), b = names->Lookup(row.b);
      if (a.known && b.known) EXPECT_EQ(a.name == b.name, same) << pair << ": the ADIF export disagrees";
    }
  }
  for (const std::wstring nothing : {L"", L" - ", L"\u3000_\t", L"－＿"}) {
    EXPECT_EQ(Utf8(lotw.Key(nothing)), "") << Utf8(nothing);
    EXPECT_FALSE(NamesSatellite(nothing)) << Utf8(nothing);
  }
  for (const std::wstring something : {L"AO-7", L"-.-", L"ＸＹ", L"\u885b\u661f"}) {
    EXPECT_NE(Utf8(lotw.Key(something)), "") << Utf8(something);
    EXPECT_TRUE(NamesSatellite(something)) << Utf8(something);
  }
}

}  // namespace
}  // namespace zelmor::contact

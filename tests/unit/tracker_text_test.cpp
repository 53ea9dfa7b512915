// SatPC32's and Orbitron's one text read into the values of a log line, and those values written
// into a line that reads back like CSATmate's, only without a Rev.

#include "trackers/tracker_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "contact/contact.h"
#include "entry/log_format.h"
#include "entry/log_line.h"
#include "printable.h"

namespace zelmor::trackers {
namespace {

// "name|downlink|uplink|mode", or "-" for nothing to log.
std::string Show(const std::optional<TrackerReading>& r) {
  if (!r) return "-";
  return test_support::Utf8(r->satellite + L"|" + r->downlink + L"|" + r->uplink + L"|" + r->mode);
}

struct Row {
  const wchar_t* text;
  const char* expected;
};

TEST(SatPc32TextTest, Rows) {
  const Row rows[] = {
      // The example of its documentation.
      {L"SNFO-29 AZ56.7 EL6.8 UP145951275 UMLSB DN435853062 DMUSB MA52.6", "FO-29|435.853.062|145.951.275|USB"},
      // A machine with a decimal comma writes it in AZ and EL, which are not logged.
      {L"SNRS-44 AZ56,7 EL-6,8 UP145965000 UMLSB DN435640000 DMUSB MA52,6", "RS-44|435.640.000|145.965.000|USB"},
      // A name with a blank runs on up to the next tag.
      {L"SNAO 7 AZ10.0 EL1.0 UP145900000 UMLSB DN29450000 DMUSB", "AO 7|29.450.000|145.900.000|USB"},
      // No downlink mode: the uplink's; neither: empty.
      {L"SNISS UP145990000 UMFM DN437800000", "ISS|437.800.000|145.990.000|FM"},
      {L"SNISS UP145990000 DN437800000", "ISS|437.800.000|145.990.000|"},
      // A fraction of a hertz is rounded, with either mark.
      {L"SNSO-50 UP145850000.5 DN436795000,4", "SO-50|436.795.000|145.850.001|"},
      // The tags may come in any order; the first of a tag counts; unknown words are passed over.
      {L"DN435853062 XX1 UP145951275 SNFO-29 SNOTHER DN1", "FO-29|435.853.062|145.951.275|"},
      // Blanks around and a CR LF left on the end.
      {L"  SNFO-29 UP145951275 DN435853062 \r\n", "FO-29|435.853.062|145.951.275|"},
      {L"UP0 DN0 SNXW-2A", "XW-2A|0|0|"},
      // Nothing to log.
      {L"** NO SATELLITE **", "-"},
      {L"  ** NO SATELLITE **\r\n", "-"},
      {L"", "-"},
      {L"   ", "-"},
      {L"SNFO-29 AZ56.7 EL6.8 UMLSB DN435853062 DMUSB", "-"},  // no UP
      {L"SNFO-29 UP145951275", "-"},                            // no DN
      {L"AZ56.7 UP145951275 DN435853062", "-"},                 // no name
      {L"SN UP145951275 DN435853062", "-"},                     // an empty name
      {L"SNFO-29 UP145.951.275 DN435853062", "-"},              // grouped hertz do not read
      {L"SNFO-29 UP145951275 DN-435853062", "-"},
      {L"SNFO-29 UP145951275 DN435853062x", "-"},
      {L"SNFO-29 UP145951275 DN4358530620000000000", "-"},      // beyond 18 digits
      {L"SNFO-29 UP145951275 DN999999999999999999.5", "-"},     // rounded beyond them
      {L"SNFO-29 UP DN435853062", "-"},
      {L"garbage \x00ff\x3042 \"", "-"},
  };
  for (const Row& row : rows) EXPECT_EQ(Show(ReadSatPc32Text(row.text)), row.expected) << "text: " << test_support::Utf8(row.text);
}

TEST(OrbitronTextTest, Rows) {
  const Row rows[] = {
      // TrackingData: a blank in the name is "_".
      {L"SNAO-91 AZ123.4 EL12.3 DN145960000 UP435250000 DMFM UMFM", "AO-91|145.960.000|435.250.000|FM"},
      {L"SNAO_7 AZ123.4 EL12.3 DN29450000 UP145900000 DMUSB UMLSB", "AO 7|29.450.000|145.900.000|USB"},
      // DM and UM are optional.
      {L"SNISS AZ1.0 EL2.0 DN437800000 UP145990000", "ISS|437.800.000|145.990.000|"},
      {L"SNISS DN437800000 UP145990000 UMFM", "ISS|437.800.000|145.990.000|FM"},
      // TrackingDataEx: the name in quotes, blanks and underscores kept, and more tags.
      {L"SN\"AO-91\" AZ123.4 EL12.3 RA1234.5 RR-2.345 LO12.3 LA45.6 AL800.1 DN145960000 UP435250000 DMFM UMFM "
       L"TU20240305120000 TL20240305210000 AOS\"2024-03-05 12:10:00\"",
       "AO-91|145.960.000|435.250.000|FM"},
      {L"SN\"AO 7\" DN29450000 UP145900000", "AO 7|29.450.000|145.900.000|"},
      {L"SN\"NO_84\" DN29450000 UP145900000", "NO_84|29.450.000|145.900.000|"},
      {L"SN\"FO-29\" DN435853062 UP145951275 DM\"USB\"", "FO-29|435.853.062|145.951.275|USB"},
      // Nothing to log.
      {L"", "-"},
      {L"SN\"\" DN29450000 UP145900000", "-"},
      {L"SNAO-91 AZ123.4 EL12.3 UP435250000", "-"},
      {L"SNAO-91 DN14596000O UP435250000", "-"},
      {L"SN\"AO-91 DN145960000 UP435250000", "-"},  // a quote never closed swallows the rest
      {L"** NO SATELLITE **", "-"},
  };
  for (const Row& row : rows) EXPECT_EQ(Show(ReadOrbitronText(row.text)), row.expected) << "text: " << test_support::Utf8(row.text);
}

// The values of either program make the line CSATmate's would, with an empty Rev, and that line
// reads back with its satellite, frequencies and mode.
TEST(TrackerTextTest, LineWithoutRevReadsBack) {
  const auto reading = ReadOrbitronText(L"SNAO_7 AZ1.0 EL2.0 DN29450000 UP145900000 DMUSB");
  ASSERT_TRUE(reading);
  const entry::FeedSnapshot snapshot{reading->satellite, reading->downlink, reading->uplink, L"", reading->mode};
  const LocalTime now{2024, 3, 5, 21, 5, 37};
  const auto line = entry::LogLine(entry::kDefaultTemplate, snapshot, L"JA1ABC 59 57", now, entry::LocaleFormats{});
  ASSERT_TRUE(line);
  EXPECT_EQ(*line, L"2024/03/05 21:05J JA1ABC 59 57 %Sat=AO 7/Rev:% 145/29 SSB Up=145.900/Down=29.450");
  const auto contact = contact::ReadContact(*line, entry::kDefaultTemplate, contact::LineFormats{}, now);
  ASSERT_TRUE(contact);
  EXPECT_EQ(contact->satellite_name.value_or(L"?"), L"AO 7");
  EXPECT_EQ(contact->rev.value_or(L"?"), L"");
  EXPECT_EQ(contact->mode.value_or(L"?"), L"SSB");
  EXPECT_TRUE(contact->uplink.has_value());
  EXPECT_TRUE(contact->downlink.has_value());
}

}  // namespace
}  // namespace zelmor::trackers

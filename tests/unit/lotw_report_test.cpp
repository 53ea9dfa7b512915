#include "confirmations/lotw_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/calendar.h"
#include "confirmations/adif_reader.h"
#include "lotw_answers.h"
#include "printable.h"

namespace zelmor::confirmations {
namespace {

using test_support::LotwAnswer;
using test_support::LotwQsl;
using test_support::Utf8;

std::string Text(const Confirmation& c) {
  std::string grids;
  for (const auto& g : c.grids) grids += (grids.empty() ? "" : ",") + Utf8(g);
  return Utf8(c.call) + " " + Utf8(c.satellite) + " " + Utf8(c.band) + " " + std::to_string(c.utc_minute) + " [" +
         grids + "] " + Utf8(c.station_call) + " " + Utf8(c.received);
}

std::string Texts(const std::vector<Confirmation>& cs) {
  std::string out;
  for (const auto& c : cs) out += Text(c) + "\n";
  return out;
}

LotwQsl Qsl(const std::string& call, const std::string& time = "123400") {
  LotwQsl q;
  q.call = call;
  q.time = time;
  return q;
}

const int64_t kAt1234 = MinuteNumber(2026, 12, 7, 12, 34);

TEST(ReadReportTest, EachFaultInItsOwnWords) {
  const std::string whole = LotwAnswer({Qsl("W1AW")});
  const struct {
    const char* what;
    std::string body;
    ReportFault fault;
  } rows[] = {
      {"a whole answer", whole, ReportFault::kNone},
      {"a whole answer with no records", LotwAnswer({}), ReportFault::kNone},
      {"LoTW's page for a wrong password",
       "<!DOCTYPE html>\n<html><head><title>Logbook of the World</title></head><body>\n"
       "<p class=\"warn\">Username/password incorrect</p>\n</body></html>\n",
       ReportFault::kWrongPassword},
      {"the words in any case", "Password Incorrect", ReportFault::kWrongPassword},
      {"a page with a tag that looks like a field", "<td><12:30></td> password incorrect", ReportFault::kWrongPassword},
      {"cut after the header", whole.substr(0, whole.find("<eoh>") + 6), ReportFault::kCutOff},
      {"cut after a record", whole.substr(0, whole.find("<APP_LoTW_EOF>")), ReportFault::kCutOff},
      {"cut inside a value", whole.substr(0, whole.find("W1AW") + 2), ReportFault::kCutOff},
      {"cut inside the last tag", whole.substr(0, whole.size() - 5), ReportFault::kCutOff},
      {"a server error's text", "500 Internal Server Error", ReportFault::kNotAdif},
      {"a proxy's page", "<html><body><h1>Service Unavailable</h1></body></html>", ReportFault::kNotAdif},
      {"nothing at all", "", ReportFault::kNotAdif},
      // In ADIF the words are some record's text, not LoTW refusing the password.
      {"the words inside ADIF",
       LotwAnswer({}).insert(0, "<COMMENT:18>password incorrect"), ReportFault::kNone},
  };
  for (const auto& row : rows) EXPECT_EQ(ReadReport(row.body).fault, row.fault) << row.what;
}

TEST(ReadReportTest, EveryCutOfAnAnswerIsAFault) {
  const std::string whole = LotwAnswer({Qsl("W1AW"), Qsl("K1ABC")});
  // Up to the first field's colon it is only LoTW's lines of text, which say nothing of ADIF.
  const size_t adif_from = whole.find("<PROGRAMID:") + 11;
  for (size_t size = 0; size < whole.find("<APP_LoTW_EOF>") + 14; ++size) {
    const ReportFault fault = ReadReport(whole.substr(0, size)).fault;
    EXPECT_EQ(fault, size < adif_from ? ReportFault::kNotAdif : ReportFault::kCutOff) << "cut at " << size;
  }
}

TEST(ReadReportTest, SatelliteRecordsBecomeConfirmations) {
  LotwQsl lower = Qsl("w1aw/p");
  lower.prop_mode = "sat";
  lower.band = "70CM";
  lower.grid = "fn31pr";
  lower.station = "ja1abc/1";
  LotwQsl terrestrial = Qsl("K1ABC");
  terrestrial.prop_mode = "";
  LotwQsl ionosphere = Qsl("K2ABC");
  ionosphere.prop_mode = "F2";
  LotwQsl line = Qsl("K3ABC", "0959");
  line.vucc = "FN31, fn32 ,FN41,XX99,FN4,,FN42ab";
  LotwQsl both = Qsl("K4ABC");
  both.grid = "FN31ab12";
  both.vucc = "FN31,FN41";
  LotwQsl bad_grid = Qsl("K5ABC");
  bad_grid.grid = "unknown";
  const ReportReading r = ReadReport(LotwAnswer({lower, terrestrial, ionosphere, line, both, bad_grid}));
  ASSERT_EQ(r.fault, ReportFault::kNone);
  EXPECT_EQ(r.records, 6u);
  EXPECT_EQ(r.last_qsl, "2026-12-08 10:00:00");
  const std::string at = std::to_string(kAt1234);
  EXPECT_EQ(Texts(r.satellite),
            "W1AW/P RS-44 70cm " + at + " [FN31] JA1ABC/1 20261208\n"
            "K3ABC RS-44 2m " + std::to_string(MinuteNumber(2026, 12, 7, 9, 59)) + " [FN31,FN32,FN41,FN42] JA1ABC 20261208\n"
            "K4ABC RS-44 2m " + at + " [FN31,FN41] JA1ABC 20261208\n"
            "K5ABC RS-44 2m " + at + " [] JA1ABC 20261208\n");
  ASSERT_EQ(r.satellite_adif.size(), r.satellite.size());
  EXPECT_EQ(ReadAdif(r.satellite_adif[1]).records.at(0).Value("CALL"), "K3ABC");
}

TEST(ReadReportTest, ARecordWithoutADateAndTimeIsCountedAndNotKept) {
  const struct {
    const char* date;
    const char* time;
    bool readable;
  } rows[] = {
      {"20261207", "1234", true},      {"20261207", "123459", true},    {"20240229", "000000", true},
      {"20250229", "1234", false},     {"20261332", "1234", false},     {"20261207", "2400", false},
      {"20261207", "1260", false},     {"20261207", "123460", false},   {"2026127", "1234", false},
      {"20261207", "12345", false},    {"2026-12-07", "1234", false},   {"20261207", "12:34", false},
      {"", "1234", false},             {"20261207", "", false},         {"00001207", "1234", false},
  };
  for (const auto& row : rows) {
    LotwQsl q = Qsl("W1AW", row.time);
    q.date = row.date;
    const ReportReading r = ReadReport(LotwAnswer({q}));
    EXPECT_EQ(r.satellite.size(), row.readable ? 1u : 0u) << row.date << " " << row.time;
    EXPECT_EQ(r.satellite_adif.size(), r.satellite.size());
    EXPECT_EQ(r.undated, row.readable ? 0u : 1u) << row.date << " " << row.time;
  }
}

Merged MergeAll(const std::string& kept, const std::vector<LotwQsl>& qsls, const std::string& last_qsl) {
  const ReportReading report = ReadReport(LotwAnswer(qsls, last_qsl));
  EXPECT_EQ(report.fault, ReportFault::kNone);
  return Merge(kept, report);
}

TEST(MergeTest, ASecondFetchAddsOnlyWhatIsNew) {
  const Merged first = MergeAll("", {Qsl("W1AW"), Qsl("K1ABC")}, "2026-12-08 10:00:00");
  EXPECT_EQ(first.added, 2u);

  // LoTW sends W1AW again when it is confirmed again: later, in other case, with four-digit time.
  LotwQsl again = Qsl("w1aw", "1234");
  again.satellite = "rs-44";
  again.band = "2m";
  again.received = "20261209";
  again.grid = "FN31";
  const Merged second = MergeAll(first.text, {again, Qsl("K2ABC")}, "2026-12-09 08:00:00");
  EXPECT_EQ(second.added, 1u);
  const KeptFile kept = ReadKept(second.text);
  EXPECT_EQ(kept.last_qsl, "2026-12-09 08:00:00");
  const std::string at = std::to_string(kAt1234);
  EXPECT_EQ(Texts(kept.confirmations), "W1AW RS-44 2m " + at + " [] JA1ABC 20261208\n"
                                       "K1ABC RS-44 2m " + at + " [] JA1ABC 20261208\n"
                                       "K2ABC RS-44 2m " + at + " [] JA1ABC 20261208\n");

  // The same answer again adds nothing and leaves the file as it was.
  const Merged third = MergeAll(second.text, {again, Qsl("K2ABC")}, "2026-12-09 08:00:00");
  EXPECT_EQ(third.added, 0u);
  EXPECT_EQ(third.text, second.text);

  // An answer without APP_LoTW_LASTQSL keeps the last one.
  const Merged fourth = MergeAll(second.text, {}, "");
  EXPECT_EQ(fourth.added, 0u);
  EXPECT_EQ(ReadKept(fourth.text).last_qsl, "2026-12-09 08:00:00");
}

TEST(MergeTest, EachPartOfTheIdentityMakesANewConfirmation) {
  const Merged kept = MergeAll("", {Qsl("W1AW")}, "x");
  LotwQsl rows[5] = {Qsl("W1AW"), Qsl("W1AW"), Qsl("W1AW"), Qsl("W1AW"), Qsl("W1AW")};
  rows[0].call = "W1AW/P";
  rows[1].satellite = "SO-50";
  rows[2].band = "70CM";
  rows[3].date = "20261208";
  rows[4].station = "JA1ABC/1";
  for (const LotwQsl& row : rows) EXPECT_EQ(MergeAll(kept.text, {row}, "x").added, 1u) << test_support::LotwRecord(row);
  EXPECT_EQ(MergeAll(kept.text, {Qsl("W1AW", "123401")}, "x").added, 1u) << "another second";
  // The same contact twice in one answer is kept once.
  EXPECT_EQ(MergeAll("", {Qsl("K1ABC"), Qsl("K1ABC")}, "x").added, 1u);
}

TEST(MergeTest, TheKeptFileReadsBackExactly) {
  LotwQsl japanese = Qsl("JA1XYZ");
  japanese.satellite = "ふじ-3 (FO-29)";
  japanese.vucc = "PM95,PM96";
  LotwQsl other = Qsl("W1AW");
  other.satellite = "CAS-4A";
  other.grid = "FN31pr";
  const ReportReading report = ReadReport(LotwAnswer({japanese, other}, "2026-12-08 10:00:00"));
  const Merged merged = Merge("", report);
  const KeptFile kept = ReadKept(merged.text);
  EXPECT_EQ(Texts(kept.confirmations), Texts(report.satellite));
  EXPECT_EQ(kept.last_qsl, report.last_qsl);
  // Every field of every record, as LoTW sent it.
  const AdifText sent = ReadAdif(LotwAnswer({japanese, other}));
  const AdifText back = ReadAdif(merged.text);
  ASSERT_EQ(back.records.size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    ASSERT_EQ(back.records[i].fields.size(), sent.records[i].fields.size());
    for (size_t f = 0; f < sent.records[i].fields.size(); ++f) {
      EXPECT_EQ(back.records[i].fields[f].name, sent.records[i].fields[f].name);
      EXPECT_EQ(back.records[i].fields[f].value, sent.records[i].fields[f].value);
    }
  }
  EXPECT_EQ(back.header.at(0).value, "Zelmor");
  // Merged into itself, the file stays as it is.
  EXPECT_EQ(Merge(merged.text, report).text, merged.text);
}

// The timing's answer is worth its time only when every one of its confirmations is one.
TEST(ReadReportTest, ManyGeneratedConfirmationsAreAllKept) {
  const ReportReading report = ReadReport(test_support::GeneratedLotwAnswer(3000));
  ASSERT_EQ(report.fault, ReportFault::kNone);
  EXPECT_EQ(report.undated, 0u);
  EXPECT_EQ(Merge("", report).added, 3000u);
  for (const Confirmation& c : report.satellite) ASSERT_FALSE(c.grids.empty()) << Text(c);
}

TEST(ReadKeptTest, NothingKeptReadsAsNothing) {
  for (const char* text : {"", "\r\n", "not ADIF at all"}) {
    const KeptFile kept = ReadKept(text);
    EXPECT_TRUE(kept.confirmations.empty()) << text;
    EXPECT_TRUE(kept.last_qsl.empty()) << text;
  }
}

}  // namespace
}  // namespace zelmor::confirmations

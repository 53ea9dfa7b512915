#include "confirmations/adif_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "adif/adif_export.h"
#include "contact/contact.h"
#include "entry/log_format.h"

namespace zelmor::confirmations {
namespace {

std::string FieldsText(const std::vector<AdifField>& fields) {
  std::string text;
  for (const AdifField& f : fields) text += " " + f.name + (f.type.empty() ? "" : ":" + f.type) + "=" + f.value;
  return text;
}

// What a text reads as, in one line: "H[header text]" and the header's fields, each record after
// "|", the fields after the last <EOR> after "~", and "!cut" for a cut-off field.
std::string Reading(const std::string& text) {
  const AdifText adif = ReadAdif(text);
  std::string out;
  if (adif.has_header) out += "H[" + adif.header_text + "]" + FieldsText(adif.header);
  for (const AdifRecord& r : adif.records) out += " |" + FieldsText(r.fields);
  if (!adif.unclosed.empty()) out += " ~" + FieldsText(adif.unclosed);
  if (adif.cut_off) out += " !cut";
  return out;
}

TEST(AdifReaderTest, ReadsFieldsAsWritersWriteThem) {
  const struct {
    const char* what;
    std::string text, reading;
  } rows[] = {
      {"lengths are bytes of UTF-8: 日本語 is 9", "<COMMENT:9>日本語<CALL:4>JA1A<EOR>", " | COMMENT=日本語 CALL=JA1A"},
      {"a value may hold '<' and markers", "<COMMENT:10><EOR><x:1><CALL:1>A<EOR>", " | COMMENT=<EOR><x:1> CALL=A"},
      {"names and markers in any case", "<call:4>JA1A<Band:2>2m<eor><Call:1>B<EoR>", " | CALL=JA1A BAND=2m | CALL=B"},
      {"types kept, upper case", "<QSO_DATE:8:d>20261207<CALL:1:S>A<EOR>", " | QSO_DATE:D=20261207 CALL:S=A"},
      {"text between fields", "<CALL:4>JA1A // a remark\r\n  x>y < z <BAND:2>2m junk<EOR>\r\n", " | CALL=JA1A BAND=2m"},
      {"a '<' right before a tag", "<<CALL:1>A<EOR>", " | CALL=A"},
      {"no header: the file begins with '<'", "<CALL:1>A<EOR><CALL:1>B<EOR>", " | CALL=A | CALL=B"},
      {"header only", "Made by hand\r\n<ADIF_VER:5>3.1.4\r\n<EOH>\r\n", "H[Made by hand\r\n] ADIF_VER=3.1.4"},
      {"an empty header", "<EOH><CALL:1>A<EOR>", "H[] | CALL=A"},
      {"a marker with a length is a marker", "<EOH:0><CALL:1>A<EOR:2>xx<CALL:1>B<EOR>", "H[] | CALL=A | CALL=B"},
      {"a second <EOH> is no header", "<CALL:1>A<EOR><EOH><CALL:1>B<EOR>", " | CALL=A | CALL=B"},
      {"empty records are passed over", "<EOR><EOR><CALL:1>A<EOR><EOR>", " | CALL=A"},
      {"a tag without length", "<CALL:1>A<EOR>\n<APP_LoTW_EOF>\n", " | CALL=A ~ APP_LOTW_EOF="},
      {"a record without <EOR> is not closed", "<CALL:1>A<EOR><CALL:1>B", " | CALL=A ~ CALL=B"},
      {"a zero length", "<CALL:0><BAND:2>2m<EOR>", " | CALL= BAND=2m"},
      {"no tags", "nothing here", ""},
      {"an empty text", "", ""},
  };
  for (const auto& row : rows) EXPECT_EQ(Reading(row.text), row.reading) << row.what;
}

TEST(AdifReaderTest, JunkIsPassedOverAndACutOffFieldIsSaidSo) {
  const struct {
    const char* what;
    std::string text, reading;
  } rows[] = {
      {"a length past the end", "<CALL:1>A<EOR><CALL:10>JA1", " | CALL=A !cut"},
      {"one byte short", "<CALL:4>JA1", " !cut"},
      {"a length no integer holds", "<CALL:1>A<EOR><CALL:999999999999999999999999999>x", " | CALL=A !cut"},
      {"a tag cut in its name", "<CALL:1>A<EOR><CA", " | CALL=A !cut"},
      {"a tag cut in its length", "<CALL:1>A<EOR><CALL:1", " | CALL=A !cut"},
      {"a tag cut in its type", "<CALL:1>A<EOR><CALL:1:S", " | CALL=A !cut"},
      {"a length that is no number", "<CALL:x>A<CALL:1>B<EOR>", " | CALL=B"},
      {"no length after the colon", "<CALL:>A<CALL:1>B<EOR>", " | CALL=B"},
      {"an empty name", "<:1>A<>B<CALL:1>C<EOR>", " | CALL=C"},
      {"a blank in the tag", "<CALL :1>A< CALL:1>B<CALL:1>C<EOR>", " | CALL=C"},
      {"a type that is no letter", "<CALL:1:7>A<CALL:1>B<EOR>", " | CALL=B"},
      {"a NUL byte in a value", std::string("<CALL:3>A\0B<EOR>", 16), std::string(" | CALL=A\0B", 11)},
      {"bytes that are no UTF-8", "<CALL:2>\xff\xfe<EOR>", " | CALL=\xff\xfe"},
  };
  for (const auto& row : rows) EXPECT_EQ(Reading(row.text), row.reading) << row.what;
}

TEST(AdifReaderTest, WhatItFormatsReadsBackTheSame) {
  AdifRecord record{{{"CALL", "", "JA1ABC"}, {"QSO_DATE", "D", "20261207"}, {"COMMENT", "", "移動 <EOR> 運用"},
                     {"SAT_NAME", "", "ふじ-3"}, {"NOTES", "", ""}}};
  const AdifText back = ReadAdif(FormatAdifRecord(record) + FormatAdifRecord(record));
  ASSERT_EQ(back.records.size(), 2u);
  EXPECT_EQ(FieldsText(back.records[1].fields), FieldsText(record.fields));
  EXPECT_FALSE(back.cut_off);
}

// Zelmor's own export read back: every field of every record as the export made it.
TEST(AdifReaderTest, ZelmorsExportReadsBack) {
  const FixedOffsetZone japan(540);
  const contact::SatelliteNames names;
  const LocalTime now{2026, 12, 8, 12, 0, 0};
  const station::Station home{L"JA1ABC/1", {L"PM95", L"PM96"}, L"10", L"100101", L"東京"};
  const std::vector<std::wstring> lines = {
      L"2026/12/07 08:30J ja1xyz 59 5nn pm95SQ QRP 移動 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640",
      L"2026/12/07 09:00J JA2XYZ -10 -12 %Sat=QO100/Rev:0% 2400/10489 FT4 Up=2400.250/Down=10489.750",
      L"2026/01/01 00:10J  JA3XYZ 59 59 ",
  };
  adif::ExportSettings settings;
  settings.template_text = entry::kDefaultTemplate;
  settings.zone = &japan;
  settings.names = &names;
  settings.now_utc = CivilTime{2026, 12, 8, 3, 0, 0};
  settings.now = now;
  settings.program_version = "1.0.0";
  settings.station = home;
  std::wstring pane;
  for (const auto& line : lines) pane += line + L"\r\n";
  const adif::ExportResult exported = adif::ExportLog(pane, settings);

  const AdifText back = ReadAdif(exported.adif);
  EXPECT_TRUE(back.has_header);
  EXPECT_FALSE(back.cut_off);
  EXPECT_TRUE(back.unclosed.empty());
  ASSERT_EQ(back.records.size(), lines.size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto contact = contact::ReadContact(lines[i], entry::kDefaultTemplate, contact::LineFormats{}, now);
    ASSERT_TRUE(contact);
    std::vector<std::pair<std::string, std::string>> expected, read;
    for (const adif::Field& f : adif::ContactRecord(*contact, &home, japan, names).fields) expected.emplace_back(f.name, f.data);
    for (const AdifField& f : back.records[i].fields) read.emplace_back(f.name, f.value);
    EXPECT_EQ(read, expected) << "line " << i;
  }
}

}  // namespace
}  // namespace zelmor::confirmations

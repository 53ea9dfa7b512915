// LoTW's answer and the kept file, as any bytes: the ADIF reader, ReadReport, ReadKept and Merge.
//
// The whole input is read as ADIF: every field stays inside the input, and the records written
// again read back field for field. The whole input is read as LoTW's answer: an answer without a
// fault gives each satellite confirmation with its record, squares that are Maidenhead squares,
// upper-case calls and lower-case bands. Then the input's first field (up to the byte 0xFF) is
// taken for the kept file and its second for an answer (a whole answer of two confirmations when
// there is none): the merged file reads back with what was kept and what was added, and merging
// the same answer into it again changes nothing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "confirmations/adif_reader.h"
#include "confirmations/lotw_report.h"
#include "entry/log_format.h"
#include "fuzz_input.h"

namespace zelmor::fuzz {
namespace {

using confirmations::AdifField;
using confirmations::AdifRecord;
using confirmations::AdifText;

constexpr char kAnswer[] =
    "ARRL Logbook of the World Status Report\n<PROGRAMID:4>LoTW\n<APP_LoTW_LASTQSL:19>2026-12-08 10:00:00\n<eoh>\n"
    "<STATION_CALLSIGN:6>JA1ABC\n<CALL:4>W1AW\n<BAND:2>2M\n<PROP_MODE:3>SAT\n<SAT_NAME:5>RS-44\n"
    "<QSO_DATE:8>20261207\n<TIME_ON:6>123400\n<QSLRDATE:8>20261208\n<GRIDSQUARE:4>FN31\n<eor>\n"
    "<STATION_CALLSIGN:6>JA1ABC\n<CALL:5>JA1XY\n<BAND:4>70CM\n<PROP_MODE:3>SAT\n<SAT_NAME:5>SO-50\n"
    "<QSO_DATE:8>20261207\n<TIME_ON:4>1300\n<VUCC_GRIDS:9>PM95,PM96\n<eor>\n<APP_LoTW_EOF>\n";

std::string Shown(std::string_view bytes) { return Show(FromUtf8(bytes.substr(0, 400))); }

bool SameFields(const std::vector<AdifField>& a, const std::vector<AdifField>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].value != b[i].value) return false;
  }
  return true;
}

void CheckReader(std::string_view text) {
  const AdifText adif = confirmations::ReadAdif(text);
  size_t bytes = adif.header_text.size();
  const auto count = [&bytes, &text](const std::vector<AdifField>& fields) {
    for (const AdifField& f : fields) {
      FUZZ_CHECK(!f.name.empty(), "a field without a name in " + Shown(text));
      for (char c : f.name) FUZZ_CHECK(!IsAsciiLower(c), "a name not in upper case: " + f.name);
      bytes += f.value.size();
    }
  };
  count(adif.header);
  for (const AdifRecord& r : adif.records) {
    FUZZ_CHECK(!r.fields.empty(), "an empty record from " + Shown(text));
    count(r.fields);
  }
  count(adif.unclosed);
  FUZZ_CHECK(bytes <= text.size(), "more bytes read than given: " + Shown(text));

  std::string again;
  for (const AdifRecord& r : adif.records) again += confirmations::FormatAdifRecord(r);
  const AdifText back = confirmations::ReadAdif(again);
  FUZZ_CHECK(back.records.size() == adif.records.size() && !back.cut_off && back.unclosed.empty(),
             "records written again read back otherwise: " + Shown(text));
  for (size_t i = 0; i < back.records.size(); ++i) {
    FUZZ_CHECK(SameFields(back.records[i].fields, adif.records[i].fields),
               "record " + std::to_string(i) + " written again differs: " + Shown(text));
  }
}

void CheckConfirmation(const confirmations::Confirmation& c) {
  for (wchar_t ch : c.call) FUZZ_CHECK(!IsAsciiLower(ch), "a call not in upper case: " + Show(c.call));
  for (wchar_t ch : c.station_call) FUZZ_CHECK(!IsAsciiLower(ch), "an own call not in upper case: " + Show(c.station_call));
  for (wchar_t ch : c.band) FUZZ_CHECK(!IsAsciiUpper(ch), "a band not in lower case: " + Show(c.band));
  for (const std::wstring& g : c.grids) {
    FUZZ_CHECK(g.size() == 4 && entry::IsGridLocator(g) && AsciiUpper(g) == g, "no square: " + Show(g));
  }
}

void CheckReport(std::string_view body) {
  const confirmations::ReportReading r = confirmations::ReadReport(body);
  if (r.fault != confirmations::ReportFault::kNone) {
    FUZZ_CHECK(r.satellite.empty() && r.satellite_adif.empty() && r.records == 0,
               "a faulty answer with confirmations: " + Shown(body));
    return;
  }
  FUZZ_CHECK(r.satellite.size() == r.satellite_adif.size(), "confirmations without their records");
  FUZZ_CHECK(r.satellite.size() + r.undated <= r.records, "more satellite records than records");
  for (const auto& c : r.satellite) CheckConfirmation(c);
}

void CheckMerge(std::string_view kept_text, std::string_view body) {
  const confirmations::ReportReading report = confirmations::ReadReport(body);
  const confirmations::Merged merged = confirmations::Merge(kept_text, report);
  if (report.fault != confirmations::ReportFault::kNone) {
    FUZZ_CHECK(merged.text == kept_text && merged.added == 0, "a faulty answer changed the kept file");
    return;
  }
  FUZZ_CHECK(merged.added <= report.satellite.size(), "more added than the answer holds");
  const confirmations::KeptFile before = confirmations::ReadKept(kept_text);
  const confirmations::KeptFile after = confirmations::ReadKept(merged.text);
  FUZZ_CHECK(after.confirmations.size() == before.confirmations.size() + merged.added,
             "kept " + std::to_string(before.confirmations.size()) + " + added " + std::to_string(merged.added) +
                 " but read back " + std::to_string(after.confirmations.size()) + " from " + Shown(kept_text));
  FUZZ_CHECK(after.last_qsl == (report.last_qsl.empty() ? before.last_qsl : report.last_qsl),
             "APP_LoTW_LASTQSL not kept: " + Shown(after.last_qsl));
  for (const auto& c : after.confirmations) CheckConfirmation(c);
  const confirmations::Merged again = confirmations::Merge(merged.text, report);
  FUZZ_CHECK(again.added == 0 && again.text == merged.text, "merging the same answer again changed the file");
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  fuzz::CheckReader(all);
  fuzz::CheckReport(all);
  const fuzz::Input in(data, size);
  fuzz::CheckMerge(in.Bytes(0), in.Has(1) ? in.Bytes(1) : std::string_view(fuzz::kAnswer));
  return 0;
}

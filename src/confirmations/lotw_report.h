#pragma once
// LoTW's report of confirmations (lotwreport.adi) and the file that keeps them beside the logs
// ("Zelmor-lotw-qsl.adi"): what an answer says, and the kept file with an answer merged into it.
// Both are ADIF; only satellite contacts (PROP_MODE SAT) are kept.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "confirmations/confirmation.h"

namespace zelmor::confirmations {

inline constexpr wchar_t kKeptFileName[] = L"Zelmor-lotw-qsl.adi";

enum class ReportFault {
  kNone,
  kWrongPassword,  // LoTW's HTML page saying "password incorrect"
  kCutOff,         // ADIF without APP_LoTW_EOF: the connection ended early
  kNotAdif,        // anything else (a proxy's page, a server error's text)
};

struct ReportReading {
  ReportFault fault = ReportFault::kNone;
  size_t records = 0;                        // every record of the answer
  std::vector<Confirmation> satellite;       // the records with PROP_MODE SAT
  std::vector<std::string> satellite_adif;   // the same records' fields as LoTW sent them, for the kept file
  size_t undated = 0;                        // satellite records without a date and time: not kept
  std::string last_qsl;                      // APP_LoTW_LASTQSL: the next fetch's qso_qslsince
};

// `body` is the answer's bytes (UTF-8). A text without <EOH> and records that says "password
// incorrect" (any case) is the wrong password; ADIF (an <EOH>, a record or a tag with a length)
// that does not end with APP_LoTW_EOF is cut off; anything else is kNotAdif. A satellite record
// without a readable QSO_DATE (YYYYMMDD) and TIME_ON (HHMM or HHMMSS) confirms no contact that
// could be found by its time: it is counted in `undated` and not kept.
ReportReading ReadReport(std::string_view body);

struct KeptFile {
  std::vector<Confirmation> confirmations;
  std::string last_qsl;  // empty before the first fetch
};

// The kept file's bytes; an empty or missing file reads as nothing kept. Its satellite records
// read as a report's do.
KeptFile ReadKept(std::string_view text);

struct Merged {
  std::string text;  // the kept file's new bytes, to be written atomically
  size_t added = 0;  // confirmations that were not kept before
};

// The kept file with the report's satellite confirmations that are new to it, and the report's
// APP_LoTW_LASTQSL (the kept one when the report has none). A confirmation is new unless one with
// the same CALL, SAT_NAME, BAND, QSO_DATE, TIME_ON and STATION_CALLSIGN is kept (case aside): LoTW
// sends a contact again when it is confirmed again. `report` must have no fault; one with a fault
// leaves the kept file as it was.
Merged Merge(std::string_view kept_text, const ReportReading& report);

}  // namespace zelmor::confirmations

#pragma once
// LoTW's report (lotwreport.adi) as LoTW writes it: its header of free text and fields, a record's
// fields one a line with LoTW's own APP_LoTW_ fields and their "//" remarks, <eor>, <APP_LoTW_EOF>.
// For the reader's rows, the stand-in's answers and the timing of many confirmations.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace test_support {

struct LotwQsl {
  std::string call = "W1AW";
  std::string satellite = "RS-44";
  std::string band = "2M";
  std::string date = "20261207";  // QSO_DATE
  std::string time = "123400";    // TIME_ON
  std::string station = "JA1ABC";  // STATION_CALLSIGN
  std::string grid;               // GRIDSQUARE, left out when empty
  std::string vucc;               // VUCC_GRIDS, left out when empty
  std::string prop_mode = "SAT";  // left out when empty
  std::string received = "20261208";  // QSLRDATE
};

// "<NAME:length>value" with the length in bytes.
inline std::string LotwField(const std::string& name, const std::string& value) {
  return "<" + name + ":" + std::to_string(value.size()) + ">" + value;
}

inline std::string LotwRecord(const LotwQsl& q) {
  std::string r;
  const auto add = [&r](const std::string& name, const std::string& value, const char* remark = "") {
    if (!value.empty()) r += LotwField(name, value) + remark + "\n";
  };
  add("APP_LoTW_OWNCALL", q.station);
  add("STATION_CALLSIGN", q.station);
  add("MY_GRIDSQUARE", "PM95VR");
  add("CALL", q.call);
  add("BAND", q.band);
  add("MODE", "SSB");
  add("APP_LoTW_MODEGROUP", "PHONE");
  add("PROP_MODE", q.prop_mode);
  add("SAT_NAME", q.satellite);
  add("QSO_DATE", q.date);
  add("APP_LoTW_RXQSO", "2026-12-07 13:00:00", " // QSO record inserted/modified at LoTW");
  add("TIME_ON", q.time);
  add("QSL_RCVD", "Y");
  add("QSLRDATE", q.received);
  add("APP_LoTW_RXQSL", "2026-12-08 10:00:00", " // QSL record matched/modified at LoTW");
  add("GRIDSQUARE", q.grid);
  add("VUCC_GRIDS", q.vucc);
  return r + "<eor>\n\n";
}

// A whole answer; `last_qsl` empty leaves APP_LoTW_LASTQSL out.
inline std::string LotwAnswer(const std::vector<LotwQsl>& qsls, const std::string& last_qsl = "2026-12-08 10:00:00") {
  std::string a =
      "ARRL Logbook of the World Status Report\nGenerated at 2026-12-08 10:05:12\nfor ja1abc\nQuery:\n"
      "    OWNCALL: JA1ABC\nQSL ONLY: YES\n   QSLSINCE: 2026-12-01 00:00:00\n\n" +
      LotwField("PROGRAMID", "LoTW") + "\n";
  if (!last_qsl.empty()) a += LotwField("APP_LoTW_LASTQSL", last_qsl) + "\n\n";
  a += LotwField("APP_LoTW_NUMREC", std::to_string(qsls.size())) + "\n\n<eoh>\n\n";
  for (const LotwQsl& q : qsls) a += LotwRecord(q);
  return a + "<APP_LoTW_EOF>\n";
}

// The i-th of many confirmations, all different: calls, satellites, bands, grids and times (one
// every 7 minutes from 2025-01-01) vary with i.
inline LotwQsl GeneratedQsl(size_t i) {
  static const char* const kSatellites[] = {"RS-44", "SO-50", "AO-91", "ISS", "IO-117", "CAS-4A"};
  static const char* const kBands[] = {"2M", "70CM", "2M", "2M", "70CM", "70CM"};
  LotwQsl q;
  char text[32];
  const auto n = [](size_t value) { return static_cast<unsigned>(value); };  // %zu is not every C library's
  std::snprintf(text, sizeof text, "JA%u%c%c%c", n(i % 10), 'A' + static_cast<int>(i / 10 % 26),
                'A' + static_cast<int>(i / 260 % 26), 'A' + static_cast<int>(i / 6760 % 26));
  q.call = text;
  q.satellite = kSatellites[i % 6];
  q.band = kBands[i % 6];
  const size_t minute = i * 7;
  const size_t day = minute / 1440 % 365;  // a day of 2025, round again after a year
  static const int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int month = 0;
  size_t d = day;
  while (d >= static_cast<size_t>(kMonthDays[month])) d -= kMonthDays[month++];
  std::snprintf(text, sizeof text, "2025%02d%02u", month + 1, n(d + 1));
  q.date = text;
  std::snprintf(text, sizeof text, "%02u%02u00", n(minute % 1440 / 60), n(minute % 60));
  q.time = text;
  const auto square = [&text, &n, i](size_t digits) {
    std::snprintf(text, sizeof text, "%c%c%02u", 'A' + static_cast<int>(i % 18), 'A' + static_cast<int>(i / 18 % 18),
                  n(digits % 100));
    return std::string(text);
  };
  if (i % 5 == 4) q.vucc = square(i / 324) + "," + square(i / 324 + 1);  // a grid line of two
  else q.grid = square(i / 324);
  return q;
}

inline std::string GeneratedLotwAnswer(size_t count) {
  std::vector<LotwQsl> qsls;
  qsls.reserve(count);
  for (size_t i = 0; i < count; ++i) qsls.push_back(GeneratedQsl(i));
  return LotwAnswer(qsls);
}

}  // namespace test_support

// Writes the ADIF export of a log text (UTF-8) as Zelmor would write it on a Japanese computer at
// a fixed moment, and prints the summary: scripts/adif-check.sh reads the file back with another
// program's ADIF reader.
//
//   zelmor_adif_sample <log.txt> <out.adi>

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "adif/adif_export.h"
#include "entry/log_format.h"
#include "printable.h"

int main(int argc, char** argv) {
  using namespace zelmor;
  using namespace zelmor::adif;
  if (argc != 3) {
    std::cerr << "usage: zelmor_adif_sample <log.txt> <out.adi>\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!in.good() && !in.eof()) return 1;

  const FixedOffsetZone japan(540);
  const zelmor::contact::SatelliteNames names;
  ExportSettings settings;
  settings.template_text = zelmor::entry::kDefaultTemplate;
  settings.zone = &japan;
  settings.names = &names;
  settings.now_utc = CivilTime{2026, 12, 8, 0, 10, 0};
  settings.now = zelmor::LocalTime{2026, 12, 8, 9, 10, 0};
  settings.program_version = "1.0.0";
  const ExportResult result = ExportLog(test_support::FromUtf8(log), settings);

  std::ofstream out(argv[2], std::ios::binary);
  out << result.adif;
  if (!out.flush()) return 1;
  const ExportSummary& s = result.summary;
  std::printf("exported %zu, without satellite data %zu, unknown satellite names %zu, unknown modes %zu, "
              "text replaced %zu, not exported %zu\n",
              s.exported, s.without_satellite_data, s.unknown_satellite_names, s.unknown_modes, s.text_replaced,
              s.skipped.size());
  for (const auto& skipped : s.skipped) std::printf("not exported: line %zu\n", skipped.line_number);
  return 0;
}

#pragma once
// Facts from the configuration of LoTW's signing tool (TQSL): the ADIF mode names (its satellites
// are in contact/lotw_satellites.h, its bands in contact/bands.h). src/adif/lotw_tables.cpp is
// generated from it by scripts/gen-lotw-tables.py; its first lines say which trustedqsl version it
// came from.

#include "base/table.h"

namespace zelmor::adif {

// A mode as written (in a log or by a tracking program) and ADIF's MODE and SUBMODE for it.
struct ModeName {
  const char* text;     // "USB", "FT4", "FM"
  const char* mode;     // "SSB", "MFSK", "FM"
  const char* submode;  // "USB", "FT4", ""
};

extern const char kTqslVersion[];
extern const Table<ModeName> kModeNames;

}  // namespace zelmor::adif

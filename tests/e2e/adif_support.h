#pragma once
// Reading back an ADIF file Zelmor wrote: its records, field by field.

#include <map>
#include <string>
#include <vector>

namespace e2e {

// A record's fields by their names in capitals.
using AdifRecord = std::map<std::string, std::string>;

// The records after the header. A field is "<NAME:length>".
std::vector<AdifRecord> AdifRecords(const std::string& adif);

}  // namespace e2e

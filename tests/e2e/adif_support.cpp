#include "adif_support.h"

#include <cctype>

namespace e2e {

std::vector<AdifRecord> AdifRecords(const std::string& adif) {
  std::vector<AdifRecord> records;
  size_t at = adif.find("<EOH>");
  if (at == std::string::npos) return records;
  AdifRecord record;
  for (at = adif.find('<', at + 5); at != std::string::npos; at = adif.find('<', at)) {
    const size_t close = adif.find('>', at);
    if (close == std::string::npos) break;
    std::string tag = adif.substr(at + 1, close - at - 1);
    for (char& c : tag) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    at = close + 1;
    if (tag == "EOR") {
      records.push_back(record);
      record.clear();
      continue;
    }
    const size_t colon = tag.find(':');
    if (colon == std::string::npos) continue;
    const size_t length = std::stoul(tag.substr(colon + 1));
    record[tag.substr(0, colon)] = adif.substr(at, length);
    at += length;
  }
  return records;
}

}  // namespace e2e

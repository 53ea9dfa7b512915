// The native build has no resources: texts are read from the resource script itself, so the
// tests see exactly what the operator will.

#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <string>

#include "base/texts.h"

namespace zelmor {
namespace {

std::wstring Widen(const std::string& utf8) {
  std::wstring out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned code = 0;
    int extra = 0;
    if (c < 0x80) code = c;
    else if ((c >> 5) == 6) { code = c & 0x1F; extra = 1; }
    else if ((c >> 4) == 14) { code = c & 0x0F; extra = 2; }
    else { code = c & 0x07; extra = 3; }
    ++i;
    for (int k = 0; k < extra && i < utf8.size(); ++k, ++i) code = (code << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
    if (code >= 0x10000 && sizeof(wchar_t) == 2) {
      code -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (code >> 10));
      out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<wchar_t>(code);
    }
  }
  return out;
}

std::string Unescape(const std::string& quoted) {
  std::string out;
  for (size_t i = 0; i < quoted.size(); ++i) {
    if (quoted[i] == '\\' && i + 1 < quoted.size()) {
      const char e = quoted[++i];
      out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
    } else if (quoted[i] == '"' && i + 1 < quoted.size() && quoted[i + 1] == '"') {
      out += '"';
      ++i;
    } else {
      out += quoted[i];
    }
  }
  return out;
}

const std::map<int, std::wstring>& Table() {
  static const std::map<int, std::wstring> table = [] {
    std::map<std::string, int> ids;
    std::ifstream header(ZELMOR_RESOURCE_H);
    const std::regex define(R"(^#define\s+(\w+)\s+(\d+))");
    for (std::string line; std::getline(header, line);) {
      std::smatch m;
      if (std::regex_search(line, m, define)) ids[m[1]] = std::stoi(m[2]);
    }
    std::map<int, std::wstring> texts;
    std::ifstream script(ZELMOR_RC_PATH);
    const std::regex entry(R"re(^\s*(IDS_\w+)\s+"((?:[^"]|"")*)"\s*$)re");
    for (std::string line; std::getline(script, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::smatch m;
      if (std::regex_match(line, m, entry) && ids.count(m[1])) texts[ids[m[1]]] = Widen(Unescape(m[2]));
    }
    return texts;
  }();
  return table;
}

}  // namespace

std::wstring LoadText(int id) {
  auto found = Table().find(id);
  return found == Table().end() ? std::wstring() : found->second;
}

}  // namespace zelmor

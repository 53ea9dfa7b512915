#include "tqsl_sim_win.h"

#include <windows.h>

#include "printable.h"
#include "processes_win.h"
#include "windows_win.h"

namespace test_support {

TqslSim::TqslSim() {
  ready_ = CopyFileW((BuildFolder() + L"\\tqsl-sim.exe").c_str(), exe().c_str(), FALSE) != FALSE;
}

void TqslSim::Set(const wchar_t* key, const std::wstring& value) const {
  WritePrivateProfileStringW(L"tqsl-sim", key, value.c_str(), folder_.File(L"tqsl-sim.ini").c_str());
}

void TqslSim::Hold() const {
  DeleteFileW(File(L"released").c_str());
  Set(L"hold_file", File(L"released"));
}

void TqslSim::Release() const { WriteBytes(File(L"released"), ""); }

std::vector<TqslSimRun> TqslSim::Journal() const {
  std::vector<TqslSimRun> runs;
  const std::string bytes = ReadBytes(folder_.File(L"tqsl-sim-journal.txt"));
  size_t at = 0;
  while (at < bytes.size()) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(at, end - at);
    at = end + 1;
    const size_t space = line.find(' ');
    const std::string key = line.substr(0, space);
    if (key == "run") runs.emplace_back();
    if (!runs.empty()) runs.back().emplace(key, space == std::string::npos ? L"" : FromUtf8(line.substr(space + 1)));
  }
  return runs;
}

std::vector<std::wstring> TqslSim::Arguments(const TqslSimRun& run) {
  std::vector<std::wstring> args;
  auto [first, last] = run.equal_range("arg");
  for (auto it = first; it != last; ++it) args.push_back(it->second);
  return args;
}

bool TqslSim::WaitRuns(size_t runs, bool ended, unsigned long ms) const {
  return WaitUntil(
      [&] {
        const auto journal = Journal();
        return journal.size() >= runs && (!ended || journal[runs - 1].count("exit") > 0);
      },
      ms);
}

}  // namespace test_support

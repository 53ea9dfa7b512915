#pragma once
// tqsl-sim.exe (tools/tqsl_sim) as the tests use it: copied as tqsl.exe into a folder of its own,
// which plays TQSL's install folder; told how to end through tqsl-sim.ini; read back through its
// journal.

#include <map>
#include <string>
#include <vector>

#include "files_win.h"

namespace test_support {

// One run as the journal records it: each key ("run", "command_line", "arg", "file", "copy",
// "exit") with every value it was given, in order.
using TqslSimRun = std::multimap<std::string, std::wstring>;

class TqslSim {
 public:
  // Copies the simulator; ready() tells whether that worked.
  TqslSim();
  bool ready() const { return ready_; }
  // The copy, "...\tqsl.exe".
  std::wstring exe() const { return folder_.File(L"tqsl.exe"); }
  const std::wstring& folder() const { return folder_.path(); }
  std::wstring File(const std::wstring& name) const { return folder_.File(name); }

  // A key of tqsl-sim.ini's section [tqsl-sim]: exit, status, sleep_ms, hold_file, passphrase,
  // retry_exit, retry_status.
  void Set(const wchar_t* key, const std::wstring& value) const;
  // Runs from now on wait before their end until Release (a slow network, ended by the test).
  void Hold() const;
  void Release() const;
  // Every run so far, in order.
  std::vector<TqslSimRun> Journal() const;
  // The arguments of a run, as CommandLineToArgvW split them.
  static std::vector<std::wstring> Arguments(const TqslSimRun& run);
  // True once `runs` runs have begun (and, with `ended`, written their exit code).
  bool WaitRuns(size_t runs, bool ended, unsigned long ms = 20000) const;

 private:
  TempFolder folder_;
  bool ready_ = false;
};

}  // namespace test_support

#pragma once
// lotw-sim.exe (tools/lotw_sim) as the tests use it: started in a folder of its own on a free port
// of 127.0.0.1, with the answer chosen on its command line, and read back through its journal of
// requests.

#include <map>
#include <string>
#include <vector>

#include "files_win.h"
#include "processes_win.h"

namespace test_support {

class LotwSim {
 public:
  // The login and password it accepts.
  static constexpr wchar_t kLogin[] = L"JA1ABC";
  static constexpr wchar_t kPassword[] = L"lotw pass";

  struct Setup {
    std::wstring mode = L"normal";  // normal, wrong-password, cut-off, slow, server-error
    bool hold = false;              // each answer waits for Release
    bool own_records = false;       // the records of records_file() rather than the built-in set
  };
  explicit LotwSim(const Setup& setup);
  // Listening: its port is known.
  bool ready() const { return port_ != 0; }
  // The address for [LoTW] ReportURL=.
  std::wstring url() const;
  // The file of records it serves with own_records (ADIF, read again at each request).
  std::wstring records_file() const { return folder_.File(L"records.adi"); }
  // Answers held from now on go out.
  void Release() const;
  // The query of every request so far, decoded, in order; "path" holds the path.
  std::vector<std::map<std::string, std::string>> Requests() const;
  bool WaitRequests(size_t requests, unsigned long ms = 20000) const;

 private:
  TempFolder folder_;
  Child process_;
  int port_ = 0;
};

}  // namespace test_support

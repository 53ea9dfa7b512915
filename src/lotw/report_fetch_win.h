#pragma once
// LoTW's report asked for with WinHTTP on a thread of its own, one request at a time, its end
// posted to the main window: the window's thread never waits for the network.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "lotw/lotw_fetch.h"

namespace zelmor::lotw {

// Posted to the main window when a request has ended; hand it to LotwFetch::OnFetched.
inline constexpr UINT kReportFetchedMessage = WM_APP + 42;

// How long each step may take before the request counts as failed. LoTW takes its time to make
// a long report, so an answer may be slow to start.
struct FetchTimeouts {
  int resolve_ms = 30000;
  int connect_ms = 30000;
  int send_ms = 30000;
  int receive_ms = 180000;
};

class Win32ReportTransport : public ReportTransport {
 public:
  explicit Win32ReportTransport(HWND notify, FetchTimeouts timeouts = {}) : notify_(notify), timeouts_(timeouts) {}
  // A request under way is not waited for: it ends on its own (or with the process), and its end is
  // posted to no one.
  ~Win32ReportTransport() override;
  Win32ReportTransport(const Win32ReportTransport&) = delete;
  Win32ReportTransport& operator=(const Win32ReportTransport&) = delete;

  Start Begin(const ReportAddress& address, Secret query) override;
  bool Running() const override { return static_cast<bool>(shared_); }
  std::optional<ReportAnswer> Finish() override;
  std::wstring FailureText() const override;

 private:
  struct Shared;

  HWND notify_;
  FetchTimeouts timeouts_;
  std::shared_ptr<Shared> shared_;
  DWORD last_error_ = ERROR_SUCCESS;
};

}  // namespace zelmor::lotw

#pragma once
// The request for LoTW's report of confirmations (lotwreport.adi): where it goes, and what it
// asks. The address comes from "Zelmor.ini" ([LoTW] ReportURL=), so that a stand-in on this
// machine can answer for LoTW; the password must never travel in the clear to anywhere else.

#include <optional>
#include <string>
#include <string_view>

#include "lotw/tqsl_job.h"

namespace zelmor::lotw {

inline constexpr wchar_t kLotwReportUrl[] = L"https://lotw.arrl.org/lotwuser/lotwreport.adi";
// qso_qslsince of the first fetch: before any confirmation LoTW can hold.
inline constexpr char kFirstSince[] = "1900-01-01";

// Where the report is asked for, taken apart for the HTTP client.
struct ReportAddress {
  bool secure = true;  // https
  std::wstring host;   // lower case
  int port = 443;
  std::wstring path;   // from its "/", without a query
};

// The address when it may be used: https to any host; plain http only to this machine, named
// "localhost" or "127.0.0.1" (in any case). Refused: other schemes, a user part ("user@host"),
// bracketed IPv6 literals, a host or port of any other shape, a query or a fragment, and anything
// but printable ASCII. Blanks around the whole are ignored.
std::optional<ReportAddress> ReadReportAddress(std::wstring_view url);

// `text` as UTF-8 with every byte but letters, digits and "-._~" written %XX (upper case).
std::wstring PercentEncoded(std::wstring_view text);

// The query of the report for `login` with the confirmations received since `since` (LoTW's
// APP_LoTW_LASTQSL of the fetch before, or kFirstSince), each value percent-encoded:
// login, password, qso_query=1, qso_qsl=yes, qso_qsldetail=yes, qso_mydetail=yes, qso_qslsince.
// A Secret, since it holds the password.
Secret ReportQuery(std::wstring_view login, const Secret& password, std::string_view since);

}  // namespace zelmor::lotw

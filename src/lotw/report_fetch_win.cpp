#include "lotw/report_fetch_win.h"

#include <winhttp.h>

#include <mutex>
#include <utility>

#include "base/handles_win.h"

namespace zelmor::lotw {
namespace {

struct InternetTraits {
  static HINTERNET invalid() { return nullptr; }
  static void close(HINTERNET h) { WinHttpCloseHandle(h); }
};
using UniqueInternet = base::Unique<HINTERNET, InternetTraits>;

// A report larger than this is not LoTW's (a year of a busy station's confirmations is a few MB).
constexpr size_t kMostBytes = 256u << 20;

std::wstring ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  // WinHTTP's own errors (12001-12200) are described by winhttp.dll, the others by the system.
  const bool own = error >= WINHTTP_ERROR_BASE && error <= WINHTTP_ERROR_LAST;
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS |
                                          (own ? FORMAT_MESSAGE_FROM_HMODULE : FORMAT_MESSAGE_FROM_SYSTEM),
                                      own ? GetModuleHandleW(L"winhttp.dll") : nullptr, error, 0,
                                      reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  const base::UniqueLocal<wchar_t*> owned(text);
  std::wstring described = length ? std::wstring(text, length) : std::wstring();
  while (!described.empty() && (described.back() == L'\n' || described.back() == L'\r' || described.back() == L' ')) {
    described.pop_back();
  }
  return described + (described.empty() ? L"" : L" ") + L"(" + std::to_wstring(error) + L")";
}

ReportAnswer Failed(ReportAnswer answer, ReportAnswer::Fault fault) {
  const DWORD error = GetLastError();
  answer.fault = error == ERROR_WINHTTP_TIMEOUT && fault == ReportAnswer::Fault::kNoConnection
                     ? ReportAnswer::Fault::kTimedOut
                     : fault;
  answer.detail = ErrorText(error);
  return answer;
}

ReportAnswer Request(const ReportAddress& address, Secret& query, const FetchTimeouts& timeouts) {
  ReportAnswer answer;
  const bool local = !address.secure;  // plain http is allowed to this machine only
  const UniqueInternet session(WinHttpOpen(L"Zelmor", local ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return Failed(answer, ReportAnswer::Fault::kNoConnection);
  WinHttpSetTimeouts(session.get(), timeouts.resolve_ms, timeouts.connect_ms, timeouts.send_ms, timeouts.receive_ms);
  const UniqueInternet connection(
      WinHttpConnect(session.get(), address.host.c_str(), static_cast<INTERNET_PORT>(address.port), 0));
  if (!connection) return Failed(answer, ReportAnswer::Fault::kNoConnection);

  std::wstring object;
  object.reserve(address.path.size() + 1 + query.text().size());
  object += address.path;
  object += L'?';
  object += query.text();
  const UniqueInternet request(WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr,
                                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                  address.secure ? WINHTTP_FLAG_SECURE : 0));
  Secret::Wipe(object);
  query = Secret();
  if (!request) return Failed(answer, ReportAnswer::Fault::kNoConnection);
  // The address carries the password: it goes where the operator's settings say and nowhere a
  // redirect would send it. A redirect is answered as the server's status.
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);

  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr)) {
    return Failed(std::move(answer), ReportAnswer::Fault::kNoConnection);
  }
  DWORD status = 0, size = sizeof status;
  if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return Failed(std::move(answer), ReportAnswer::Fault::kNoConnection);
  }
  answer.status = static_cast<int>(status);
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request.get(), &available)) return Failed(std::move(answer), ReportAnswer::Fault::kBroken);
    if (available == 0) break;
    if (answer.body.size() + available > kMostBytes) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return Failed(std::move(answer), ReportAnswer::Fault::kBroken);
    }
    const size_t at = answer.body.size();
    answer.body.resize(at + available);
    DWORD got = 0;
    if (!WinHttpReadData(request.get(), answer.body.data() + at, available, &got)) {
      answer.body.resize(at);
      return Failed(std::move(answer), ReportAnswer::Fault::kBroken);
    }
    answer.body.resize(at + got);
    if (got == 0) break;
  }
  return answer;
}

}  // namespace

// What the thread and the transport share: the thread keeps it alive as long as it runs, even
// when the transport has gone.
struct Win32ReportTransport::Shared {
  ReportAddress address;
  Secret query;
  FetchTimeouts timeouts;
  HWND notify = nullptr;
  std::mutex lock;
  std::optional<ReportAnswer> answer;  // under `lock`
  bool abandoned = false;              // under `lock`

  static DWORD WINAPI Run(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
    const std::shared_ptr<Shared> shared = *owned;
    ReportAnswer answer;
    try {
      answer = Request(shared->address, shared->query, shared->timeouts);
    } catch (...) {
      answer.fault = ReportAnswer::Fault::kNoConnection;
      answer.detail = ErrorText(ERROR_NOT_ENOUGH_MEMORY);
    }
    std::lock_guard<std::mutex> hold(shared->lock);
    if (shared->abandoned) return 0;
    shared->answer = std::move(answer);
    PostMessageW(shared->notify, kReportFetchedMessage, 0, 0);
    return 0;
  }
};

Win32ReportTransport::~Win32ReportTransport() {
  if (!shared_) return;
  std::lock_guard<std::mutex> hold(shared_->lock);
  shared_->abandoned = true;
}

ReportTransport::Start Win32ReportTransport::Begin(const ReportAddress& address, Secret query) {
  if (shared_) return Start::Busy;
  auto shared = std::make_shared<Shared>();
  shared->address = address;
  shared->query = std::move(query);
  shared->timeouts = timeouts_;
  shared->notify = notify_;
  auto* parameter = new std::shared_ptr<Shared>(shared);
  const base::UniqueHandle thread(CreateThread(nullptr, 0, &Shared::Run, parameter, 0, nullptr));
  if (!thread) {
    last_error_ = GetLastError();
    delete parameter;
    return Start::Failed;
  }
  shared_ = std::move(shared);
  return Start::Started;
}

std::optional<ReportAnswer> Win32ReportTransport::Finish() {
  if (!shared_) return std::nullopt;
  std::optional<ReportAnswer> answer;
  {
    std::lock_guard<std::mutex> hold(shared_->lock);
    answer = std::exchange(shared_->answer, std::nullopt);
  }
  if (answer) shared_.reset();
  return answer;
}

std::wstring Win32ReportTransport::FailureText() const { return ErrorText(last_error_); }

}  // namespace zelmor::lotw

#include "lotw/report_fetch_win.h"

#include <winhttp.h>

#include <atomic>
#include <mutex>
#include <utility>

#include "base/handles_win.h"

namespace zelmor::lotw {
namespace {

// winhttp.dll brings the sockets and security libraries with it, which would cost every start of
// Zelmor for a fetch few runs make: it is loaded on the fetch's thread when first needed, and stays.
struct WinHttp {
#define ZELMOR_WINHTTP_FUNCTIONS(X)                                                                     \
  X(WinHttpOpen) X(WinHttpSetTimeouts) X(WinHttpConnect) X(WinHttpOpenRequest) X(WinHttpSetOption)     \
  X(WinHttpSendRequest) X(WinHttpReceiveResponse) X(WinHttpQueryHeaders) X(WinHttpQueryDataAvailable) \
  X(WinHttpReadData) X(WinHttpCloseHandle)
#define ZELMOR_WINHTTP_MEMBER(name) decltype(&::name) name = nullptr;
  ZELMOR_WINHTTP_FUNCTIONS(ZELMOR_WINHTTP_MEMBER)
#undef ZELMOR_WINHTTP_MEMBER
  bool loaded = false;

  static const WinHttp& Get() {
    static const WinHttp library;
    return library;
  }

 private:
  WinHttp() {
    const HMODULE module = LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!module) return;
    loaded = true;
#define ZELMOR_WINHTTP_LOAD(name)                                                                 \
  name = reinterpret_cast<decltype(&::name)>(reinterpret_cast<void*>(GetProcAddress(module, #name))); \
  loaded = loaded && name != nullptr;
    ZELMOR_WINHTTP_FUNCTIONS(ZELMOR_WINHTTP_LOAD)
#undef ZELMOR_WINHTTP_LOAD
  }
};
#undef ZELMOR_WINHTTP_FUNCTIONS

struct InternetTraits {
  static HINTERNET invalid() { return nullptr; }
  static void close(HINTERNET h) { WinHttp::Get().WinHttpCloseHandle(h); }
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

// Where a request stands, for the watch over it: the time of its last step and the step it waits in.
struct Progress {
  std::atomic<ULONGLONG> since{GetTickCount64()};
  std::atomic<bool> receiving{false};
  void Mark(bool now_receiving) {
    since = GetTickCount64();
    receiving = now_receiving;
  }
};

ReportAnswer Request(const ReportAddress& address, Secret& query, const FetchTimeouts& timeouts, Progress& progress) {
  ReportAnswer answer;
  const WinHttp& http = WinHttp::Get();
  if (!http.loaded) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return Failed(answer, ReportAnswer::Fault::kNoConnection);
  }
  const bool local = !address.secure;  // plain http is allowed to this machine only
  const UniqueInternet session(http.WinHttpOpen(L"Zelmor", local ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                           WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return Failed(answer, ReportAnswer::Fault::kNoConnection);
  http.WinHttpSetTimeouts(session.get(), timeouts.resolve_ms, timeouts.connect_ms, timeouts.send_ms, timeouts.receive_ms);
  const UniqueInternet connection(
      http.WinHttpConnect(session.get(), address.host.c_str(), static_cast<INTERNET_PORT>(address.port), 0));
  if (!connection) return Failed(answer, ReportAnswer::Fault::kNoConnection);

  std::wstring object;
  object.reserve(address.path.size() + 1 + query.text().size());
  object += address.path;
  object += L'?';
  object += query.text();
  const UniqueInternet request(http.WinHttpOpenRequest(connection.get(), L"GET", object.c_str(), nullptr,
                                                  WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                  address.secure ? WINHTTP_FLAG_SECURE : 0));
  Secret::Wipe(object);
  query = Secret();
  if (!request) return Failed(answer, ReportAnswer::Fault::kNoConnection);
  // The address carries the password: it goes where the operator's settings say and nowhere a
  // redirect would send it. A redirect is answered as the server's status.
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  http.WinHttpSetOption(request.get(), WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);

  progress.Mark(false);
  if (!http.WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
    return Failed(std::move(answer), ReportAnswer::Fault::kNoConnection);
  }
  progress.Mark(true);
  if (!http.WinHttpReceiveResponse(request.get(), nullptr)) {
    return Failed(std::move(answer), ReportAnswer::Fault::kNoConnection);
  }
  DWORD status = 0, size = sizeof status;
  if (!http.WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return Failed(std::move(answer), ReportAnswer::Fault::kNoConnection);
  }
  answer.status = static_cast<int>(status);
  for (;;) {
    DWORD available = 0;
    if (!http.WinHttpQueryDataAvailable(request.get(), &available)) return Failed(std::move(answer), ReportAnswer::Fault::kBroken);
    if (available == 0) break;
    if (answer.body.size() + available > kMostBytes) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return Failed(std::move(answer), ReportAnswer::Fault::kBroken);
    }
    const size_t at = answer.body.size();
    answer.body.resize(at + available);
    DWORD got = 0;
    if (!http.WinHttpReadData(request.get(), answer.body.data() + at, available, &got)) {
      answer.body.resize(at);
      return Failed(std::move(answer), ReportAnswer::Fault::kBroken);
    }
    answer.body.resize(at + got);
    progress.Mark(true);
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
  bool ended = false;                  // under `lock`: an answer was posted, the request's or the watch's
  Progress progress;
  base::UniqueHandle done{CreateEventW(nullptr, TRUE, FALSE, nullptr)};

  // Posts the answer unless one was posted or nobody listens any more; the later of the request
  // and its watch finds the fetch ended and is dropped.
  void End(ReportAnswer ended_with) {
    std::lock_guard<std::mutex> hold(lock);
    if (abandoned || ended) return;
    ended = true;
    answer = std::move(ended_with);
    PostMessageW(notify, kReportFetchedMessage, 0, 0);
  }

  // Wine's WinHTTP waits for a held answer past its receive time-out, and a fetch that never ends
  // could never be made again before Zelmor restarts: each step's time-out is also kept here, a
  // second later than WinHTTP's own, so that Windows still tells its own error first.
  static DWORD WINAPI Watch(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
    const std::shared_ptr<Shared> shared = *owned;
    const FetchTimeouts& t = shared->timeouts;
    const ULONGLONG sending = ULONGLONG(t.resolve_ms) + t.connect_ms + t.send_ms + 1000;
    const ULONGLONG receiving = ULONGLONG(t.receive_ms) + 1000;
    while (WaitForSingleObject(shared->done.get(), 250) == WAIT_TIMEOUT) {
      const ULONGLONG limit = shared->progress.receiving ? receiving : sending;
      if (GetTickCount64() - shared->progress.since > limit) {
        ReportAnswer timed_out;
        timed_out.fault = ReportAnswer::Fault::kTimedOut;
        timed_out.detail = ErrorText(ERROR_WINHTTP_TIMEOUT);
        shared->End(std::move(timed_out));
        return 0;
      }
    }
    return 0;
  }

  static DWORD WINAPI Run(void* parameter) {
    const std::unique_ptr<std::shared_ptr<Shared>> owned(static_cast<std::shared_ptr<Shared>*>(parameter));
    const std::shared_ptr<Shared> shared = *owned;
    ReportAnswer answer;
    try {
      answer = Request(shared->address, shared->query, shared->timeouts, shared->progress);
    } catch (...) {
      answer.fault = ReportAnswer::Fault::kNoConnection;
      answer.detail = ErrorText(ERROR_NOT_ENOUGH_MEMORY);
    }
    SetEvent(shared->done.get());
    shared->End(std::move(answer));
    return 0;
  }
};

Win32ReportTransport::~Win32ReportTransport() {
  if (!shared_) return;
  std::lock_guard<std::mutex> hold(shared_->lock);
  shared_->abandoned = true;
}

namespace {

// A thread that keeps `shared` alive for as long as it runs; false (GetLastError says why) when
// none could be made.
template <typename Shared>
bool Spawn(LPTHREAD_START_ROUTINE run, const std::shared_ptr<Shared>& shared) {
  auto* parameter = new std::shared_ptr<Shared>(shared);
  const base::UniqueHandle thread(CreateThread(nullptr, 0, run, parameter, 0, nullptr));
  if (thread) return true;
  const DWORD error = GetLastError();
  delete parameter;
  SetLastError(error);
  return false;
}

}  // namespace

ReportTransport::Start Win32ReportTransport::Begin(const ReportAddress& address, Secret query) {
  if (shared_) return Start::Busy;
  auto shared = std::make_shared<Shared>();
  shared->address = address;
  shared->query = std::move(query);
  shared->timeouts = timeouts_;
  shared->notify = notify_;
  if (!shared->done) {
    last_error_ = GetLastError();
    return Start::Failed;
  }
  if (!Spawn(&Shared::Watch, shared)) {
    last_error_ = GetLastError();
    return Start::Failed;
  }
  if (!Spawn(&Shared::Run, shared)) {
    last_error_ = GetLastError();
    SetEvent(shared->done.get());  // the watch ends with nothing to watch
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

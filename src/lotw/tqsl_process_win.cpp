#include "lotw/tqsl_process_win.h"

#include "base/handles_win.h"
#include "base/resource.h"

namespace zelmor::lotw {

TqslProcess::Start Win32TqslProcess::Begin(const TqslJob& job, const Secret* passphrase) {
  switch (runner_.Begin(job, passphrase, notify_, kTqslEndedMessage)) {
    case TqslRunner::Start::Started: return Start::Started;
    case TqslRunner::Start::Busy: return Start::Busy;
    case TqslRunner::Start::Failed: break;
  }
  return Start::Failed;
}

std::wstring Win32TqslProcess::FailureText() const {
  wchar_t* text = nullptr;
  const DWORD error = runner_.last_error();
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
  const base::UniqueLocal<wchar_t*> owned(text);
  std::wstring described = length ? std::wstring(text, length) : std::wstring();
  while (!described.empty() && (described.back() == L'\n' || described.back() == L'\r' || described.back() == L' ')) {
    described.pop_back();
  }
  return described + (described.empty() ? L"" : L" ") + L"(" + std::to_wstring(error) + L")";
}

}  // namespace zelmor::lotw

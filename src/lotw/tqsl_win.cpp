#include "lotw/tqsl_win.h"

#include <utility>

#include "base/codepage_win.h"
#include "base/handles_win.h"
#include "base/paths.h"

namespace zelmor::lotw {
namespace {

std::optional<std::wstring> InstallPath(REGSAM view) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\TrustedQSL", 0, KEY_QUERY_VALUE | view, &opened) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  const base::UniqueRegKey key(opened);
  // RRF_RT_REG_SZ takes REG_EXPAND_SZ too, expanded ("%ProgramFiles%\TrustedQSL"); the expanded
  // length is known only after a first try.
  std::wstring value(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 3; ++attempt) {
    DWORD bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    const LSTATUS status = RegGetValueW(key.get(), nullptr, L"InstallPath", RRF_RT_REG_SZ, nullptr, value.data(), &bytes);
    if (status == ERROR_SUCCESS) {
      value.resize(value.find(L'\0'));
      return value;
    }
    if (status != ERROR_MORE_DATA) break;
    value.assign(bytes / sizeof(wchar_t) + MAX_PATH, L'\0');
  }
  return std::nullopt;
}

// A handle the child inherits: only those given in its handle list, and only for this start.
base::UniqueFile OpenInheritable(const std::wstring& path, DWORD access, DWORD creation) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  return base::UniqueFile(CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, creation,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::string ReadFrom(const std::wstring& path, LONGLONG offset) {
  base::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file || !GetFileSizeEx(file.get(), &size) || size.QuadPart <= offset) return std::string();
  LARGE_INTEGER start{};
  start.QuadPart = offset;
  if (!SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN)) return std::string();
  // The status line is at the end: a runaway output is read from its last megabyte only.
  constexpr LONGLONG kMost = 1 << 20;
  if (size.QuadPart - offset > kMost) {
    start.QuadPart = size.QuadPart - kMost;
    SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN);
  }
  std::string bytes(static_cast<size_t>(size.QuadPart - start.QuadPart), '\0');
  DWORD got = 0;
  if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) return std::string();
  bytes.resize(got);
  return bytes;
}

}  // namespace

bool Win32TqslPlaces::FileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> Win32TqslPlaces::InstallFolders() {
  std::vector<std::wstring> folders;
  const REGSAM views[] = {sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY,
                          sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY};
  for (REGSAM view : views) {
    if (auto folder = InstallPath(view)) folders.push_back(std::move(*folder));
  }
  return folders;
}

std::vector<std::wstring> Win32TqslPlaces::PathFolders() {
  const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  if (size == 0) return {};
  std::wstring path(size, L'\0');
  path.resize(GetEnvironmentVariableW(L"PATH", path.data(), size));
  std::vector<std::wstring> folders;
  size_t start = 0;
  while (start <= path.size()) {
    const size_t end = path.find(L';', start);
    folders.push_back(path.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  return folders;
}

// Waits for TQSL on the thread pool and posts its end to the caller's window.
struct TqslRunner::Watch {
  HANDLE process;
  HWND notify;
  UINT message;
  HANDLE wait = nullptr;

  static void CALLBACK Ended(void* context, BOOLEAN) {
    const auto* watch = static_cast<const Watch*>(context);
    DWORD code = 0;
    if (!GetExitCodeProcess(watch->process, &code)) code = static_cast<DWORD>(-1);
    PostMessageW(watch->notify, watch->message, static_cast<WPARAM>(code), 0);
  }
};

TqslRunner::TqslRunner() = default;
TqslRunner::~TqslRunner() { StopWatching(); }

void TqslRunner::StopWatching() {
  if (watch_ && watch_->wait) {
    // Waits for a callback under way, so that the watch is not freed beneath it.
    UnregisterWaitEx(watch_->wait, INVALID_HANDLE_VALUE);
  }
  watch_.reset();
}

TqslRunner::Start TqslRunner::Begin(const TqslJob& job, const Secret* passphrase, HWND notify, UINT message) {
  if (Running()) return Start::Busy;
  last_error_ = ERROR_SUCCESS;
  const auto fail = [this] {
    last_error_ = GetLastError();
    if (last_error_ == ERROR_SUCCESS) last_error_ = ERROR_GEN_FAILURE;
    return Start::Failed;
  };

  const std::wstring output_path = OutputPathFor(job.adif_path);
  base::UniqueFile output = OpenInheritable(output_path, FILE_APPEND_DATA, OPEN_ALWAYS);
  if (!output) return fail();
  LARGE_INTEGER output_size{};
  if (!GetFileSizeEx(output.get(), &output_size)) return fail();
  // TQSL may ask for a passphrase on its console: it finds nothing to read and goes on.
  base::UniqueFile input = OpenInheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
  if (!input) return fail();

  HANDLE inherited[] = {input.get(), output.get()};
  SIZE_T list_size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &list_size);
  std::vector<unsigned char> list_memory(list_size);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_memory.data());
  if (!InitializeProcThreadAttributeList(list, 1, 0, &list_size)) return fail();
  const base::UniqueAttributeList list_owner(list);
  if (!UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof inherited, nullptr,
                                 nullptr)) {
    return fail();
  }

  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
  startup.StartupInfo.hStdInput = input.get();
  startup.StartupInfo.hStdOutput = output.get();
  startup.StartupInfo.hStdError = output.get();
  startup.lpAttributeList = list;

  std::vector<std::wstring> arguments = UploadArguments(job.station_location, job.adif_path, passphrase);
  std::wstring command_line = CommandLine(job.tqsl, arguments);
  const std::wstring folder = base::FolderOf(job.adif_path);
  PROCESS_INFORMATION started{};
  const BOOL ok = CreateProcessW(job.tqsl.c_str(), command_line.data(), nullptr, nullptr, TRUE,
                                 CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT,
                                 nullptr, folder.empty() ? nullptr : folder.c_str(), &startup.StartupInfo, &started);
  const DWORD error = GetLastError();
  Secret::Wipe(command_line);
  for (auto& argument : arguments) Secret::Wipe(argument);
  if (!ok) {
    SetLastError(error);
    return fail();
  }
  const base::UniqueHandle thread(started.hThread);  // only the process's end is watched
  base::UniqueHandle process(started.hProcess);

  auto watch = std::make_unique<Watch>(Watch{process.get(), notify, message});
  if (!RegisterWaitForSingleObject(&watch->wait, process.get(), &Watch::Ended, watch.get(), INFINITE,
                                   WT_EXECUTEONLYONCE)) {
    // TQSL runs, but its end could not be watched: the caller hears of it as a failure to start,
    // and TQSL's upload goes on by itself.
    return fail();
  }
  process_ = std::move(process);
  watch_ = std::move(watch);
  output_path_ = output_path;
  output_start_ = output_size.QuadPart;
  with_passphrase_ = passphrase != nullptr;
  return Start::Started;
}

std::optional<TqslOutcome> TqslRunner::Finish() {
  if (!process_ || WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) return std::nullopt;
  StopWatching();
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) code = static_cast<DWORD>(-1);
  process_.reset();
  TqslOutcome outcome;
  outcome.exit_code = static_cast<int>(code);
  outcome.status_line = TqslText(LastStatusLine(ReadFrom(output_path_, output_start_)));
  outcome.output_path = output_path_;
  outcome.with_passphrase = with_passphrase_;
  return outcome;
}

std::wstring TqslText(const std::string& bytes) {
  if (bytes.empty()) return std::wstring();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
  if (length <= 0) return base::FromAnsi(bytes);
  std::wstring text(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, text.data(), length);
  return text;
}

}  // namespace zelmor::lotw

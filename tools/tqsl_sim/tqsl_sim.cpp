// A stand-in for TQSL, LoTW's signing tool, as Zelmor runs it for an upload. It works under any
// name: tests copy it as tqsl.exe into a folder that plays TQSL's install folder. It signs and
// sends nothing; it journals what it was given and ends as its settings file says.
//
//   tqsl-sim.exe <TQSL's arguments>      (e.g. -x -d -u -a compliant -f update -l "Home" log.adi)
//
// Settings: "tqsl-sim.ini" beside the program, section [tqsl-sim], every key optional:
//   exit=<code>          the exit code (default 0)
//   status=<line>        the last status line, written as it is (default: TQSL's own form,
//                        "<time> Final Status: <description> (<code>)")
//   sleep_ms=<n>         sleeps this long before the last line, as a slow network would
//   hold_file=<path>     then waits until this file exists (at most a minute): a slow network
//                        that a test ends when it chooses, whatever the machine's speed
//   passphrase=<text>    with exit=15: a run given "-p <text>" ends as the two keys below say,
//   retry_exit=<code>    and a run given another -p ends as a first one does
//   retry_status=<line>
// The file is read with GetPrivateProfileStringW: ANSI, or UTF-16 with its byte-order mark.
//
// Output: one line on stdout, then TQSL-like status lines on stderr, the chosen last.
//
// Journal: "tqsl-sim-journal.txt" beside the program, UTF-8, appended, one block a run:
//   run <n>                     n counts from 1 in this journal
//   command_line <the command line exactly as received>
//   arg <argument>              one line for each, as CommandLineToArgvW splits them (not the program)
//   file <the file argument>    the argument that is no switch and no switch's value
//   copy <name>                 "tqsl-sim-<n>.adi", a copy of that file beside the program; "-" when
//                               there was no file or it could not be copied
//   exit <code>                 written last, when the run ends
// The block up to "copy" is written before the sleep and the hold, so a test sees that the run has
// begun.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <set>
#include <string>
#include <vector>

#include "base/handles_win.h"

namespace {

std::wstring Folder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/"));
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
  return out;
}

struct Settings {
  int exit_code = 0;
  std::wstring status;
  DWORD sleep_ms = 0;
  std::wstring hold_file;
  std::wstring passphrase;
  int retry_exit = 0;
  std::wstring retry_status;
};

Settings ReadSettings(const std::wstring& ini) {
  const auto text = [&](const wchar_t* key) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(L"tqsl-sim", key, L"", value, 1024, ini.c_str());
    return std::wstring(value);
  };
  const auto number = [&](const wchar_t* key) { return static_cast<int>(std::wcstol(text(key).c_str(), nullptr, 10)); };
  Settings s;
  s.exit_code = number(L"exit");
  s.status = text(L"status");
  s.sleep_ms = static_cast<DWORD>(number(L"sleep_ms"));
  s.hold_file = text(L"hold_file");
  s.passphrase = text(L"passphrase");
  s.retry_exit = number(L"retry_exit");
  s.retry_status = text(L"retry_status");
  return s;
}

// TQSL's own words for its final status, by exit code.
std::wstring Description(int code) {
  static const wchar_t* const kWords[] = {L"Success", L"User Cancelled", L"Upload Rejected",
                                          L"Unexpected LoTW Response", L"TQSL Error", L"TQSLLib Error",
                                          L"Error opening input file", L"Error opening output file",
                                          L"No QSOs written", L"Some QSOs suppressed", L"Command Syntax Error",
                                          L"LoTW Connection Failed"};
  if (code == 15) return L"Passphrase error";
  return code >= 0 && code < 12 ? kWords[code] : L"Unknown";
}

std::wstring Clock() {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  wchar_t text[32];
  const int hour = now.wHour % 12 == 0 ? 12 : now.wHour % 12;
  std::swprintf(text, 32, L"%02d:%02d:%02d %ls", hour, now.wMinute, now.wSecond, now.wHour < 12 ? L"AM" : L"PM");
  return text;
}

class Output {
 public:
  explicit Output(DWORD which) : handle_(GetStdHandle(which)) {}
  void Line(const std::wstring& text) {
    if (!handle_ || handle_ == INVALID_HANDLE_VALUE) return;
    const std::string bytes = Utf8(text) + "\r\n";
    DWORD written = 0;
    WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }

 private:
  HANDLE handle_;
};

class Journal {
 public:
  explicit Journal(const std::wstring& path) : path_(path) {}

  int NextRun() const {
    std::string bytes;
    {
      zelmor::base::UniqueFile file(CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
      LARGE_INTEGER size{};
      if (file && GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD got = 0;
        ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
        bytes.resize(got);
      }
    }
    int runs = 0;
    for (size_t at = 0; at < bytes.size();) {
      if (bytes.compare(at, 4, "run ") == 0) ++runs;
      const size_t end = bytes.find('\n', at);
      if (end == std::string::npos) break;
      at = end + 1;
    }
    return runs + 1;
  }

  void Line(const std::wstring& key, const std::wstring& value) {
    zelmor::base::UniqueFile file(CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    const std::string bytes = Utf8(key + L" " + value) + "\n";
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  }

 private:
  std::wstring path_;
};

// The switches of TQSL's command line that take a value.
bool TakesValue(const std::wstring& argument) {
  static const std::set<std::wstring> kWithValue = {L"-a", L"-b", L"-c", L"-e", L"-f", L"-i",
                                                    L"-l", L"-o", L"-p", L"-t"};
  return kWithValue.count(argument) > 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const std::wstring folder = Folder();
  const Settings settings = ReadSettings(folder + L"\\tqsl-sim.ini");
  Journal journal(folder + L"\\tqsl-sim-journal.txt");
  Output out(STD_OUTPUT_HANDLE), err(STD_ERROR_HANDLE);

  const std::wstring command_line = GetCommandLineW();
  std::vector<std::wstring> arguments;
  int argc = 0;
  if (const zelmor::base::UniqueLocal<LPWSTR*> argv{CommandLineToArgvW(command_line.c_str(), &argc)}) {
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv.get()[i]);
  }
  std::wstring file;
  std::wstring passphrase;
  bool passphrase_given = false;
  for (size_t i = 0; i < arguments.size(); ++i) {
    if (TakesValue(arguments[i]) && i + 1 < arguments.size()) {
      if (arguments[i] == L"-p") {
        passphrase = arguments[i + 1];
        passphrase_given = true;
      }
      ++i;
    } else if (arguments[i].empty() || arguments[i][0] != L'-') {
      file = arguments[i];
    }
  }

  const int run = journal.NextRun();
  journal.Line(L"run", std::to_wstring(run));
  journal.Line(L"command_line", command_line);
  for (const auto& argument : arguments) journal.Line(L"arg", argument);
  journal.Line(L"file", file);
  const std::wstring copy = L"tqsl-sim-" + std::to_wstring(run) + L".adi";
  const bool copied = !file.empty() && CopyFileW(file.c_str(), (folder + L"\\" + copy).c_str(), FALSE);
  journal.Line(L"copy", copied ? copy : L"-");

  out.Line(L"TQSL simulator: signing " + file);
  err.Line(Clock() + L": Signing using Callsign JA1ZLM, DXCC Entity JAPAN");
  err.Line(Clock() + L": Attempting to upload the QSOs of " + file);
  if (settings.sleep_ms) Sleep(settings.sleep_ms);
  if (!settings.hold_file.empty()) {
    for (int i = 0; i < 3000 && GetFileAttributesW(settings.hold_file.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
      Sleep(20);
    }
  }

  int code = settings.exit_code;
  std::wstring status = settings.status;
  if (code == 15 && passphrase_given && !settings.passphrase.empty() && passphrase == settings.passphrase) {
    code = settings.retry_exit;
    status = settings.retry_status;
  }
  if (status.empty()) status = Clock() + L" Final Status: " + Description(code) + L" (" + std::to_wstring(code) + L")";
  err.Line(status);
  journal.Line(L"exit", std::to_wstring(code));
  return code;
}

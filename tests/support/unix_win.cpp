#include "unix_win.h"

#include <sstream>

#include "base/paths.h"
#include "files_win.h"

namespace test_support {
namespace {

// Command lines and folder names here are ASCII; the ANSI code page keeps them as they are.
std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::string UnixName(const std::wstring& path) {
  using UnixNameFn = char*(CDECL*)(LPCWSTR);
  const auto unix_name = reinterpret_cast<UnixNameFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unix_name) return {};
  char* name = unix_name(path.c_str());
  if (!name) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

int RunUnix(const std::string& script, DWORD ms) {
  static int counter = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  const std::wstring base = std::wstring(temp) + L"zelmor-unix-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter);
  const std::wstring script_path = base + L".sh", status_path = base + L".status";
  const std::string unix_script = UnixName(script_path), unix_status = UnixName(status_path);
  if (unix_script.empty() || unix_status.empty()) return -1;
  DeleteFileW(status_path.c_str());
  // The status file appears whole (written aside, then renamed), so a poll never reads half of it.
  WriteBytes(script_path, "( " + script + "\n) >/dev/null 2>&1 </dev/null\necho $? > '" + unix_status +
                              ".part'\nmv '" + unix_status + ".part' '" + unix_status + "'\n");
  std::wstring command = L"Z:\\bin\\sh " + std::wstring(unix_script.begin(), unix_script.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    DeleteFileW(script_path.c_str());
    return -1;
  }
  // No handle to close: for a Unix program Wine fills the handles with whatever was on its
  // stack, and closing such a value can close one of this process's own handles.
  int status = -1;
  for (const DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(5)) {
    if (!FileExists(status_path)) continue;
    std::istringstream(ReadBytes(status_path)) >> status;
    break;
  }
  DeleteFileW(status_path.c_str());
  DeleteFileW(script_path.c_str());
  return status;
}

bool StartUnix(const std::wstring& command_line) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring command = command_line;
  // No handle to close, as in RunUnix.
  return CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info) !=
         FALSE;
}

int SignalProcesses(const std::wstring& exe, const std::wstring& fragment, const char* signal) {
  const std::string exe_name = Narrow(exe), part = Narrow(fragment);
  // pgrep would see this shell's own command line too; matching /proc by hand keeps to the
  // Windows processes, whose command line starts with their executable's path.
  const std::string script =
      "n=0\n"
      "for d in /proc/[0-9]*; do\n"
      "  c=$(tr '\\0' ' ' < \"$d/cmdline\" 2>/dev/null) || continue\n"
      "  case \"$c\" in *'" + exe_name + "'*) ;; *) continue ;; esac\n"
      "  case \"$c\" in *'" + part + "'*) ;; *) continue ;; esac\n"
      "  case \"$c\" in */bin/sh*) continue ;; esac\n"
      "  kill -" + signal + " \"${d#/proc/}\" && n=$((n+1))\n"
      "done\n"
      "exit $n";
  return RunUnix(script);
}

std::vector<int> UnixProcessIds(const std::wstring& exe, const std::wstring& fragment) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static int counter = 0;
  const std::wstring list = std::wstring(temp) + L"zelmor-pids-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(++counter) + L".txt";
  const std::string unix_list = UnixName(list);
  if (unix_list.empty()) return {};
  // The command lines hold NULs between the arguments; grep -a reads them as text. A grep's own
  // command line names one of the strings, never both; a shell that names both is left out.
  const std::string script = "for f in $(grep -lasF -- '" + Narrow(fragment) +
                             "' /proc/[0-9]*/cmdline); do\n"
                             "  grep -qasF -- '" + Narrow(exe) + "' \"$f\" || continue\n"
                             "  grep -qasF -- /bin/sh \"$f\" && continue\n"
                             "  p=${f#/proc/}; echo \"${p%/cmdline}\"\n"
                             "done > '" + unix_list + "'";
  std::vector<int> pids;
  if (RunUnix(script) == 0) {
    std::istringstream in(ReadBytes(list));
    for (int pid; in >> pid;) pids.push_back(pid);
  }
  DeleteFileW(list.c_str());
  return pids;
}

bool SignalUnixProcesses(const std::vector<int>& pids, const char* signal) {
  if (pids.empty()) return false;
  std::string script = std::string("kill -") + signal;
  for (int pid : pids) script += " " + std::to_string(pid);
  return RunUnix(script) == 0;
}

std::wstring LeafName(const std::wstring& path) {
  return zelmor::base::NameOf(path);
}

}  // namespace test_support

#include "unix_support.h"

#include <fstream>
#include <sstream>

#include "harness.h"

namespace e2e {

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
  if (info.hProcess) CloseHandle(info.hProcess);
  if (info.hThread) CloseHandle(info.hThread);
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

int SignalProcesses(const std::wstring& exe, const std::wstring& fragment, const char* signal) {
  const std::string exe_name = Ansi(exe), part = Ansi(fragment);
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

std::wstring LeafName(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace e2e

#include "processes_win.h"

#include <cstdio>

#include "base/paths.h"
#include "windows_win.h"

namespace test_support {

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return zelmor::base::FolderOf(p);
}

bool Child::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
                  bool activated) {
  Kill();
  std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (!activated) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNOACTIVATE;
  }
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
}

bool Child::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Child::WaitExit(DWORD ms) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
}

std::string Child::State() const {
  if (!info_.hProcess) return "was not started";
  if (Running()) return "runs";
  DWORD code = 0;
  if (!GetExitCodeProcess(info_.hProcess, &code)) return "ended (its exit code unknown)";
  // Small codes are the program's own; large ones an exception's status, read in hex.
  char text[64];
  std::snprintf(text, sizeof text, code < 0x10000 ? "ended with exit code %lu" : "ended with exit code 0x%08lX",
                static_cast<unsigned long>(code));
  return text;
}

void Child::Kill() {
  if (!info_.hProcess) return;
  if (Running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
  info_ = {};
}

SimulatorProcess::SimulatorProcess(const wchar_t* exe, const wchar_t* window_class, const std::wstring& arguments,
                                   const std::wstring& folder) {
  if (!process_.Start(zelmor::base::JoinPath(BuildFolder(), exe), arguments, folder, false)) return;
  const DWORD pid = process_.pid();
  // A bound for a broken start, not a timing requirement.
  WaitUntil([&] { return (window_ = FindProcessWindow(pid, window_class)) != nullptr || !process_.Running(); },
            20000);
  if (window_) WaitForInputIdle(process_.process(), 5000);
}

bool SimulatorProcess::Close(DWORD ms) {
  if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
  return process_.WaitExit(ms);
}

}  // namespace test_support

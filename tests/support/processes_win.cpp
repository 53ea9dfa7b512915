#include "processes_win.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "base/paths.h"
#include "printable.h"
#include "windows_win.h"

namespace test_support {

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return zelmor::base::FolderOf(p);
}

bool Child::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder,
                  bool activated, bool keep_errors) {
  Kill();
  start_error_ = 0;
  std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof(startup);
  if (!activated) {
    startup.StartupInfo.dwFlags = STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_SHOWNOACTIVATE;
  }
  // The writing end goes to the child alone: inherited by a later child as well, it would live on
  // in that one.
  zelmor::base::UniqueHandle write_end;
  std::vector<unsigned char> list_memory;
  zelmor::base::UniqueAttributeList list;
  HANDLE read = nullptr;
  HANDLE write = nullptr;  // the attribute list points at it until the process is made
  if (keep_errors) {
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    SIZE_T list_size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &list_size);
    list_memory.resize(list_size);
    auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(list_memory.data());
    if (CreatePipe(&read, &write, &inheritable, 0)) {
      errors_.reset(read);
      write_end.reset(write);
      SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
      if (InitializeProcThreadAttributeList(attributes, 1, 0, &list_size)) {
        list.reset(attributes);
        if (UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &write, sizeof write, nullptr,
                                      nullptr)) {
          startup.StartupInfo.dwFlags |= STARTF_USESTDHANDLES;
          startup.StartupInfo.hStdError = write;
          startup.lpAttributeList = attributes;
        }
      }
    }
  }
  const bool inherit = startup.lpAttributeList != nullptr;
  const auto create = [&] {
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, inherit ? TRUE : FALSE,
                       inherit ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr, folder.empty() ? nullptr : folder.c_str(),
                       &startup.StartupInfo, &info_)) {
      return true;
    }
    start_error_ = GetLastError();
    info_ = {};
    return false;
  };
  // Under load Wine refuses a start now and then (error 1359, at once, before the program runs a
  // line of its own); the refusal goes to the output, and one more try tells a passing refusal
  // from a program that cannot start.
  if (!create()) {
    std::printf("[ note     ] CreateProcess of %s failed with error %lu; trying once more\n",
                Utf8(zelmor::base::NameOf(exe)).c_str(), static_cast<unsigned long>(start_error_));
    std::fflush(stdout);
    Sleep(500);
    if (!create()) {
      errors_.reset();
      return false;
    }
  }
  start_error_ = 0;
  return true;
}

bool Child::Running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Child::WaitExit(DWORD ms) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
}

std::string Child::State() const {
  if (!info_.hProcess) {
    return start_error_ ? "was not started (error " + std::to_string(start_error_) + ")" : "was not started";
  }
  if (Running()) return "runs";
  DWORD code = 0;
  if (!GetExitCodeProcess(info_.hProcess, &code)) return "ended (its exit code unknown)";
  // Small codes are the program's own; large ones an exception's status, read in hex.
  char text[64];
  std::snprintf(text, sizeof text, code < 0x10000 ? "ended with exit code %lu" : "ended with exit code 0x%08lX",
                static_cast<unsigned long>(code));
  return text;
}

std::string Child::Errors() const {
  std::string text;
  DWORD waiting = 0;
  while (errors_ && PeekNamedPipe(errors_.get(), nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
    char part[512];
    DWORD read = 0;
    if (!ReadFile(errors_.get(), part, std::min<DWORD>(waiting, sizeof part), &read, nullptr) || read == 0) break;
    text.append(part, read);
  }
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
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
  errors_.reset();
}

SimulatorProcess::SimulatorProcess(const wchar_t* exe, const wchar_t* window_class, const std::wstring& arguments,
                                   const std::wstring& folder) {
  const ULONGLONG start = GetTickCount64();
  if (!process_.Start(zelmor::base::JoinPath(BuildFolder(), exe), arguments, folder, false, true)) {
    failure_ = Utf8(exe) + " " + process_.State();
    return;
  }
  const DWORD pid = process_.pid();
  // A bound for a broken start, not a timing requirement.
  WaitUntil([&] { return (window_ = FindProcessWindow(pid, window_class)) != nullptr || !process_.Running(); },
            20000);
  if (window_) {
    WaitForInputIdle(process_.process(), 5000);
    return;
  }
  failure_ = Utf8(exe) + ": no window of class " + Utf8(window_class) + " " +
             std::to_string(GetTickCount64() - start) + " ms after its start; it " + process_.State();
  if (const std::string said = process_.Errors(); !said.empty()) failure_ += ", saying: " + said;
}

::testing::AssertionResult SimulatorProcess::ready() const {
  if (window_) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << failure_;
}

bool SimulatorProcess::Close(DWORD ms) {
  if (window_) PostMessageW(window_, WM_CLOSE, 0, 0);
  return process_.WaitExit(ms);
}

}  // namespace test_support

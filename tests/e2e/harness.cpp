#include "harness.h"

#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/codepage_win.h"

namespace e2e {

std::wstring BuildFolder() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring p(path, n);
  return p.substr(0, p.find_last_of(L"\\/"));
}

TempFolder::TempFolder() {
  static int counter = 0;
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"zelmor-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
          std::to_wstring(++counter) + L"-" + std::to_wstring(GetTickCount());
  CreateDirectoryW(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  std::wstring from = path_ + L'\0';
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
  SHFileOperationW(&op);
}

Child::~Child() { Kill(); }

bool Child::Start(const std::wstring& exe, const std::wstring& arguments, const std::wstring& folder) {
  std::wstring command = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  return CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info_) != FALSE;
}

bool Child::running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool Child::WaitExit(DWORD ms) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0;
}

void Child::Kill() {
  if (!info_.hProcess) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hProcess);
  CloseHandle(info_.hThread);
  info_ = {};
}

bool Zelmor::Start() {
  const std::wstring exe = folder_.File(L"Zelmor.exe");
  if (!FileExists(exe) && !CopyFileW((BuildFolder() + L"\\Zelmor.exe").c_str(), exe.c_str(), FALSE)) {
    std::printf("[ note     ] copying Zelmor.exe failed with error %lu\n", static_cast<unsigned long>(GetLastError()));
    return false;
  }
  // Under load Wine has refused a start now and then; the reason goes to the output, and one more
  // try tells a passing refusal from a program that cannot start.
  if (!process_.Start(exe, L"", folder_.path())) {
    std::printf("[ note     ] CreateProcess of Zelmor.exe failed with error %lu; trying once more\n",
                static_cast<unsigned long>(GetLastError()));
    std::fflush(stdout);
    Sleep(500);
    if (!process_.Start(exe, L"", folder_.path())) {
      std::printf("[ note     ] CreateProcess of Zelmor.exe failed again with error %lu\n",
                  static_cast<unsigned long>(GetLastError()));
      return false;
    }
  }
  const DWORD pid = process_.pid();
  window_ = WaitForWindow([pid] {
    HWND w = FindProcessWindow(pid, L"ZelmorMainWindow");
    return (w && IsWindowVisible(w)) ? w : nullptr;
  });
  if (window_) WaitForInputIdle(process_.process(), 5000);
  return window_ != nullptr;
}

void Zelmor::RequestClose() { PostMessageW(window_, WM_CLOSE, 0, 0); }

HWND WaitForWindow(const std::function<HWND()>& found, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND w = found()) return w;
    if (GetTickCount() - start > ms) return nullptr;
    Sleep(20);
  }
}

HWND FindProcessWindow(DWORD pid, const wchar_t* cls, const wchar_t* caption) {
  struct Search {
    DWORD pid;
    const wchar_t* cls;
    const wchar_t* caption;
    HWND result;
  } search{pid, cls, caption, nullptr};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner != s->pid) return TRUE;
        wchar_t name[256];
        GetClassNameW(w, name, 256);
        if (lstrcmpW(name, s->cls) != 0) return TRUE;
        if (s->caption && TextOf(w) != s->caption) return TRUE;
        s->result = w;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.result;
}

HWND WaitForDialog(DWORD pid, const std::wstring& caption, DWORD ms) {
  return WaitForWindow(
      [&] {
        HWND w = FindProcessWindow(pid, L"#32770", caption.c_str());
        return (w && IsWindowVisible(w)) ? w : nullptr;
      },
      ms);
}

std::wstring TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutW(window, WM_GETTEXT, length + 1, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got);
  return text;
}

std::wstring MessageText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

void PressButton(HWND dialog, int id) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SendCommand(HWND window, int id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void TypeChars(HWND control, const std::wstring& text) {
  for (wchar_t c : text) PostMessageW(control, WM_CHAR, c, 1);
  Settle(control);
}

void PressEnter(HWND control) {
  // Only the character: a posted key-down would be translated into a second Enter.
  PostMessageW(control, WM_CHAR, VK_RETURN, 1);
}

void Settle(HWND window) {
  // A sent message is handled only after everything posted before it.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &ignored);
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

RECT ChildRect(HWND child) {
  RECT r = WindowRectOf(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

int Twips(int pixels) {
  HDC dc = GetDC(nullptr);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return MulDiv(pixels, 1440, dpi);
}

std::string Ansi(const std::wstring& text) { return zelmor::base::ToAnsi(text); }
std::wstring FromAnsi(const std::string& bytes) { return zelmor::base::FromAnsi(bytes); }

}  // namespace e2e

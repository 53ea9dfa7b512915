#include "entry_support.h"

#include "entry/locale_win.h"
#include "settings/keys.h"

namespace e2e::logging_loop {

bool Tracker::Start(const TempFolder& folder, const std::wstring& arguments) {
  if (!process_.Start(BuildFolder() + L"\\tracker-sim.exe", arguments, folder.path())) return false;
  const DWORD pid = process_.pid();
  // The server answers from the moment its window exists.
  window_ = WaitForWindow([pid] { return FindProcessWindow(pid, L"CSATmateSimulator"); });
  if (window_) WaitForInputIdle(process_.process(), 5000);
  return window_ != nullptr;
}

bool Tracker::Close() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  return process_.WaitExit(10000);
}

void WriteTrackerValues(const std::wstring& path, const zelmor::entry::FeedSnapshot& values) {
  auto utf8 = [](const std::wstring& text) {
    std::string bytes(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                                              nullptr, 0, nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), bytes.data(),
                        static_cast<int>(bytes.size()), nullptr, nullptr);
    return bytes;
  };
  WriteBytes(path, "Label1=" + utf8(values.satellite_name) + "\r\nLabel2=" + utf8(values.receive_frequency) +
                       "\r\nLabel3=" + utf8(values.transmit_frequency) + "\r\nLabel15=" + utf8(values.rev) +
                       "\r\nLabel17=" + utf8(values.mode) + "\r\n");
}

zelmor::LocalTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::wstring ComposedLine(const zelmor::entry::FeedSnapshot& values, const std::wstring& memo,
                          const zelmor::LocalTime& at) {
  const auto line = zelmor::entry::LogLine(zelmor::settings::kDefaultTemplate, values, memo, at,
                                           zelmor::entry::CurrentLocaleFormats());
  return line ? *line : L"(no line)";
}

std::wstring FallbackAt(const std::wstring& memo, const zelmor::LocalTime& at) {
  return zelmor::entry::FallbackLine(memo, at, zelmor::entry::CurrentLocaleFormats());
}

void SendChars(HWND control, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  for (wchar_t c : text) SendMessageTimeoutW(control, WM_CHAR, c, 1, SMTO_NORMAL, 15000, &ignored);
}

bool SendEnter(HWND control, DWORD ms) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(control, WM_CHAR, VK_RETURN, 1, SMTO_NORMAL, ms, &ignored) != 0;
}

bool StartUnix(const std::wstring& command_line) {
  // Wine starts a program that is not a Windows executable as a plain Unix process. Its handle
  // cannot be waited on, so callers watch for its effect instead.
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::wstring command = command_line;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
    return false;
  // No handle to close: for a Unix program Wine fills the handles with whatever was on its
  // stack, and closing such a value can close one of this process's own handles.
  return true;
}

}  // namespace e2e::logging_loop

// A stand-in for Turbo HAMLOG/Win: a top-level window of class "TThwin" that takes one field per
// WM_COPYDATA, shows the latest text of each field, and writes every message it gets to a journal
// that tests read back.
//
//   logbook-sim.exe [--journal <path>] [--hang-ms <n>] [--position <x>,<y>]
//
// Journal line: dwData=0x<hex> cbData=<decimal> bytes=<hex of the cbData bytes> wParam=0x<hex>
// --hang-ms sleeps that long inside each WM_COPYDATA, after the journal line is written, to play a
// logging program that has stopped answering. --position puts the window's top-left corner there
// (pixels), for the demo.

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <string>

#include "base/codepage_win.h"
#include "base/handles_win.h"
#include "window/base_window_win.h"

namespace {

constexpr wchar_t kClassName[] = L"TThwin";
constexpr wchar_t kCaption[] = L"Turbo HAMLOG/Win simulator";
constexpr uint32_t kFieldCodeFlag = 0x20000;

struct Field {
  uint32_t code;
  const wchar_t* name;
};

constexpr std::array<Field, 11> kFields = {{
    {1, L"CALL"},
    {2, L"DATE"},
    {3, L"TIME"},
    {4, L"HisRST"},
    {5, L"MyRST"},
    {6, L"FREQ"},
    {7, L"MODE"},
    {8, L"CODE"},
    {11, L"NAME"},
    {13, L"REM-1"},
    {14, L"REM-2"},
}};

struct Options {
  std::wstring journal;
  DWORD hang_ms = 0;
  int left = CW_USEDEFAULT;
  int top = CW_USEDEFAULT;
};

Options ParseCommandLine() {
  Options options;
  int argc = 0;
  const zelmor::base::UniqueLocal<LPWSTR*> arguments(CommandLineToArgvW(GetCommandLineW(), &argc));
  if (!arguments) return options;
  LPWSTR* const argv = arguments.get();
  for (int i = 1; i + 1 < argc; ++i) {
    const std::wstring name = argv[i];
    if (name == L"--journal") {
      options.journal = argv[++i];
    } else if (name == L"--hang-ms") {
      options.hang_ms = static_cast<DWORD>(std::wcstoul(argv[++i], nullptr, 10));
    } else if (name == L"--position") {
      wchar_t* comma = nullptr;
      const long left = std::wcstol(argv[++i], &comma, 10);
      if (comma && *comma == L',') {
        options.left = static_cast<int>(left);
        options.top = static_cast<int>(std::wcstol(comma + 1, nullptr, 10));
      }
    }
  }
  return options;
}

class Journal {
 public:
  explicit Journal(const std::wstring& path) {
    if (path.empty()) return;
    file_.reset(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  }

  void Write(const COPYDATASTRUCT& data, WPARAM wparam) {
    if (!file_) return;
    char head[64];
    std::snprintf(head, sizeof head, "dwData=0x%llX cbData=%lu bytes=",
                  static_cast<unsigned long long>(data.dwData), static_cast<unsigned long>(data.cbData));
    std::string line = head;
    const auto* bytes = static_cast<const unsigned char*>(data.lpData);
    for (DWORD i = 0; bytes && i < data.cbData; ++i) {
      char hex[3];
      std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
      line += hex;
    }
    char tail[40];
    std::snprintf(tail, sizeof tail, " wParam=0x%llX\n", static_cast<unsigned long long>(wparam));
    line += tail;
    DWORD written = 0;
    WriteFile(file_.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    FlushFileBuffers(file_.get());
  }

 private:
  zelmor::base::UniqueFile file_;
};

class SimulatorWindow : public zelmor::window::Window {
 public:
  explicit SimulatorWindow(const Options& options)
      : journal_(options.journal), hang_ms_(options.hang_ms), left_(options.left), top_(options.top) {}

  bool Create(HINSTANCE instance, int show) {
    WNDCLASSEXW wc{};
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!zelmor::window::RegisterWindowClass(wc)) return false;
    hwnd_ = CreateOwnedWindow(0, kClassName, kCaption, WS_OVERLAPPEDWINDOW, left_, top_, 420, 360, nullptr, nullptr,
                              instance);
    if (!hwnd_) return false;
    ShowWindow(hwnd_, show);
    UpdateWindow(hwnd_);
    return true;
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_CREATE:
        OnCreate();
        return 0;
      case WM_COPYDATA:
        return OnCopyData(wparam, reinterpret_cast<const COPYDATASTRUCT*>(lparam));
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return Default(message, wparam, lparam);
    }
  }

 private:
  void OnCreate() {
    hwnd_ = hwnd();
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    for (size_t i = 0; i < kFields.size(); ++i) {
      const int top = 8 + static_cast<int>(i) * 24;
      HWND name = CreateWindowExW(0, L"STATIC", kFields[i].name, WS_CHILD | WS_VISIBLE, 8, top, 70, 20,
                                  hwnd_, nullptr, instance, nullptr);
      values_[i] = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_SUNKEN | SS_NOPREFIX,
                                   84, top, 310, 20, hwnd_, nullptr, instance, nullptr);
      SendMessageW(name, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
      SendMessageW(values_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    last_ = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_NOPREFIX, 8,
                            8 + static_cast<int>(kFields.size()) * 24, 390, 20, hwnd_, nullptr, instance,
                            nullptr);
    SendMessageW(last_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }

  LRESULT OnCopyData(WPARAM wparam, const COPYDATASTRUCT* data) {
    if (!data) return FALSE;
    journal_.Write(*data, wparam);

    const std::string bytes = data->lpData
                                  ? std::string(static_cast<const char*>(data->lpData), data->cbData)
                                  : std::string();
    const std::wstring text = zelmor::base::FromAnsi(bytes);
    const uint32_t code = static_cast<uint32_t>(data->dwData) & ~kFieldCodeFlag;
    for (size_t i = 0; i < kFields.size(); ++i) {
      if (kFields[i].code == code) SetWindowTextW(values_[i], text.c_str());
    }
    wchar_t last[64];
    std::swprintf(last, 64, L"last: dwData=0x%llX cbData=%lu",
                  static_cast<unsigned long long>(data->dwData), static_cast<unsigned long>(data->cbData));
    SetWindowTextW(last_, last);

    if (hang_ms_ > 0) Sleep(hang_ms_);
    return TRUE;
  }

  Journal journal_;
  DWORD hang_ms_;
  int left_;
  int top_;
  HWND hwnd_ = nullptr;
  std::array<HWND, kFields.size()> values_ = {};
  HWND last_ = nullptr;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  SimulatorWindow window(ParseCommandLine());
  if (!window.Create(instance, show)) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

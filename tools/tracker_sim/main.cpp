// tracker-sim.exe: stands in for the satellite tracking program. It is a DDE server for service
// "CSATmate", topic "CALSAT_RigControl", answering requests (cold links only, CF_TEXT) for
//   Label1   satellite name                     e.g. RS-44
//   Label2   downlink (receive) frequency, Hz   e.g. 435.640.120
//   Label3   uplink (transmit) frequency, Hz    e.g. 145.964.880
//   Label15  Rev (orbit number)                 e.g. 21847
//   Label17  mode                               e.g. USB
// and shows the values in a small window captioned "CSATmate simulator" (class
// "CSATmateSimulator"). Closing that window (WM_CLOSE) terminates every conversation and quits.
//
// Without options it simulates passes of RS-44, ISS and SO-50, ten minutes each, with the
// frequencies Doppler-shifted as a tracking program corrects them.
//
// With --program it stands in for another tracking program instead, with the same passes:
//   --program satpc32   service "SatPC32", topic "SatPcDdeConv", one item "SatPcDdeItem":
//                       SNRS-44 AZ135.0 EL42.4 UP145965123 UMLSB DN435639877 DMUSB MA50.0
//   --program orbitron  service "Orbitron", topic "Tracking", items "TrackingDataEx"
//                       (SN"RS-44" AZ... EL... RA... DN... UP... DM... UM... TU...) and
//                       "TrackingData" (SNRS-44 AZ... EL... DN... UP... DM... UM..., "_" for a blank)
//   --program csatmate  the default.
//   --decimal-comma     AZ, EL and MA written with a decimal comma, as some machines do.
// Its window is then captioned "SatPC32 simulator" or "Orbitron simulator" (class
// "SatPC32Simulator", "OrbitronSimulator").
//
// Options (for tests):
//   --values <file>     serve the values of <file> instead: one "item=value" line per item of the
//                       program ("SatPcDdeItem=** NO SATELLITE **"),
//                       UTF-8 (BOM optional) or the ANSI code page; any text, empty included.
//                       The file is read again at every request. An item without a line, or an
//                       unreadable file, is refused (negative WM_DDE_ACK). The value "@count"
//                       is served as the number of answers given for that item so far, this one
//                       included (1, 2, 3, ...).
//   --hang-after <n>    answer n requests, then hang for good in the next one (it stops
//                       pumping messages, as a frozen program does).
//   --hang-file <path>  while <path> exists at request time, hang (no message pumping) and
//                       answer only once it has been removed.
//   --ddeml             serve with DDEML instead of the raw DDE messages (Wine's DDEML server
//                       follows every answer with an extra positive WM_DDE_ACK).
//   --ack-request       ask the client to acknowledge each answer (fAckReq).
//   --crlf              end each value with CR LF, as some DDE servers end text items.
//   --position <x>,<y>  put the window's top-left corner there (pixels); for the demo.
// Exit code 0 after a normal close, 2 for an unknown option, 1 when it could not start; then
// it writes the step that failed and its error on its standard error, and nothing otherwise.

#include "tracker_sim.h"

#include <shellapi.h>

#include <memory>
#include <string>

namespace tracker_sim {
namespace {

constexpr UINT_PTR kRefreshTimer = 1;

class SimulatorWindow : public zelmor::window::Window {
 public:
  explicit SimulatorWindow(Tracker& tracker) : tracker_(tracker) {}

  bool Create(int show) {
    WNDCLASSEXW wc{};
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    const ProgramNames& names = NamesOf(tracker_.options().program);
    wc.lpszClassName = names.window_class;
    if (!zelmor::window::RegisterWindowClass(wc)) {
      ReportFailure("registering the window class", GetLastError());
      return false;
    }
    hwnd_ = CreateOwnedWindow(0, names.window_class, names.caption, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                              tracker_.options().left, tracker_.options().top, 420, 190, nullptr, nullptr,
                              GetModuleHandleW(nullptr));
    if (!hwnd_) {
      ReportFailure("making the window", GetLastError());
      return false;
    }
    ShowWindow(hwnd_, show);
    return true;
  }

  bool serving() const { return raw_ || (ddeml_ && ddeml_->ok()); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wparam, LPARAM lparam) override {
    switch (message) {
      case WM_CREATE:
        hwnd_ = hwnd();
        return OnCreate();
      case WM_DDE_INITIATE:
        if (raw_) raw_->OnInitiate(reinterpret_cast<HWND>(wparam), lparam);
        return 0;
      case WM_TIMER:
        InvalidateRect(hwnd_, nullptr, TRUE);
        return 0;
      case WM_PAINT:
        OnPaint();
        return 0;
      case WM_CLOSE:
        OnClose();
        return 0;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return Default(message, wparam, lparam);
    }
  }

 private:
  LRESULT OnCreate() {
    if (tracker_.options().ddeml) {
      ddeml_ = std::make_unique<DdemlServer>(tracker_);
    } else {
      raw_ = std::make_unique<RawServer>(tracker_, hwnd_);
    }
    SetTimer(hwnd_, kRefreshTimer, 1000, nullptr);
    return 0;
  }

  void OnClose() {
    KillTimer(hwnd_, kRefreshTimer);
    raw_.reset();  // terminates its conversations
    ddeml_.reset();
    DestroyWindow(hwnd_);
  }

  void OnPaint() {
    static const wchar_t* const kMeanings[kItemCount] = {L"satellite", L"downlink Hz", L"uplink Hz", L"Rev",
                                                         L"mode"};
    const ProgramNames& names = NamesOf(tracker_.options().program);
    const auto values = tracker_.Shown();
    std::wstring text;
    for (int i = 0; i < names.item_count; ++i) {
      if (tracker_.options().program == Program::kCsatmate) {
        text += std::wstring(names.items[i]) + L" (" + kMeanings[i] + L")\t" + values[static_cast<size_t>(i)] + L"\r\n";
      } else {
        // One long text: under its item's name, wrapped to the window.
        text += std::wstring(names.items[i]) + L"\r\n  " + values[static_cast<size_t>(i)] + L"\r\n";
      }
    }
    text += L"answered\t" + std::to_wstring(tracker_.answered()) + L"\r\n";
    text += tracker_.options().values_file.empty() ? std::wstring(L"simulated pass")
                                                   : L"values from " + tracker_.options().values_file;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    const HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    RECT area;
    GetClientRect(hwnd_, &area);
    InflateRect(&area, -8, -6);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area,
              DT_LEFT | DT_TOP | DT_EXPANDTABS | DT_TABSTOP | (16 << 8) | DT_NOPREFIX | DT_WORDBREAK);
    SelectObject(dc, old);
    EndPaint(hwnd_, &ps);
  }

  Tracker& tracker_;
  HWND hwnd_ = nullptr;
  std::unique_ptr<RawServer> raw_;
  std::unique_ptr<DdemlServer> ddeml_;
};

}  // namespace

void ReportFailure(const char* step, unsigned long error) {
  char line[160];
  const int length = wsprintfA(line, "%s: error %lu\r\n", step, error);
  DWORD written = 0;
  const HANDLE errors = GetStdHandle(STD_ERROR_HANDLE);
  if (errors && errors != INVALID_HANDLE_VALUE) WriteFile(errors, line, static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace tracker_sim

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int show) {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  tracker_sim::Options options;
  const bool parsed = argv && tracker_sim::ParseOptions(argc - 1, argv + 1, options);
  if (argv) LocalFree(argv);
  if (!parsed) {
    tracker_sim::ReportFailure("reading its arguments", ERROR_INVALID_PARAMETER);
    return 2;
  }

  tracker_sim::Tracker tracker(std::move(options));
  tracker_sim::SimulatorWindow window(tracker);
  // A server that could not start has said why.
  if (!window.Create(show) || !window.serving()) return 1;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

// Benchmark, not a test (disabled; run with --gtest_also_run_disabled_tests): where the time of
// "LOG Open(O)" goes for large logs. Each step that the command takes is timed on its own, in this
// process: reading the file, converting it from the ANSI code page, making the pane's text, and
// handing it to a log pane (an EDIT control of the class and style Zelmor uses), then moving the
// caret to the end.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "harness.h"
#include "logfiles/log_text.h"
#include "logfiles/text_files_win.h"
#include "base/atomic_file_win.h"
#include "base/handles_win.h"

namespace e2e {
namespace {

double Since(LARGE_INTEGER from) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

LARGE_INTEGER Tick() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

// Zelmor's pane font: 12-point bold gothic.
zelmor::base::UniqueFont PaneFont() {
  LOGFONTW font{};
  font.lfHeight = -MulDiv(12, GetDeviceCaps(zelmor::base::WindowDc(nullptr).get(), LOGPIXELSY), 72);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = SHIFTJIS_CHARSET;
  font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  lstrcpynW(font.lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE);
  return zelmor::base::UniqueFont(CreateFontIndirectW(&font));
}

// The log pane as Zelmor makes it: multi-line, scroll bars, no word wrap, no text limit.
HWND MakePane(HFONT font) {
  HWND pane = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                                  ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL,
                              0, 0, 465, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(pane, EM_SETLIMITTEXT, 0, 0);
  SendMessageW(pane, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return pane;
}

// Zelmor's manifest asks for the version 6 common controls, whose EDIT class differs from the
// system one: the panes made while this is alive are of that class, as Zelmor's is.
class ZelmorControls {
 public:
  ZelmorControls() {
    const std::wstring exe = BuildFolder() + L"\\Zelmor.exe";
    ACTCTXW context{};
    context.cbSize = sizeof context;
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = exe.c_str();
    context.lpResourceName = MAKEINTRESOURCEW(1);
    context_ = CreateActCtxW(&context);
    if (context_ != INVALID_HANDLE_VALUE && ActivateActCtx(context_, &cookie_)) {
      LoadLibraryW(L"comctl32.dll");
    }
  }
  ~ZelmorControls() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
  }
  bool ok() const { return cookie_ != 0; }

 private:
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

TEST(LogOpenBenchmark, DISABLED_StepsOfLogOpen) {
  ZelmorControls controls;
  ASSERT_TRUE(controls.ok()) << "no activation context from Zelmor.exe's manifest";
  struct Kind {
    const char* what;
    std::wstring line;
  };
  const Kind kinds[] = {
      {"Japanese", L"2026/12/7 21:05J CQ 599 移動運用 %Sat=RS-44/Rev:21847% Up=145.965/Down=435.640"},
      {"ASCII", L"2026/12/7 21:05J CQ 599 portable %Sat=RS-44/Rev:21847% Up=145.965/Down=435.640"},
  };
  TempFolder folder;
  const zelmor::base::UniqueFont font = PaneFont();
  std::printf("%-9s %6s %8s %9s %9s %9s %10s %9s\n", "text", "MB", "lines", "read ms", "convert", "pane text",
              "SetWindow", "caret");
  struct Size {
    const Kind& kind;
    size_t megabytes;
  };
  const Size sizes[] = {{kinds[0], 1}, {kinds[0], 10}, {kinds[0], 50}, {kinds[1], 10}};
  for (const auto& [kind, megabytes] : sizes) {
    const std::wstring line = kind.line + L"\r\n";
    const size_t lines = (megabytes << 20) / Ansi(line).size();
    std::wstring text;
    text.reserve(lines * line.size());
    for (size_t n = 0; n < lines; ++n) text += line;
    const std::wstring path = folder.File(L"log.txt");
    WriteBytes(path, Ansi(text));

    LARGE_INTEGER t = Tick();
    std::string bytes;
    ASSERT_EQ(zelmor::base::ReadFileContent(path, bytes), DWORD{ERROR_SUCCESS});
    const double read_ms = Since(t);
    t = Tick();
    zelmor::logfiles::AnsiTextFiles files;
    std::wstring file_text;
    ASSERT_TRUE(files.Read(path, file_text));
    const double convert_ms = Since(t) - read_ms;
    t = Tick();
    const std::wstring pane_text = zelmor::logfiles::PaneTextFromFile(file_text);
    const double pane_ms = Since(t);
    HWND pane = MakePane(font.get());
    t = Tick();
    SetWindowTextW(pane, pane_text.c_str());
    const double set_ms = Since(t);
    t = Tick();
    const LRESULT end = GetWindowTextLengthW(pane);
    SendMessageW(pane, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageW(pane, EM_SCROLLCARET, 0, 0);
    const double caret_ms = Since(t);
    ASSERT_EQ(static_cast<size_t>(end), pane_text.size());
    DestroyWindow(pane);
    std::printf("%-9s %6zu %8zu %9.0f %9.0f %9.0f %10.0f %9.0f\n", kind.what, megabytes, lines, read_ms,
                convert_ms, pane_ms, set_ms, caret_ms);
    std::fflush(stdout);
  }
}

}  // namespace
}  // namespace e2e

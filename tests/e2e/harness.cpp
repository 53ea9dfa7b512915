#include "harness.h"

#include <shellapi.h>


#include "base/resource.h"
#include "base/codepage_win.h"

namespace e2e {

std::wstring ZelmorText(UINT id) {
  // Loaded as data: its resources are read, none of its code runs.
  static const HMODULE exe = LoadLibraryExW((BuildFolder() + L"\\Zelmor.exe").c_str(), nullptr,
                                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  const wchar_t* text = nullptr;
  const int length = exe ? LoadStringW(exe, id, reinterpret_cast<LPWSTR>(&text), 0) : 0;
  return length > 0 ? std::wstring(text, static_cast<size_t>(length))
                    : L"(no text " + std::to_wstring(id) + L" in Zelmor.exe)";
}

::testing::AssertionResult Zelmor::Start() {
  const std::wstring exe = folder_.File(L"Zelmor.exe");
  if (!FileExists(exe) && !CopyFileW((BuildFolder() + L"\\Zelmor.exe").c_str(), exe.c_str(), FALSE)) {
    return ::testing::AssertionFailure() << "copying Zelmor.exe failed with error " << GetLastError();
  }
  // A start that Wine refuses is tried once more by Child::Start.
  if (!process_.Start(exe, L"", folder_.path())) {
    return ::testing::AssertionFailure() << "Zelmor.exe " << process_.State() << ", tried twice";
  }
  const DWORD pid = process_.pid();
  // A program that ended is not waited for.
  WaitUntil([this, pid] {
    return (window_ = VisibleProcessWindow(pid, L"ZelmorMainWindow")) != nullptr || !process_.Running();
  });
  if (!window_) return ::testing::AssertionFailure() << "no main window came up: " << Situation();
  WaitForInputIdle(process_.process(), 5000);
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Zelmor::WaitExit(DWORD ms) {
  if (process_.WaitExit(ms)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "not ended after " << ms << " ms: " << Situation();
}

std::string Zelmor::Situation() const {
  const std::string state = "Zelmor.exe " + process_.State();
  return process_.Running() ? state + ", showing " + ShownDialogs(pid()) : state;
}

HWND Zelmor::pane() const { return control(IDC_LOG_PANE); }
HWND Zelmor::entry_box() const { return control(IDC_ENTRY_BOX); }

HWND Zelmor::WaitForMessageBox(DWORD ms) const { return WaitForDialog(pid(), ZelmorText(IDS_APP_TITLE), ms); }

::testing::AssertionResult Zelmor::PlacedAt(int top, int left, int width, int height) const {
  const int dpi = DpiOf(window_);
  RECT expected{TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), 0, 0};
  expected.right = expected.left + TwipsToPixels(width, dpi);
  expected.bottom = expected.top + TwipsToPixels(height, dpi);
  const RECT actual = WindowRectOf(window_);
  if (EqualRect(&actual, &expected)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the window stands at " << Describe(actual) << " instead of "
                                       << Describe(expected) << " (" << dpi << " dpi)";
}

void Zelmor::RequestClose() { PostMessageW(window_, WM_CLOSE, 0, 0); }

std::string Ansi(const std::wstring& text) { return zelmor::base::ToAnsi(text); }
std::wstring FromAnsi(const std::string& bytes) { return zelmor::base::FromAnsi(bytes); }

}  // namespace e2e

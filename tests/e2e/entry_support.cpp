#include "entry_support.h"

#include <algorithm>

#include "base/paths.h"
#include "base/resource.h"
#include "entry/locale_win.h"
#include "entry/log_format.h"

namespace e2e::logging_loop {

std::wstring ServedValues(const TempFolder& folder, const zelmor::entry::FeedSnapshot& values) {
  const std::wstring path = folder.File(L"values.txt");
  WriteTrackerValues(path, values);
  return L"--values \"" + path + L"\"";
}

void WriteTrackerText(const OtherTracker& tracker, const std::wstring& file, const std::wstring& text) {
  WriteBytes(file, Utf8(tracker.item) + "=" + Utf8(text) + "\r\n");
}

std::unique_ptr<TrackerSim> StartTracker(const OtherTracker& tracker, const std::wstring& file,
                                         const std::wstring& text) {
  WriteTrackerText(tracker, file, text);
  const std::wstring folder = zelmor::base::FolderOf(file);
  return std::make_unique<TrackerSim>(L"--program " + std::wstring(tracker.program) + L" --values \"" + file + L"\"",
                                      folder, tracker.window_class);
}

void WriteTrackerValues(const std::wstring& path, const zelmor::entry::FeedSnapshot& values) {
  WriteBytes(path, "Label1=" + Utf8(values.satellite_name) + "\r\nLabel2=" + Utf8(values.receive_frequency) +
                       "\r\nLabel3=" + Utf8(values.transmit_frequency) + "\r\nLabel15=" + Utf8(values.rev) +
                       "\r\nLabel17=" + Utf8(values.mode) + "\r\n");
}

zelmor::LocalTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

::testing::AssertionResult TimedEnter(Zelmor& app, const std::wstring& memo, Moment& m, DWORD ms) {
  SendChars(app.entry_box(), memo);
  m.before = Now();
  const bool answered = SendEnter(app.entry_box(), ms);
  m.after = Now();
  if (answered) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the entry box did not take Enter after \"" << Utf8(memo) << "\" within "
                                       << ms << " ms: " << app.Situation();
}

SYSTEMTIME PlusMinutes(const SYSTEMTIME& t, int minutes) {
  FILETIME file;
  SystemTimeToFileTime(&t, &file);
  ULARGE_INTEGER ticks{};
  ticks.LowPart = file.dwLowDateTime;
  ticks.HighPart = file.dwHighDateTime;
  ticks.QuadPart += static_cast<int64_t>(minutes) * 60 * 10000000;
  file.dwLowDateTime = ticks.LowPart;
  file.dwHighDateTime = ticks.HighPart;
  SYSTEMTIME out;
  FileTimeToSystemTime(&file, &out);
  return out;
}

std::wstring ComposedLine(const zelmor::entry::FeedSnapshot& values, const std::wstring& memo,
                          const zelmor::LocalTime& at) {
  const auto line = zelmor::entry::LogLine(zelmor::entry::kDefaultTemplate, values, memo, at,
                                           zelmor::entry::CurrentLocaleFormats());
  return line ? *line : L"(no line)";
}

std::wstring FallbackAt(const std::wstring& memo, const zelmor::LocalTime& at) {
  return zelmor::entry::FallbackLine(memo, at, zelmor::entry::CurrentLocaleFormats());
}

::testing::AssertionResult AppendedOneOf(const std::wstring& pane, const std::wstring& before,
                                         const std::wstring& line1, const std::wstring& line2) {
  if (pane == before + line1 + L"\r\n" || pane == before + line2 + L"\r\n") return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "pane: " << Utf8(pane) << "\nexpected after: " << Utf8(before) << "\n  "
                                       << Utf8(line1) << "\nor " << Utf8(line2);
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

bool Preload(Zelmor& app, const std::wstring& path) {
  SendCommand(app.window(), IDM_VIEW_SAFETY_COPY);
  HWND dialog = WaitForAnyDialog(app.pid());
  if (dialog && TextOf(dialog) == ZelmorText(IDS_APP_TITLE)) {
    PressButton(dialog, IDYES);
    dialog = WaitForDialog(app.pid(), ZelmorText(IDS_SAFETY_COPY_TITLE));
  }
  if (!dialog) return false;
  SendMessageW(GetDlgItem(dialog, kFileNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PressButton(dialog, IDOK);
  return WaitDestroyed(dialog, 30000) && Settle(app.window(), 120000);
}

double UntilRepainted(const Zelmor& app, LARGE_INTEGER start) {
  while (GetUpdateRect(app.pane(), nullptr, FALSE) || GetUpdateRect(app.window(), nullptr, FALSE)) SwitchToThread();
  Settle(app.window());
  return Milliseconds(start, Tick());
}

bool Quiet(const Zelmor& app) {
  const auto painted = [&] {
    return !GetUpdateRect(app.window(), nullptr, FALSE) && !GetUpdateRect(app.pane(), nullptr, FALSE);
  };
  // Validated as a paint begins; the sent message is answered once that paint is over.
  return WaitUntil(painted, 30000) && Settle(app.window(), 30000);
}

LARGE_INTEGER Tick() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t;
}

}  // namespace e2e::logging_loop

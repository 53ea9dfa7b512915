// The release package as an operator meets it: the Zelmor.exe of the unpacked zip, started in
// that folder beside the tracking-program simulator, one entry, a clean close. ./test.sh unpacks
// the x64 package into a fresh folder and names it in ZELMOR_PACKAGE_DIR.

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/resource.h"
#include "app/geometry.h"
#include "entry_support.h"
#include "harness.h"
#include "zelmor_version.h"

namespace e2e {
namespace {

using namespace logging_loop;

TEST(PackageE2E, UnpackedZelmorLogsAnEntryAndClosesCleanlyInItsOwnFolder) {
  const wchar_t* unpacked = _wgetenv(L"ZELMOR_PACKAGE_DIR");
  if (!unpacked || !*unpacked) {
    GTEST_SKIP() << "ZELMOR_PACKAGE_DIR is not set; ./test.sh sets it to the unpacked x64 package";
  }
  const std::wstring folder = unpacked;
  auto file = [&folder](const wchar_t* name) { return folder + L"\\" + name; };
  ASSERT_TRUE(FileExists(file(L"Zelmor.exe"))) << Utf8(folder);
  // Notepad on Japanese Windows reads text without a byte-order mark as Shift-JIS.
  for (const wchar_t* guide : {L"Zelmor-guide-ja.txt", L"Zelmor-guide-en.txt"}) {
    const std::string text = ReadBytes(file(guide));
    EXPECT_EQ(text.substr(0, 3), "\xEF\xBB\xBF") << Utf8(guide);
    for (size_t lf = text.find('\n'); lf != std::string::npos; lf = text.find('\n', lf + 1)) {
      ASSERT_TRUE(lf > 0 && text[lf - 1] == '\r') << Utf8(guide) << ": a line without CR LF at byte " << lf;
    }
  }
  EXPECT_TRUE(FileExists(file(L"LICENSE")));
  // As unpacked: whatever an earlier round left would bring questions of its own.
  DeleteFileW(file(L"Zelmor.ini").c_str());
  DeleteFileW(file(L"Zelmor_temp.txt").c_str());

  TempFolder scratch;
  const zelmor::entry::FeedSnapshot served{L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"};
  TrackerSim tracker(ServedValues(scratch, served), scratch.path());
  ASSERT_TRUE(tracker.ready());

  Child zelmor;
  ASSERT_TRUE(zelmor.Start(file(L"Zelmor.exe"), L"", folder));
  const DWORD pid = zelmor.pid();
  HWND window = WaitForWindow([pid] {
    HWND w = FindProcessWindow(pid, L"ZelmorMainWindow");
    return (w && IsWindowVisible(w)) ? w : nullptr;
  });
  ASSERT_NE(window, nullptr);
  // The package is named after the same version.
  EXPECT_EQ(TextOf(window), L"Zelmor Ver " + zelmor::app::FormatVersion(ZELMOR_VERSION_MAJOR, ZELMOR_VERSION_MINOR,
                                                                       ZELMOR_VERSION_PATCH));

  const std::wstring memo = L"JA1ZLM 59 59";
  HWND box = GetDlgItem(window, IDC_ENTRY_BOX);
  SendChars(box, memo);
  const zelmor::LocalTime before = Now();
  ASSERT_TRUE(SendEnter(box));
  const zelmor::LocalTime after = Now();
  const std::wstring pane = TextOf(GetDlgItem(window, IDC_LOG_PANE));
  EXPECT_TRUE(pane == ComposedLine(served, memo, before) + L"\r\n" || pane == ComposedLine(served, memo, after) + L"\r\n")
      << Utf8(pane);
  EXPECT_EQ(ReadBytes(file(L"Zelmor_temp.txt")), Ansi(pane + L"\r\n"));

  PostMessageW(window, WM_CLOSE, 0, 0);
  HWND question = WaitForDialog(pid, L"Zelmor");
  ASSERT_NE(question, nullptr);
  PressButton(question, IDYES);
  ASSERT_TRUE(zelmor.WaitExit(10000));
  DWORD exit_code = 1;
  GetExitCodeProcess(zelmor.process(), &exit_code);
  EXPECT_EQ(exit_code, 0u);
  const std::string ini = ReadBytes(file(L"Zelmor.ini"));
  EXPECT_NE(ini.find("[LOGpos]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("ELWidth="), std::string::npos) << ini;
  // Closed normally: the next start has nothing to offer back.
  EXPECT_NE(ini.find("Running=0"), std::string::npos) << ini;
}

}  // namespace
}  // namespace e2e

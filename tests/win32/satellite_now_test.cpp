// The satellite the hint asks for, on a thread and a DDE conversation of its own, against
// tracker-sim.exe: the answer posted to a window, a tracking program missing, hung, or closed and
// started again.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "base/codepage_win.h"
#include "entry/satellite_now_win.h"
#include "files_win.h"
#include "printable.h"
#include "processes_win.h"
#include "windows_win.h"

namespace zelmor::entry {
namespace {

using test_support::TempFolder;
using test_support::TrackerSim;

constexpr UINT kAnswered = WM_APP + 7;

void ServeSatellite(const std::wstring& file, const std::wstring& satellite) {
  test_support::WriteBytes(file, base::ToAnsi(L"Label1=" + satellite + L"\r\n"));
}

// A message-only window of this thread that the asking thread posts to.
class Receiver {
 public:
  Receiver() {
    window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), nullptr);
  }
  ~Receiver() { DestroyWindow(window_); }
  HWND window() const { return window_; }

  // The next answer once it is posted; "(no post)" after 30 s, "(none)" for an answer of none.
  std::wstring Next(SatelliteNow& now) {
    MSG msg;
    const bool posted = test_support::WaitUntil(
        [&] { return PeekMessageW(&msg, window_, kAnswered, kAnswered, PM_REMOVE) != FALSE; }, 30000);
    if (!posted) return L"(no post)";
    const auto answer = now.TakeAnswer();
    if (!answer) return L"(no answer kept)";
    return answer->satellite.value_or(L"(none)");
  }

 private:
  HWND window_;
};

TEST(SatelliteNowTest, AnswersWhatTheTrackerServesNowAndFollowsItsNewRun) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  ServeSatellite(values, L"RS-44");
  Receiver receiver;
  SatelliteNow now(receiver.window(), kAnswered);
  {
    TrackerSim tracker(L"--values \"" + values + L"\"");
    ASSERT_TRUE(tracker.ready());
    ASSERT_TRUE(now.Ask());
    EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "RS-44");
    // A new pass, on another satellite.
    ServeSatellite(values, L" SO-50 ");
    ASSERT_TRUE(now.Ask());
    EXPECT_EQ(test_support::Utf8(receiver.Next(now)), " SO-50 ");
    ASSERT_TRUE(tracker.Close());
  }
  ASSERT_TRUE(now.Ask());
  EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "(none)") << "the tracking program has gone";

  ServeSatellite(values, L"ISS");
  TrackerSim again(L"--values \"" + values + L"\"");
  ASSERT_TRUE(again.ready());
  ASSERT_TRUE(now.Ask());
  EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "ISS") << "connected to the new run";
  EXPECT_TRUE(now.Stop(5000));
}

// The caller only ever posts: a hung tracking program costs the asking thread its time-out, and
// an answer that comes late is not taken for the next question.
TEST(SatelliteNowTest, HungTrackerGivesNoneAndItsLateAnswerIsNotTaken) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  const std::wstring hang = folder.File(L"hang.flag");
  ServeSatellite(values, L"@count");
  TrackerSim tracker(L"--values \"" + values + L"\" --hang-file \"" + hang + L"\"");
  ASSERT_TRUE(tracker.ready());
  Receiver receiver;
  SatelliteNow now(receiver.window(), kAnswered, 500);
  ASSERT_TRUE(now.Ask());
  EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "1");

  test_support::WriteBytes(hang, "");
  ASSERT_TRUE(now.Ask());
  EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "(none)");
  DeleteFileW(hang.c_str());
  ASSERT_TRUE(now.Ask());
  EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "3") << "the answer to the abandoned question was 2";
}

TEST(SatelliteNowTest, WithoutATrackerTheAnswerIsNone) {
  Receiver receiver;
  SatelliteNow now(receiver.window(), kAnswered);
  ASSERT_TRUE(now.Ask());
  EXPECT_EQ(test_support::Utf8(receiver.Next(now)), "(none)");
}

}  // namespace
}  // namespace zelmor::entry

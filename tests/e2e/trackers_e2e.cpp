// SatPC32 and Orbitron beside CSATmate, seen from outside: tracker-sim standing in for each, the
// line an Enter writes from its text, the fallback line when it has no satellite, the program
// changed while Zelmor runs (closed and another started, or chosen in "追跡ソフト(&R)"), and the
// lines without a Rev exported to ADIF.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "adif_support.h"
#include "base/resource.h"
#include "entry_support.h"
#include "harness.h"
#include "logfiles_support.h"

namespace e2e {
namespace {

using namespace logging_loop;

using zelmor::entry::FeedSnapshot;

const wchar_t kFo29Text[] = L"SNFO-29 AZ56.7 EL6.8 UP145951275 UMLSB DN435853062 DMUSB MA52.6";
const FeedSnapshot kFo29{L"FO-29", L"435.853.062", L"145.951.275", L"", L"USB"};
const wchar_t kAo91Text[] =
    L"SN\"AO-91\" AZ123.4 EL12.3 RA1234.5 RR-2.345 LO139.7 LA35.7 AL800.1 DN145960000 UP435250000 DMFM UMFM "
    L"TU20240305120000 AOS\"2024-03-05 12:10:00\"";
const FeedSnapshot kAo91{L"AO-91", L"145.960.000", L"435.250.000", L"", L"FM"};

// One Enter; true when the pane grew by the line `values` compose for `memo`, or by the fallback
// line when there are none.
::testing::AssertionResult EnterWrites(Zelmor& app, const std::wstring& memo,
                                       const std::optional<FeedSnapshot>& values) {
  const std::wstring before = app.PaneText();
  SendChars(app.entry_box(), memo);
  const zelmor::LocalTime from = Now();
  if (!SendEnter(app.entry_box())) return ::testing::AssertionFailure() << "Enter was not handled";
  const zelmor::LocalTime to = Now();
  if (values) return AppendedOneOf(app.PaneText(), before, ComposedLine(*values, memo, from), ComposedLine(*values, memo, to));
  return AppendedOneOf(app.PaneText(), before, FallbackAt(memo, from), FallbackAt(memo, to));
}

// A choice in "追跡ソフト(&R)", sent rather than posted so that it is over when this returns: the
// command looks for the program at once, and a message sent to Zelmor while it waits on the DDE
// servers would be handled in the middle of that.
void Choose(Zelmor& app, int id) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(app.window(), WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, 15000, &ignored);
}

TEST(TrackersE2E, EnterWritesTheLineOfEachProgramsText) {
  struct Row {
    const OtherTracker& tracker;
    const wchar_t* text;
    std::optional<FeedSnapshot> line;
  };
  const Row rows[] = {
      {kSatPc32, kFo29Text, kFo29},
      // A decimal comma in AZ, EL and MA, and a name with a blank.
      {kSatPc32, L"SNAO 7 AZ56,7 EL6,8 UP145900000 UMLSB DN29450000 DMUSB MA52,6",
       FeedSnapshot{L"AO 7", L"29.450.000", L"145.900.000", L"", L"USB"}},
      {kSatPc32, L"** NO SATELLITE **", std::nullopt},
      {kOrbitron, kAo91Text, kAo91},
      // An Orbitron that serves only TrackingData, where "_" stands for a blank.
      {kOrbitronPlain, L"SNAO_7 AZ123.4 EL12.3 DN29450000 UP145900000 DMUSB UMLSB",
       FeedSnapshot{L"AO 7", L"29.450.000", L"145.900.000", L"", L"USB"}},
      {kOrbitron, L"", std::nullopt},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.tracker.name) + ": " + Ansi(row.text));
    TempFolder folder;
    const auto tracker = StartTracker(row.tracker, folder.File(L"values.txt"), row.text);
    ASSERT_TRUE(tracker->ready());
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());
    EXPECT_TRUE(EnterWrites(app, L"JA1ABC 59 57", row.line));
    EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
    // The labels carry what the program sent, no Rev among it.
    if (row.line) {
      EXPECT_EQ(TextOf(app.control(IDC_FEED_LABEL1)), row.line->satellite_name);
      EXPECT_EQ(TextOf(app.control(IDC_FEED_LABEL4)), L"");
    }
  }
}

TEST(TrackersE2E, TheProgramIsSwitchedWhileZelmorRuns) {
  TempFolder folder;
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(EnterWrites(app, L"JA1ABC", std::nullopt));

  // Started after Zelmor: found at the next Enter.
  auto satpc32 = StartTracker(kSatPc32, folder.File(L"satpc32.txt"), kFo29Text);
  ASSERT_TRUE(satpc32->ready());
  EXPECT_TRUE(EnterWrites(app, L"JA2DEF", kFo29));

  // Closed, and another started.
  ASSERT_TRUE(satpc32->Close());
  const auto orbitron = StartTracker(kOrbitron, folder.File(L"orbitron.txt"), kAo91Text);
  ASSERT_TRUE(orbitron->ready());
  EXPECT_TRUE(EnterWrites(app, L"JA3GHI", kAo91));

  // CSATmate started beside it: the program that answers goes on being read.
  const FeedSnapshot csatmate_values{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  TrackerSim csatmate(ServedValues(folder, csatmate_values), folder.path());
  ASSERT_TRUE(csatmate.ready());
  EXPECT_TRUE(EnterWrites(app, L"JA4JKL", kAo91));

  // Chosen in the menu: that program from then on, and the choice is kept.
  Choose(app, IDM_TRACKER_CSATMATE);
  EXPECT_TRUE(EnterWrites(app, L"JA5MNO", csatmate_values));
  EXPECT_NE(app.Ini().find("Tracker=CSATmate"), std::string::npos) << app.Ini();

  // A program chosen that does not run: the fallback line, though two others do.
  Choose(app, IDM_TRACKER_SATPC32);
  EXPECT_TRUE(EnterWrites(app, L"JA6PQR", std::nullopt));

  Choose(app, IDM_TRACKER_AUTO);
  EXPECT_TRUE(EnterWrites(app, L"JA7STU", csatmate_values));
  EXPECT_NE(app.Ini().find("Tracker=auto"), std::string::npos) << app.Ini();
}

// The start-up's look for the tracking program goes on once the window is ready, so an Enter may
// come in the middle of it; here it is sent, as another program sends it. It waits for the look-up
// and is written once, in its turn, with the values of the program found, its line on disk when
// the message returns. A window that answers nothing makes each initiate wait out its time-out, so
// the look-up still runs when the Enter comes.
TEST(TrackersE2E, AnEnterDuringTheStartUpsLookUpWaitsForItAndIsWrittenOnce) {
  const FeedSnapshot csatmate_values{L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"};
  struct Row {
    const char* name;
    const OtherTracker* other;  // null: CSATmate, five links
    const wchar_t* text;
    FeedSnapshot line;
  };
  const Row rows[] = {{"CSATmate", nullptr, nullptr, csatmate_values},
                      // Found after CSATmate and SatPC32 did not answer.
                      {"Orbitron", &kOrbitron, kAo91Text, kAo91}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TempFolder folder;
    const auto tracker = row.other ? StartTracker(*row.other, folder.File(L"values.txt"), row.text)
                                   : std::make_unique<TrackerSim>(ServedValues(folder, row.line), folder.path());
    ASSERT_TRUE(tracker->ready());
    StalledWindow stalled;
    ASSERT_TRUE(stalled.ok());
    stalled.Stall();
    Zelmor app(folder);
    ASSERT_TRUE(app.Start());

    HWND box = app.entry_box();
    SendChars(box, L"JA1ABC");
    const ULONGLONG sent = GetTickCount64();
    const zelmor::LocalTime from = Now();
    ASSERT_TRUE(SendEnter(box));
    const zelmor::LocalTime to = Now();
    const ULONGLONG waited = GetTickCount64() - sent;
    EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
    EXPECT_TRUE(AppendedOneOf(app.PaneText(), L"", ComposedLine(row.line, L"JA1ABC", from),
                              ComposedLine(row.line, L"JA1ABC", to)));
    EXPECT_GT(waited, 200u) << "the look-up had ended before the Enter came: nothing was tried";

    EXPECT_TRUE(EnterWrites(app, L"JA2DEF", row.line));
    EXPECT_EQ(app.SafetyCopy(), Ansi(app.PaneText() + L"\r\n"));
  }
}

TEST(TrackersE2E, AChoiceInTheSettingsIsReadFromStartUp) {
  TempFolder folder;
  WriteBytes(folder.File(kSettings), "[Zelmor]\r\nTracker=Orbitron\r\n");
  TrackerSim csatmate(ServedValues(folder, {L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"}),
                      folder.path());
  ASSERT_TRUE(csatmate.ready());
  const auto orbitron = StartTracker(kOrbitron, folder.File(L"orbitron.txt"), kAo91Text);
  ASSERT_TRUE(orbitron->ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  EXPECT_TRUE(EnterWrites(app, L"JA1ABC", kAo91));
}

// The lines without a Rev read back: each contact's record carries its satellite.
TEST(TrackersE2E, LinesOfEachProgramExportToAdif) {
  TempFolder folder;
  auto satpc32 = StartTracker(kSatPc32, folder.File(L"satpc32.txt"), kFo29Text);
  ASSERT_TRUE(satpc32->ready());
  Zelmor app(folder);
  ASSERT_TRUE(app.Start());
  ASSERT_TRUE(EnterWrites(app, L"JA1ABC 59 55 PM95", kFo29));
  ASSERT_TRUE(satpc32->Close());
  const auto orbitron = StartTracker(kOrbitron, folder.File(L"orbitron.txt"), kAo91Text);
  ASSERT_TRUE(orbitron->ready());
  ASSERT_TRUE(EnterWrites(app, L"7K1DEF 59 59", kAo91));

  SendCommand(app.window(), IDM_ADIF_EXPORT);
  HWND dialog = WaitForDialog(app.pid(), ZelmorText(IDS_ADIF_TITLE));
  ASSERT_TRUE(dialog);
  const std::wstring file = folder.File(L"pass.adi");
  ASSERT_TRUE(ChooseFile(app, dialog, file));
  HWND box = app.WaitForMessageBox();
  ASSERT_TRUE(box);
  EXPECT_NE(MessageText(box).find(L"出力したQSO: 2件"), std::wstring::npos) << Ansi(MessageText(box));
  PressButton(box, IDOK);
  ASSERT_TRUE(WaitDestroyed(box));

  const std::string adif = ReadBytes(file);
  const std::vector<AdifRecord> records = AdifRecords(adif);
  ASSERT_EQ(records.size(), 2u) << adif;
  const auto field = [](const AdifRecord& r, const char* name) {
    const auto it = r.find(name);
    return it == r.end() ? std::string("(none)") : it->second;
  };
  EXPECT_EQ(field(records[0], "CALL") + " " + field(records[0], "SAT_NAME") + " " + field(records[0], "MODE") + " " +
                field(records[0], "PROP_MODE"),
            "JA1ABC FO-29 SSB SAT");
  EXPECT_EQ(field(records[1], "CALL") + " " + field(records[1], "SAT_NAME") + " " + field(records[1], "MODE") + " " +
                field(records[1], "PROP_MODE"),
            "7K1DEF AO-91 FM SAT");
}

}  // namespace
}  // namespace e2e

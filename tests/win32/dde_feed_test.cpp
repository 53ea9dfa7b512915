// The feed's DDE links against tracker-sim.exe, a real DDE server in a process of its own.

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "entry/dde_feed_links_win.h"
#include "entry/feed.h"
#include "base/atomic_file_win.h"
#include "base/codepage_win.h"
#include "files_win.h"
#include "printable.h"
#include "processes_win.h"

namespace zelmor::entry {
namespace {

using Clock = std::chrono::steady_clock;
using Values = std::array<std::wstring, kFeedLabelCount>;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Writes "item=value" lines in the ANSI code page (the simulator also reads UTF-8).
void WriteValues(const std::wstring& file, const Values& values) {
  std::wstring text;
  for (int i = 0; i < kFeedLabelCount; ++i) text += std::wstring(FeedItem(i)) + L"=" + values[i] + L"\r\n";
  ASSERT_EQ(base::ReplaceFileContent(file, base::ToAnsi(text)), DWORD{ERROR_SUCCESS});
}

void WriteBytes(const std::wstring& file, const std::string& bytes) {
  ASSERT_EQ(base::ReplaceFileContent(file, bytes), DWORD{ERROR_SUCCESS});
}

using test_support::TempFolder;
using test_support::TrackerSim;

bool OpenAll(DdeFeedLinks& links) {
  for (int i = 0; i < kFeedLabelCount; ++i) {
    if (!links.Open(i, kFeedService, kFeedTopic, FeedItem(i))) return false;
  }
  return true;
}

std::wstring RequestOrMark(DdeFeedLinks& links, int label) {
  std::wstring value = L"<unchanged>";
  return links.Request(label, value) ? value : L"<failed>";
}

// The tests that hold for every kind of server run against each: the raw one, one that asks for
// acknowledgements, and Wine's DDEML (an extra positive ACK after each answer, its own atoms).
class DdeFeedLinksWith : public testing::TestWithParam<const wchar_t*> {
 protected:
  std::wstring Server(const std::wstring& more) const { return std::wstring(GetParam()) + L" " + more; }
};

INSTANTIATE_TEST_SUITE_P(Servers, DdeFeedLinksWith, testing::Values(L"", L"--ack-request", L"--ddeml"),
                         [](const testing::TestParamInfo<const wchar_t*>& info) {
                           return std::string(info.index == 0 ? "Raw" : info.index == 1 ? "AckRequest" : "Ddeml");
                         });

TEST_P(DdeFeedLinksWith, AllFiveItemsComeBackExactlyAsServed) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  // Rows: the five values the server holds at one moment; the file is read again at each request.
  const std::vector<Values> rows = {
      {L"RS-44", L"435.640.120", L"145.964.880", L"21847", L"USB"},  // a pass as a tracker shows it
      {L"", L"", L"", L"", L""},                                     // empty values stay empty
      {L" ISS ", L"abc", L"2.147.483.648", L" 45123 ", L" FM "},     // spaces kept, no number check here
      {L"SAT=1", L"0", L"4294967296", L"Rev#RV", L"lsb"},            // "=" and token-like text pass through
  };
  WriteValues(values, rows[0]);
  TrackerSim sim(Server(L"--values \"" + values + L"\""));
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(5000);
  ASSERT_TRUE(OpenAll(links));
  for (const Values& row : rows) {
    WriteValues(values, row);
    for (int i = 0; i < kFeedLabelCount; ++i) {
      EXPECT_EQ(RequestOrMark(links, i), row[i]) << "item " << test_support::Utf8(FeedItem(i));
    }
  }
}

TEST(DdeFeedLinks, JapaneseTextComesBackFromTheAnsiCodePage) {
  if (GetACP() != 932) GTEST_SKIP() << "needs the Japanese ANSI code page (run with LC_ALL=ja_JP.UTF-8)";
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  const Values row = {L"ふじ３号", L"435.795.000", L"145.900.000", L"周回１２３", L"ＣＷ"};
  WriteValues(values, row);  // Shift-JIS file
  TrackerSim sim(L"--values \"" + values + L"\"");
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(5000);
  ASSERT_TRUE(OpenAll(links));
  for (int i = 0; i < kFeedLabelCount; ++i) EXPECT_EQ(RequestOrMark(links, i), row[i]) << "item " << i;

  // The same text from a UTF-8 file travels as Shift-JIS all the same.
  WriteBytes(values, "Label1=\xE3\x81\xB5\xE3\x81\x98\r\nLabel2=1\r\nLabel3=2\r\nLabel15=3\r\nLabel17=4\r\n");
  EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"ふじ");
}

TEST(DdeFeedLinks, LineEndAfterTheTextIsNotPartOfTheValue) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  const Values row = {L" RS-44 ", L"435.640.000", L"145.965.000", L"21847", L"USB"};
  WriteValues(values, row);
  TrackerSim sim(L"--crlf --values \"" + values + L"\"");
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(5000);
  ASSERT_TRUE(OpenAll(links));
  for (int i = 0; i < kFeedLabelCount; ++i) EXPECT_EQ(RequestOrMark(links, i), row[i]) << "item " << i;
}

TEST_P(DdeFeedLinksWith, RefusedItemFailsOnlyThatRequest) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  WriteBytes(values, "Label1=RS-44\r\nLabel2=435.640.000\r\nLabel3=145.965.000\r\nLabel17=USB\r\n");  // no Rev
  TrackerSim sim(Server(L"--values \"" + values + L"\""));
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(20000);
  ASSERT_TRUE(OpenAll(links));
  const auto start = Clock::now();
  EXPECT_EQ(RequestOrMark(links, kRev), L"<failed>");
  EXPECT_LT(SecondsSince(start), 10.0) << "a refusal must end the request, not its time-out";
  EXPECT_EQ(RequestOrMark(links, kMode), L"USB");
  EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"RS-44");
  WriteBytes(values, "Label15=21848\r\n");
  EXPECT_EQ(RequestOrMark(links, kRev), L"21848");
}

TEST(DdeFeedLinks, OpenFailsQuicklyWhenNoServerRuns) {
  DdeFeedLinks links(5000);
  const auto start = Clock::now();
  EXPECT_FALSE(links.Open(kSatelliteName, kFeedService, kFeedTopic, FeedItem(kSatelliteName)));
  EXPECT_LT(SecondsSince(start), 10.0);

  Feed feed(links);
  EXPECT_FALSE(feed.SetUp());
  for (int i = 0; i < kFeedLabelCount; ++i) EXPECT_TRUE(links.Down(i)) << "label " << i;
  feed.BeginEntry();
  EXPECT_FALSE(feed.Request(kSatelliteName));  // its one connect finds nobody either
  EXPECT_EQ(feed.Text(kSatelliteName), L"Label1");
  links.Close(kSatelliteName);  // closing a closed link does nothing
}

TEST(DdeFeedLinks, TrackerStartedAfterTheSetUpIsConnectedByTheNextEntry) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  const Values row = {L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"};
  WriteValues(values, row);
  DdeFeedLinks links(5000);
  Feed feed(links);
  ASSERT_FALSE(feed.SetUp());

  TrackerSim sim(L"--values \"" + values + L"\"");
  ASSERT_TRUE(sim.ready());
  feed.BeginEntry();
  for (int i = 0; i < kFeedLabelCount; ++i) {
    EXPECT_TRUE(feed.Request(i)) << "label " << i;
    EXPECT_EQ(feed.Text(i), row[i]) << "label " << i;
    EXPECT_FALSE(links.Down(i)) << "label " << i;
  }
}

TEST(DdeFeedLinks, RequestsOnLinksThatAreNotOpenFail) {
  DdeFeedLinks links(1000);
  std::wstring value = L"kept";
  EXPECT_FALSE(links.Request(kMode, value));
  EXPECT_FALSE(links.Request(-1, value));
  EXPECT_FALSE(links.Request(kFeedLabelCount, value));
  EXPECT_EQ(value, L"kept");
}

TEST_P(DdeFeedLinksWith, HungServerFailsTheRequestAndItsLateAnswerIsNotTakenForTheNext) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  const std::wstring hang = folder.File(L"hang.flag");
  WriteValues(values, {L"@count", L"435.640.000", L"145.965.000", L"21847", L"USB"});
  TrackerSim sim(Server(L"--values \"" + values + L"\" --hang-file \"" + hang + L"\""));
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(1000);
  ASSERT_TRUE(OpenAll(links));
  EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"1");

  WriteBytes(hang, "");
  const auto start = Clock::now();
  EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"<failed>");
  EXPECT_LT(SecondsSince(start), 30.0);
  EXPECT_FALSE(links.Down(kSatelliteName)) << "a server that is only slow must not be connected again";

  // The server wakes, answers the abandoned request ("2"), then the new one ("3").
  DeleteFileW(hang.c_str());
  EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"3");
  EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"4");
  EXPECT_EQ(RequestOrMark(links, kMode), L"USB");
}

TEST(DdeFeedLinks, OpenDoesNotWaitOnAHungServer) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  WriteValues(values, {L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"});
  TrackerSim sim(L"--hang-after 1 --values \"" + values + L"\"");
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks first(1000);
  ASSERT_TRUE(first.Open(kSatelliteName, kFeedService, kFeedTopic, FeedItem(kSatelliteName)));
  EXPECT_EQ(RequestOrMark(first, kSatelliteName), L"RS-44");
  EXPECT_EQ(RequestOrMark(first, kSatelliteName), L"<failed>");  // the server hangs in this one

  // At start-up, and again at an entry whose links are down.
  const auto start = Clock::now();
  DdeFeedLinks second(1000);
  Feed feed(second);
  EXPECT_FALSE(feed.SetUp());
  feed.BeginEntry();
  EXPECT_FALSE(feed.Request(kSatelliteName));
  EXPECT_LT(SecondsSince(start), 30.0);
}

TEST(DdeFeedLinks, ClosedOrKilledServerIsDownAndTheNextEntryConnectsToItsNewRun) {
  for (const bool killed : {false, true}) {
    SCOPED_TRACE(killed ? "killed" : "closed");
    TempFolder folder;
    const std::wstring values = folder.File(L"values.txt");
    WriteValues(values, {L"RUN-1", L"435.640.000", L"145.965.000", L"21847", L"USB"});
    DdeFeedLinks links(2000);
    Feed feed(links);
    {
      TrackerSim sim(L"--values \"" + values + L"\"");
      ASSERT_TRUE(sim.ready());
      ASSERT_TRUE(feed.SetUp());
      feed.BeginEntry();
      for (int i = 0; i < kFeedLabelCount; ++i) ASSERT_TRUE(feed.Request(i));
      if (killed) {
        sim.Kill();
      } else {
        sim.Close();
      }
    }
    EXPECT_EQ(RequestOrMark(links, kMode), L"<failed>");
    for (int i = 0; i < kFeedLabelCount; ++i) EXPECT_TRUE(links.Down(i)) << "label " << i;
    // Nobody serving: the entry's one connect fails, and the label keeps its last value.
    feed.BeginEntry();
    EXPECT_FALSE(feed.Request(kSatelliteName));
    EXPECT_EQ(feed.Text(kSatelliteName), L"RUN-1");

    WriteValues(values, {L"RUN-2", L"435.640.000", L"145.965.000", L"21847", L"USB"});
    TrackerSim again(L"--values \"" + values + L"\"");
    ASSERT_TRUE(again.ready());
    feed.BeginEntry();
    for (int i = 0; i < kFeedLabelCount; ++i) EXPECT_TRUE(feed.Request(i)) << "label " << i;
    EXPECT_EQ(feed.Text(kSatelliteName), L"RUN-2");
  }
}

TEST(DdeFeedLinks, ServerKilledDuringARequestIsNoticedBeforeTheTimeOut) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  const std::wstring hang = folder.File(L"hang.flag");
  WriteValues(values, {L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"});
  TrackerSim sim(L"--values \"" + values + L"\" --hang-file \"" + hang + L"\"");
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(60000);
  ASSERT_TRUE(OpenAll(links));
  WriteBytes(hang, "");

  HANDLE process = sim.process();
  std::thread killer([process] {
    Sleep(300);
    TerminateProcess(process, 1);
  });
  const auto start = Clock::now();
  const std::wstring answer = RequestOrMark(links, kReceiveFrequency);
  const double took = SecondsSince(start);
  killer.join();
  EXPECT_EQ(answer, L"<failed>");
  EXPECT_LT(took, 30.0) << "the request waited for its time-out instead of seeing the server gone";
  EXPECT_TRUE(links.Down(kReceiveFrequency));
  EXPECT_EQ(RequestOrMark(links, kMode), L"<failed>");
}

TEST(DdeFeedLinks, CloseEndsTheConversationOnBothSides) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  WriteValues(values, {L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"});
  TrackerSim sim(L"--values \"" + values + L"\"");
  ASSERT_TRUE(sim.ready());
  std::vector<HWND> servers;
  {
    DdeFeedLinks links(5000);
    ASSERT_TRUE(OpenAll(links));
    for (int i = 0; i < kFeedLabelCount; ++i) servers.push_back(links.ServerWindow(i));
    links.Close(kSatelliteName);
    links.Close(kSatelliteName);
    EXPECT_EQ(links.ServerWindow(kSatelliteName), nullptr);
    EXPECT_EQ(RequestOrMark(links, kSatelliteName), L"<failed>");
    EXPECT_EQ(RequestOrMark(links, kMode), L"USB");
  }  // the rest close with the object
  // The simulator drops a conversation's window when the client ends it.
  const auto start = Clock::now();
  auto any_left = [&] {
    for (HWND server : servers) {
      if (IsWindow(server)) return true;
    }
    return false;
  };
  while (any_left() && SecondsSince(start) < 10) Sleep(10);
  EXPECT_FALSE(any_left());
  EXPECT_TRUE(sim.Running());
}

// Every answer must belong to its own request, also when the server adds acknowledgements.
TEST_P(DdeFeedLinksWith, ThousandRequestsInARowAreAllAnsweredInOrder) {
  TempFolder folder;
  const std::wstring values = folder.File(L"values.txt");
  WriteValues(values, {L"@count", L"435.640.120", L"@count", L"21847", L"USB"});
  TrackerSim sim(Server(L"--values \"" + values + L"\""));
  ASSERT_TRUE(sim.ready());
  DdeFeedLinks links(5000);
  ASSERT_TRUE(OpenAll(links));

  constexpr int kRequests = 1000;
  int wrong = 0;
  const auto start = Clock::now();
  for (int n = 0; n < kRequests; ++n) {
    const int label = n % kFeedLabelCount;
    const int round = n / kFeedLabelCount + 1;
    const std::wstring expected = label == kSatelliteName || label == kTransmitFrequency ? std::to_wstring(round)
                                  : label == kReceiveFrequency                           ? L"435.640.120"
                                  : label == kRev                                        ? L"21847"
                                                                                         : L"USB";
    const std::wstring got = RequestOrMark(links, label);
    if (got != expected) {
      ADD_FAILURE() << "request " << n << ": expected " << test_support::Utf8(expected) << ", got "
                    << test_support::Utf8(got);
      if (++wrong == 5) break;
    }
  }
  const double seconds = SecondsSince(start);
  EXPECT_EQ(wrong, 0);
  std::printf("[ bench    ] %ls: %d requests, %.3f ms per request\n", GetParam()[0] ? GetParam() : L"raw server",
              kRequests, seconds * 1000.0 / kRequests);
}

}  // namespace
}  // namespace zelmor::entry

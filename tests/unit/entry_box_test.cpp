#include "entry/entry_box.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "entry/log_format.h"
#include "fakes.h"

namespace zelmor::entry {
namespace {

// A tracking program that answers from a table, refuses chosen labels and records every request.
class FakeLinks : public FeedLinks {
 public:
  std::array<std::wstring, kFeedLabelCount> values{L"SAT-1", L"435.850.000", L"145.950.000",
                                                   L" 12345", L"USB"};
  std::set<int> refused;
  bool throws = false;
  std::vector<int> requests;

  bool Open(int, const std::wstring&, const std::wstring&, const std::wstring&) override { return true; }
  bool Request(int label, std::wstring& value) override {
    requests.push_back(label);
    if (throws) throw std::runtime_error("link broke");
    if (refused.count(label) != 0) return false;
    value = values[static_cast<size_t>(label)];
    return true;
  }
  void Close(int) override {}
};

using fakes::FakeEntry;
using fakes::FakePane;
using fakes::FixedClock;

const std::wstring kComposed =
    L"2024/03/05 21:05J CQ 599 %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850\r\n";
const std::wstring kFallback = L"2024/03/05 21:05J  CQ 599 \r\n";

// One main window's worth of entry box, with a safety copy that records the pane as it was when
// the copy was asked for, and the text that was appended.
struct EntryBoxTest : ::testing::Test {
  FakeLinks links;
  Feed feed{links};
  MainState state;
  FakePane pane;
  FakeEntry entry;
  FixedClock clock;
  bool temp_log_writable = true;
  bool temp_log_throws = false;
  std::vector<std::wstring> temp_log_writes;
  std::vector<std::wstring> appended;
  struct RecordingCopy : SafetyCopyWriter {
    EntryBoxTest& test;
    explicit RecordingCopy(EntryBoxTest& t) : test(t) {}
    bool Write(LogPane& written, const std::wstring& text) override {
      if (test.temp_log_throws) throw std::runtime_error("disk");
      test.appended.push_back(text);
      test.temp_log_writes.push_back(static_cast<FakePane&>(written).text);
      return test.temp_log_writable;
    }
  } safety_copy{*this};
  fakes::FixedLocale locale;
  fakes::FakeStationSource station;
  station::StationStatement statement{station};
  EntryBoxContext context{state, feed, pane, entry, clock, locale, safety_copy, statement};

  void SetUp() override {
    state.template_text = entry::kDefaultTemplate;
    pane.text = L"old line\r\n";
    entry.text = L" CQ 599 ";
  }
  void Enter() { OnEntryKey(context, kEnterKey); }
};

TEST_F(EntryBoxTest, EnterAppendsComposedLineAndWritesWholePaneToTempLog) {
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n" + kComposed);
  EXPECT_EQ(temp_log_writes, std::vector<std::wstring>{pane.text});
  EXPECT_EQ(appended, std::vector<std::wstring>{kComposed});
  EXPECT_EQ(pane.caret_moves, 1);
  EXPECT_EQ(entry.text, L"");
  EXPECT_TRUE(state.log_unsaved);
  EXPECT_EQ(links.requests, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST_F(EntryBoxTest, OtherKeysDoNothing) {
  for (wchar_t key : {L'a', L'\t', L'\x1b', L'\n', L'\b', L'\0', L'\x3042', L'\x010d'}) {
    OnEntryKey(context, key);
    EXPECT_EQ(pane.text, L"old line\r\n") << int(key);
  }
  EXPECT_TRUE(links.requests.empty());
  EXPECT_TRUE(temp_log_writes.empty());
  EXPECT_EQ(entry.text, L" CQ 599 ");
  EXPECT_FALSE(state.log_unsaved);
}

struct FailureRow {
  const char* why;
  int refused_label;           // -1: none
  int bad_label;               // -1: none
  std::wstring bad_value;
  std::vector<int> requests;   // what reached the tracking program, in order
};

TEST_F(EntryBoxTest, FailedRequestOrConversionStopsLaterRequestsAndFallsBack) {
  const FailureRow rows[] = {
      {"no feed at all", 0, -1, L"", {0}},
      {"receive frequency not a number", -1, 1, L"abc", {0, 1}},
      {"receive frequency refused", 1, -1, L"", {0, 1}},
      {"transmit frequency empty", -1, 2, L"", {0, 1, 2}},
      {"transmit frequency beyond 64 bits", -1, 2, L"99.999.999.999.999.999.999", {0, 1, 2}},
      {"Rev refused", 3, -1, L"", {0, 1, 2, 3}},
      {"mode refused", 4, -1, L"", {0, 1, 2, 3, 4}},
  };
  for (const auto& row : rows) {
    FakeLinks fresh_links;
    links = fresh_links;
    if (row.refused_label >= 0) links.refused.insert(row.refused_label);
    if (row.bad_label >= 0) links.values[static_cast<size_t>(row.bad_label)] = row.bad_value;
    pane = FakePane();
    pane.text = L"old line\r\n";
    entry.text = L" CQ 599 ";
    state.log_unsaved = false;
    temp_log_writes.clear();

    Enter();
    EXPECT_EQ(links.requests, row.requests) << row.why;
    EXPECT_EQ(pane.text, L"old line\r\n" + kFallback) << row.why;
    // Fallback lines reach the safety copy as well.
    EXPECT_EQ(temp_log_writes, std::vector<std::wstring>{pane.text}) << row.why;
    EXPECT_EQ(pane.caret_moves, 0) << row.why;
    EXPECT_EQ(entry.text, L"") << row.why;
    EXPECT_TRUE(state.log_unsaved) << row.why;
  }
}

TEST_F(EntryBoxTest, PartialRefreshKeepsOlderValuesOfLaterLabels) {
  Enter();
  links.values = {L"SAT-2", L"abc", L"146.000.000", L"999", L"FM"};
  Enter();
  EXPECT_EQ(feed.Text(kSatelliteName), L"SAT-2");
  EXPECT_EQ(feed.Text(kReceiveFrequency), L"abc");
  EXPECT_EQ(feed.Text(kTransmitFrequency), L"145.950.000");
  EXPECT_EQ(feed.Text(kRev), L" 12345");
}

TEST_F(EntryBoxTest, UnwritableTempLogLeavesComposedAndFallbackLines) {
  temp_log_writable = false;
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n" + kComposed + kFallback);
  // The second attempt, after the fallback line, fails too and is ignored.
  EXPECT_EQ(temp_log_writes,
            (std::vector<std::wstring>{L"old line\r\n" + kComposed, pane.text}));
  EXPECT_EQ(appended, (std::vector<std::wstring>{kComposed, kFallback}));
  EXPECT_EQ(entry.text, L"");
  EXPECT_TRUE(state.log_unsaved);
}

TEST_F(EntryBoxTest, ThrowingTempLogCountsAsFailedWrite) {
  temp_log_throws = true;
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n" + kComposed + kFallback);
}

TEST_F(EntryBoxTest, BrokenFeedLinkFallsBack) {
  links.throws = true;
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n" + kFallback);
}

TEST_F(EntryBoxTest, LineContinuesAPaneWithoutFinalLineEnd) {
  pane.text = L"edited";
  entry.text = L"x";
  state.template_text = L"#MM";
  Enter();
  EXPECT_EQ(pane.text, L"editedx\r\n");
}

TEST_F(EntryBoxTest, EmptyEntryBoxStillMakesAnEntry) {
  entry.text = L"";
  Enter();
  EXPECT_EQ(pane.text,
            L"old line\r\n2024/03/05 21:05J  %Sat=SAT-1/Rev:12345% 145/435 SSB Up=145.950/Down=435.850\r\n");
}

TEST_F(EntryBoxTest, EmptyTemplateAppendsOnlyTheLineEnd) {
  state.template_text = L"";
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n\r\n");
  EXPECT_EQ(pane.caret_moves, 1);
}

TEST_F(EntryBoxTest, TemplateChangeAppliesToTheNextEntry) {
  Enter();
  state.template_text = L"#SN #MM";
  entry.text = L"2nd";
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n" + kComposed + L"SAT-1 2nd\r\n");
}

const StationLine kHome{L"JA1ABC/1", {L"PM95"}, L"10", L"100101", L"Home"};
const std::wstring kHomeLine = L"#STATION JA1ABC/1 GRID=PM95 PREF=10 CITY=100101 LOC=Home\r\n";

TEST_F(EntryBoxTest, StationLineComesBeforeTheFirstEntryOfTheRunAndAfterThePaneWasReplaced) {
  station.station = kHome;
  pane.text.clear();
  Enter();
  EXPECT_EQ(pane.text, kHomeLine + kComposed) << "the top of a new log";
  EXPECT_EQ(appended.back(), kHomeLine + kComposed) << "in the safety copy with the entry";
  entry.text = L" CQ 599 ";
  Enter();
  EXPECT_EQ(pane.text, kHomeLine + kComposed + kComposed) << "stated once";

  const struct {
    const char* what;
    std::wstring replaced_by;
    std::wstring station_line;
  } rows[] = {
      {"a log opened", L"2026/12/01 10:00J JA2XYZ\r\n", kHomeLine},
      {"an edit that leaves the last line open", L"2026/12/01 10:00J JA2XYZ", L"\r\n" + kHomeLine},
      {"an empty pane", L"", kHomeLine},
  };
  for (const auto& row : rows) {
    pane.SetText(row.replaced_by);
    entry.text = L" CQ 599 ";
    Enter();
    EXPECT_EQ(pane.text, row.replaced_by + row.station_line + kComposed) << row.what;
  }
}

TEST_F(EntryBoxTest, StationLineGoesWithTheFallbackLineToo) {
  station.station = kHome;
  links.refused = {0};
  Enter();
  EXPECT_EQ(pane.text, L"old line\r\n" + kHomeLine + kFallback);

  // The composed line reached the pane but its copy could not be written: the station line is
  // in the pane once, before both lines.
  links.refused.clear();
  temp_log_writable = false;
  pane.SetText(L"");
  entry.text = L" CQ 599 ";
  Enter();
  EXPECT_EQ(pane.text, kHomeLine + kComposed + kFallback);
}

TEST_F(EntryBoxTest, WithoutAStationNoStationLine) {
  pane.text.clear();
  Enter();
  EXPECT_EQ(pane.text, kComposed);
}

// What follows the log is told each text the entry appended to the pane, once the entry is made:
// what the safety copy was given, the station line included; a follower that fails takes nothing
// from the entry.
TEST_F(EntryBoxTest, ListenerIsToldEveryTextTheEntryAppended) {
  struct Recorder : EntryListener {
    std::vector<std::wstring> texts;
    bool throws = false;
    bool entry_done_first = true;
    const FakeEntry* box = nullptr;
    void OnLogAppended(const std::wstring& text) override {
      entry_done_first = entry_done_first && box->text.empty();
      texts.push_back(text);
      if (throws) throw std::runtime_error("index");
    }
  };
  struct Row {
    const char* what;
    bool feed, copy_writable, with_station, listener_throws;
    std::vector<std::wstring> told;
  };
  const Row rows[] = {
      {"composed", true, true, false, false, {kComposed}},
      {"no feed: the fallback line", false, true, false, false, {kFallback}},
      {"no safety copy: the one, then the other", true, false, false, false, {kComposed, kFallback}},
      {"the station line with the entry", true, true, true, false, {kHomeLine + kComposed}},
      {"a listener that throws", true, true, false, true, {kComposed}},
  };
  for (const Row& row : rows) {
    links = FakeLinks();
    if (!row.feed) links.refused.insert(kSatelliteName);
    temp_log_writable = row.copy_writable;
    station.station = row.with_station ? std::optional<StationLine>(kHome) : std::nullopt;
    station::StationStatement fresh{station};
    pane.SetText(L"old line\r\n");
    appended.clear();
    entry.text = L" CQ 599 ";
    Recorder recorder;
    recorder.throws = row.listener_throws;
    recorder.box = &entry;
    EntryBoxContext told{state, feed, pane, entry, clock, locale, safety_copy, fresh, &recorder};
    OnEntryKey(told, kEnterKey);
    EXPECT_EQ(recorder.texts, row.told) << row.what;
    EXPECT_EQ(recorder.texts, appended) << row.what << ": what the safety copy was given";
    EXPECT_TRUE(recorder.entry_done_first) << row.what;
    EXPECT_EQ(entry.text, L"") << row.what;
  }
}

}  // namespace
}  // namespace zelmor::entry

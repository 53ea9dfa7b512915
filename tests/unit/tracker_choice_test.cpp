// Which tracking program the feed reads: the first of the choice that answers, at set-up and at an
// entry whose program has gone; one request per entry to a program that sends one text.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "entry/feed.h"
#include "entry/log_format.h"
#include "entry/log_line.h"
#include "trackers/one_text_source.h"

namespace zelmor::trackers {
namespace {

using entry::Feed;
using entry::Tracker;
using entry::TrackerChoice;
using Calls = std::vector<std::string>;

// One program's DDE server: running or not, the text it serves for each item (an item not there
// is refused). Every open and request goes into the shared log, with the program's name.
class FakeLink : public TextLink {
 public:
  FakeLink(std::string name, Calls& calls) : name_(std::move(name)), calls_(calls) {}
  bool running = false;
  std::map<std::wstring, std::wstring> items;

  bool Open() override {
    calls_.push_back("open " + name_);
    open_ = running;
    return open_;
  }
  Answer Request(const std::wstring& item, std::wstring& text) override {
    calls_.push_back("request " + name_ + " " + std::string(item.begin(), item.end()));
    if (Down()) return Answer::kNone;
    const auto found = items.find(item);
    if (found == items.end()) return Answer::kRefused;
    text = found->second;
    return Answer::kText;
  }
  bool Down() const override { return !open_ || !running; }
  void Close() override { open_ = false; }

 private:
  std::string name_;
  Calls& calls_;
  bool open_ = false;
};

// CSATmate's five links, all up or all down with its program.
class FakeCsatmateLinks : public entry::FeedLinks {
 public:
  explicit FakeCsatmateLinks(Calls& calls) : calls_(calls) {}
  bool running = false;
  bool Open(int label, const std::wstring&, const std::wstring&, const std::wstring&) override {
    if (label == 0) calls_.push_back("open CSATmate");
    open_ = running;
    return open_;
  }
  bool Request(int label, std::wstring& value) override {
    if (label == 0) calls_.push_back("request CSATmate");
    if (Down(label)) return false;
    static const wchar_t* const kValues[] = {L"RS-44", L"435.640.000", L"145.965.000", L"21847", L"USB"};
    value = kValues[label];
    return true;
  }
  bool Down(int) const override { return !open_ || !running; }
  void Close(int) override { open_ = false; }

 private:
  Calls& calls_;
  bool open_ = false;
};

struct TrackerChoiceTest : ::testing::Test {
  Calls calls;
  FakeCsatmateLinks csatmate_links{calls};
  entry::CsatmateSource csatmate{csatmate_links};
  FakeLink satpc32_link{"SatPC32", calls}, orbitron_link{"Orbitron", calls};
  OneTextSource satpc32{Tracker::kSatPc32, satpc32_link, {L"SatPcDdeItem"}, &ReadSatPc32Text};
  OneTextSource orbitron{Tracker::kOrbitron, orbitron_link, {L"TrackingDataEx", L"TrackingData"}, &ReadOrbitronText};
  entry::TrackerSetting setting;
  Feed feed{{&csatmate, &satpc32, &orbitron}, &setting};

  void SetUp() override {
    satpc32_link.items[L"SatPcDdeItem"] = L"SNFO-29 AZ56.7 EL6.8 UP145951275 UMLSB DN435853062 DMUSB MA52.6";
    orbitron_link.items[L"TrackingDataEx"] = L"SN\"AO 7\" AZ1.0 EL2.0 DN29450000 UP145900000 DMUSB";
    orbitron_link.items[L"TrackingData"] = L"SNAO_7 AZ1.0 EL2.0 DN29450000 UP145900000 DMUSB";
  }

  // One entry with a template of the feed's values; the line, or "fallback". The calls logged are the entry's.
  std::wstring Entry() {
    calls.clear();
    const auto line = entry::ComposeEntry(L"#SN|#RV|#TX|#RX|#MD", feed, L"", LocalTime{}, entry::LocaleFormats{});
    return line.value_or(L"fallback");
  }
};

TEST_F(TrackerChoiceTest, EachProgramAloneWritesTheSameShapeOfLine) {
  csatmate_links.running = true;
  EXPECT_TRUE(feed.SetUp());
  EXPECT_EQ(Entry(), L"RS-44|21847|145.965|435.640|SSB");
  EXPECT_EQ(feed.Connected(), Tracker::kCsatmate);

  csatmate_links.running = false;
  satpc32_link.running = true;
  EXPECT_EQ(Entry(), L"FO-29||145.951|435.853|SSB");
  // The program that went is asked once, then each is looked for in order.
  EXPECT_EQ(calls, (Calls{"request CSATmate", "open CSATmate", "open SatPC32", "request SatPC32 SatPcDdeItem"}));
  EXPECT_EQ(feed.Connected(), Tracker::kSatPc32);
  // Connected: one request per entry, the other labels from its text.
  EXPECT_EQ(Entry(), L"FO-29||145.951|435.853|SSB");
  EXPECT_EQ(calls, (Calls{"request SatPC32 SatPcDdeItem"}));

  satpc32_link.running = false;
  orbitron_link.running = true;
  EXPECT_EQ(Entry(), L"AO 7||145.900|29.450|SSB");
  EXPECT_EQ(feed.Connected(), Tracker::kOrbitron);
}

TEST_F(TrackerChoiceTest, WithNoProgramAnEntryLooksForEachOnceAndFallsBack) {
  EXPECT_FALSE(feed.SetUp());
  EXPECT_EQ(Entry(), L"fallback");
  EXPECT_EQ(calls, (Calls{"request CSATmate", "open CSATmate", "open SatPC32", "open Orbitron"}));
  EXPECT_EQ(feed.Connected(), std::nullopt);
}

TEST_F(TrackerChoiceTest, TheFirstInOrderWinsWhenSeveralRun) {
  satpc32_link.running = orbitron_link.running = true;
  EXPECT_TRUE(feed.SetUp());
  EXPECT_EQ(feed.Connected(), Tracker::kSatPc32);
  // A program started later does not take over from one that answers.
  csatmate_links.running = true;
  EXPECT_EQ(Entry(), L"FO-29||145.951|435.853|SSB");
}

TEST_F(TrackerChoiceTest, AFixedChoiceReadsThatProgramOnly) {
  csatmate_links.running = satpc32_link.running = orbitron_link.running = true;
  setting.Set(TrackerChoice::kOrbitron);
  EXPECT_TRUE(feed.SetUp());
  EXPECT_EQ(feed.Connected(), Tracker::kOrbitron);
  EXPECT_EQ(Entry(), L"AO 7||145.900|29.450|SSB");
  orbitron_link.running = false;
  EXPECT_EQ(Entry(), L"fallback");
  EXPECT_EQ(calls, (Calls{"request Orbitron TrackingDataEx", "open Orbitron"}));
  // Changed while one is connected: the next entry reads the new choice.
  setting.Set(TrackerChoice::kSatPc32);
  EXPECT_EQ(Entry(), L"FO-29||145.951|435.853|SSB");
  EXPECT_EQ(feed.Connected(), Tracker::kSatPc32);
}

TEST_F(TrackerChoiceTest, OrbitronWithoutTheExItemIsAskedForThePlainOneFromThenOn) {
  orbitron_link.running = true;
  orbitron_link.items.erase(L"TrackingDataEx");
  EXPECT_TRUE(feed.SetUp());
  EXPECT_EQ(Entry(), L"AO 7||145.900|29.450|SSB");
  EXPECT_EQ(calls, (Calls{"request Orbitron TrackingDataEx", "request Orbitron TrackingData"}));
  EXPECT_EQ(Entry(), L"AO 7||145.900|29.450|SSB");
  EXPECT_EQ(calls, (Calls{"request Orbitron TrackingData"}));
}

TEST_F(TrackerChoiceTest, NothingToLogFallsBackWithoutLookingElsewhere) {
  satpc32_link.running = true;
  EXPECT_TRUE(feed.SetUp());
  csatmate_links.running = true;  // started after SatPC32 was found
  for (const wchar_t* text : {L"** NO SATELLITE **", L"", L"SNFO-29 DN435853062", L"SNFO-29 UP1x DN435853062"}) {
    satpc32_link.items[L"SatPcDdeItem"] = text;
    EXPECT_EQ(Entry(), L"fallback");
    EXPECT_EQ(calls, (Calls{"request SatPC32 SatPcDdeItem"}));
  }
  // Below the horizon SatPC32 may refuse: the same.
  satpc32_link.items.clear();
  EXPECT_EQ(Entry(), L"fallback");
  EXPECT_EQ(calls, (Calls{"request SatPC32 SatPcDdeItem"}));
}

TEST(TrackerChoiceTextTest, SettingReadsBack) {
  for (auto choice : {TrackerChoice::kAuto, TrackerChoice::kCsatmate, TrackerChoice::kSatPc32, TrackerChoice::kOrbitron}) {
    EXPECT_EQ(entry::ParseTrackerChoice(entry::TrackerChoiceText(choice)), choice);
  }
  EXPECT_EQ(entry::ParseTrackerChoice(L"satpc32"), TrackerChoice::kSatPc32);
  EXPECT_EQ(entry::ParseTrackerChoice(L"ORBITRON"), TrackerChoice::kOrbitron);
  EXPECT_EQ(entry::ParseTrackerChoice(L""), TrackerChoice::kAuto);
  EXPECT_EQ(entry::ParseTrackerChoice(L"Orbitron2"), TrackerChoice::kAuto);
}

}  // namespace
}  // namespace zelmor::trackers

// When the feed connects once more: a tracking program missing at start-up, gone or restarted
// since, or hung, seen through the requests of whole entries.

#include "entry/feed.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "entry/log_line.h"
#include "entry/log_format.h"

namespace zelmor::entry {
namespace {

using Calls = std::vector<std::string>;

// One tracking program behind the five links. Each run of it is a new server: links made to an
// earlier run are down once that run has ended. Every open and request is logged.
class TrackerLinks : public FeedLinks {
 public:
  enum class State { kMissing, kRunning, kHung };

  void Start() { state = State::kRunning, ++run; }
  void Quit() { state = State::kMissing; }

  State state = State::kMissing;
  int run = 0;
  Calls calls;
  // Called after each request is answered or failed, to change the server mid-entry.
  std::function<void(int label)> after_request;

  bool Open(int label, const std::wstring& service, const std::wstring& topic,
            const std::wstring& item) override {
    calls.push_back("open " + std::to_string(label + 1));
    EXPECT_EQ(service, kFeedService);
    EXPECT_EQ(topic, kFeedTopic);
    EXPECT_EQ(item, FeedItem(label));
    // A hung server does not answer the initiate either.
    link_run_[Index(label)] = state == State::kRunning ? run : 0;
    return link_run_[Index(label)] != 0;
  }
  bool Request(int label, std::wstring& value) override {
    calls.push_back("request " + std::to_string(label + 1));
    const bool answered = !Down(label) && state == State::kRunning;
    if (answered) value = kValues[Index(label)] + (label == kSatelliteName ? std::to_wstring(run) : L"");
    if (after_request) after_request(label);
    return answered;
  }
  bool Down(int label) const override {
    return link_run_[Index(label)] == 0 || link_run_[Index(label)] != run || state == State::kMissing;
  }
  void Close(int label) override { link_run_[Index(label)] = 0; }

 private:
  static size_t Index(int label) { return static_cast<size_t>(label); }
  static inline const std::array<std::wstring, kFeedLabelCount> kValues{L"SAT-", L"435.850.000", L"145.950.000",
                                                                       L"12345", L"USB"};
  std::array<int, kFeedLabelCount> link_run_{};  // the server run the link was made to; 0: closed
};

const Calls kFiveRequests{"request 1", "request 2", "request 3", "request 4", "request 5"};
const Calls kSetUp{"open 1", "open 2", "open 3", "open 4", "open 5"};
const Calls kNoServer{"open 1"};

Calls Join(std::initializer_list<Calls> parts) {
  Calls all;
  for (const Calls& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

struct FeedReconnectTest : ::testing::Test {
  TrackerLinks links;
  Feed feed{links};

  // One entry; true when its line was composed. The calls logged are the entry's own.
  bool Entry() {
    links.calls.clear();
    return ComposeEntry(entry::kDefaultTemplate, feed, L"memo", LocalTime{}, LocaleFormats{}).has_value();
  }
};

TEST_F(FeedReconnectTest, TrackerStartedAfterStartUpIsConnectedAtTheNextEntry) {
  EXPECT_FALSE(feed.SetUp());
  links.Start();
  EXPECT_TRUE(Entry());
  EXPECT_EQ(links.calls, Join({{"request 1"}, kSetUp, kFiveRequests}));
  EXPECT_EQ(feed.Text(kSatelliteName), L"SAT-1");
  // Connected now: the next entry only asks.
  EXPECT_TRUE(Entry());
  EXPECT_EQ(links.calls, kFiveRequests);
}

TEST_F(FeedReconnectTest, WithoutTrackerEachEntryTriesOneConnectOnly) {
  EXPECT_FALSE(feed.SetUp());
  for (int entry = 0; entry < 3; ++entry) {
    EXPECT_FALSE(Entry());
    EXPECT_EQ(links.calls, Join({{"request 1"}, kNoServer})) << "entry " << entry;
  }
  EXPECT_EQ(feed.Text(kSatelliteName), L"Label1");
}

TEST_F(FeedReconnectTest, TrackerRestartedBetweenEntriesIsConnectedAgain) {
  links.Start();
  ASSERT_TRUE(feed.SetUp());
  EXPECT_TRUE(Entry());
  links.Quit();
  links.Start();
  EXPECT_TRUE(Entry());
  EXPECT_EQ(links.calls, Join({{"request 1"}, kSetUp, kFiveRequests}));
  EXPECT_EQ(feed.Text(kSatelliteName), L"SAT-2");
}

TEST_F(FeedReconnectTest, TrackerRestartedMidEntryIsConnectedAgainForTheRestOfIt) {
  links.Start();
  ASSERT_TRUE(feed.SetUp());
  links.after_request = [this](int label) {
    if (label == kReceiveFrequency) links.Quit(), links.Start();
  };
  EXPECT_TRUE(Entry());
  EXPECT_EQ(links.calls,
            Join({{"request 1", "request 2", "request 3"}, kSetUp, {"request 3", "request 4", "request 5"}}));
  // Each label is asked once per entry, and keeps what it got.
  EXPECT_EQ(feed.Text(kSatelliteName), L"SAT-1");
}

TEST_F(FeedReconnectTest, TrackerGoneAgainAfterTheConnectFallsBackWithoutASecondOne) {
  EXPECT_FALSE(feed.SetUp());
  links.Start();
  links.after_request = [this](int label) {
    if (label == kReceiveFrequency) links.Quit(), links.Start();
  };
  EXPECT_FALSE(Entry());
  EXPECT_EQ(links.calls, Join({{"request 1"}, kSetUp, {"request 1", "request 2", "request 3"}}));
  links.after_request = nullptr;
  // The next entry may connect once more.
  EXPECT_TRUE(Entry());
  EXPECT_EQ(links.calls, Join({{"request 1"}, kSetUp, kFiveRequests}));
}

TEST_F(FeedReconnectTest, HungTrackerCostsOneRequestAndNoConnect) {
  links.Start();
  ASSERT_TRUE(feed.SetUp());
  links.state = TrackerLinks::State::kHung;
  EXPECT_FALSE(Entry());
  EXPECT_EQ(links.calls, Calls{"request 1"});
  // Links to a hung tracker are still up; once it answers again they carry on.
  links.state = TrackerLinks::State::kRunning;
  EXPECT_TRUE(Entry());
  EXPECT_EQ(links.calls, kFiveRequests);
}

// Holds the start-up's set-up until something asks the feed, as the window's look-up does while
// the tracking programs answer.
class HeldSetUp : public SetUpRunner {
 public:
  void Begin(std::function<void()> set_up) override { held_ = std::move(set_up); }
  void Finish() override {
    if (auto set_up = std::exchange(held_, nullptr)) set_up();
  }
  bool holding() const { return static_cast<bool>(held_); }

 private:
  std::function<void()> held_;
};

TEST_F(FeedReconnectTest, EntryDuringTheStartUpsSetUpWaitsForItAndConnectsOnce) {
  HeldSetUp runner;
  feed.set_runner(&runner);
  links.Start();
  feed.BeginSetUp();
  ASSERT_TRUE(runner.holding());
  EXPECT_TRUE(Entry());
  // The set-up's links, not a second set of the entry's own beside them.
  EXPECT_EQ(links.calls, Join({kSetUp, kFiveRequests}));
  EXPECT_EQ(feed.Text(kSatelliteName), L"SAT-1");
}

TEST_F(FeedReconnectTest, FeedAskedFromInsideARequestRefusesAndTheEntryGoesOn) {
  links.Start();
  ASSERT_TRUE(feed.SetUp());
  bool nested_request = true, nested_set_up = true;
  links.after_request = [&](int label) {
    if (label != kReceiveFrequency) return;
    // As a window message handled while a request waits would.
    nested_request = feed.Request(kSatelliteName);
    nested_set_up = feed.SetUp();
  };
  EXPECT_TRUE(Entry());
  EXPECT_FALSE(nested_request);
  EXPECT_FALSE(nested_set_up);
  EXPECT_EQ(links.calls, kFiveRequests);
}

}  // namespace
}  // namespace zelmor::entry

// When the worked-before hint shows, what it asks of the tracking program and when, its two
// settings, and which file of the log folder the index leaves out.

#include "worked/hint_plan.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "memory_profile_store.h"
#include "printable.h"
#include "settings/keys.h"
#include "worked/worked_source.h"

namespace zelmor::worked {
namespace {

using test_support::Utf8;

TEST(HintSettingsTest, HintsOnUnlessZeroAndADupeWindowOfWholeMinutes) {
  struct Row {
    std::optional<std::wstring> hints, minutes;  // nothing: not in the file
    bool on;
    int dupe_minutes;
  };
  const Row rows[] = {
      {std::nullopt, std::nullopt, true, 30},
      {L"0", std::nullopt, false, 30},
      {L" 0 ", L"15", false, 15},
      {L"1", L" 45 ", true, 45},
      {L"no", L"0", true, 0},  // only "0" turns it off; 0 minutes: no dupe hint
      {L"", L"1440", true, 1440},
      {std::nullopt, L"1441", true, 30},  // more than a day is no pass
      {std::nullopt, L"-5", true, 30},
      {std::nullopt, L"3.5", true, 30},
      {std::nullopt, L"abc", true, 30},
      {std::nullopt, L"", true, 30},
      {std::nullopt, L"99999999999", true, 30},
  };
  for (const Row& row : rows) {
    settings::MemoryProfileStore store;
    if (row.hints) store.Put(settings::kMainSection, settings::kHintsKey, *row.hints);
    if (row.minutes) store.Put(settings::kMainSection, settings::kDupeMinutesKey, *row.minutes);
    settings::Profile profile(store);
    const HintSettings read = ReadHintSettings(profile);
    const std::string what = "Hints=" + Utf8(row.hints.value_or(L"(none)")) +
                             " DupeMinutes=" + Utf8(row.minutes.value_or(L"(none)"));
    EXPECT_EQ(read.hints, row.on) << what;
    EXPECT_EQ(read.dupe_minutes, row.dupe_minutes) << what;
  }
}

TEST(HintPlanTest, AMemoWantsAHintForACallFirstOrAGrid) {
  struct Row {
    const wchar_t* memo;
    bool wants;
  };
  const Row rows[] = {
      {L"", false},
      {L"   ", false},
      {L"JA1", false},  // no letter after the digit yet
      {L"JA1A", true},
      {L"ja1abc", true},
      {L"JA1ABC/1 59 59", true},
      {L"KH6/JA1ABC", true},
      {L"CQ", false},
      {L"one", false},
      {L"59 59", false},
      {L"QO-100", false},
      {L"CQ PM95", true},  // no call, but the grid
      {L"PM95sq", true},
      {L"移動運用 JA1ZZZ", false},  // a call that is not the first word says nothing
      {L"JA1ABC 59 59 PM95", true},
  };
  for (const Row& row : rows) EXPECT_EQ(WantsHint(row.memo), row.wants) << Utf8(row.memo);
}

// One operator's typing against a clock: each step is something that happens at `at` ms, and what
// the plan says right after it.
TEST(HintPlanTest, SatelliteIsAskedForEachMemoAndWhileTypingOnceOld) {
  using State = SatelliteAsking::State;
  enum class Do { StartMemo, Ask, Answer, NoAnswer, Look };
  struct Step {
    const char* what;
    Do action;
    uint64_t at;
    const wchar_t* answer;  // for Answer
    bool should_ask;        // afterwards, at `at`
    State state;            // afterwards, at `at`
    const wchar_t* satellite;  // when Known; null: none
  };
  const Step steps[] = {
      {"a memo starts: ask", Do::StartMemo, 1000, nullptr, true, State::Known, nullptr},
      {"asked: wait for it", Do::Ask, 1000, nullptr, false, State::Waiting, nullptr},
      {"still waiting", Do::Look, 1299, nullptr, false, State::Waiting, nullptr},
      {"waited enough: without it", Do::Look, 1300, nullptr, false, State::Known, nullptr},
      {"the answer", Do::Answer, 1350, L"RS-44", false, State::Known, L"RS-44"},
      {"typing on: no new question", Do::Look, 11349, nullptr, false, State::Known, L"RS-44"},
      {"typing on, the answer old: ask", Do::Look, 11350, nullptr, true, State::Known, L"RS-44"},
      {"asked again: the old answer stands", Do::Ask, 11350, nullptr, false, State::Known, L"RS-44"},
      {"a new pass: the new satellite", Do::Answer, 11360, L"SO-50", false, State::Known, L"SO-50"},
      {"the next memo asks its own", Do::StartMemo, 12000, nullptr, true, State::Known, L"SO-50"},
      {"its question open: wait", Do::Ask, 12000, nullptr, false, State::Waiting, nullptr},
      {"no answer in time: the recent one", Do::Look, 12300, nullptr, false, State::Known, L"SO-50"},
      {"no tracking program", Do::NoAnswer, 12400, nullptr, false, State::Known, nullptr},
      {"a memo long after", Do::StartMemo, 40000, nullptr, true, State::Known, nullptr},
      {"asked", Do::Ask, 40000, nullptr, false, State::Waiting, nullptr},
      {"no answer, nothing recent", Do::Look, 40300, nullptr, false, State::Known, nullptr},
      {"a question unanswered is not asked twice", Do::StartMemo, 44999, nullptr, false, State::Known, nullptr},
      {"until it is taken for lost", Do::Look, 45000, nullptr, true, State::Known, nullptr},
  };
  SatelliteAsking plan;
  for (const Step& step : steps) {
    switch (step.action) {
      case Do::StartMemo: plan.MemoStarted(step.at); break;
      case Do::Ask: plan.Asked(step.at); break;
      case Do::Answer: plan.Answered(std::wstring(step.answer), step.at); break;
      case Do::NoAnswer: plan.Answered(std::nullopt, step.at); break;
      case Do::Look: break;
    }
    EXPECT_EQ(plan.ShouldAsk(step.at), step.should_ask) << step.what;
    const SatelliteAsking::Satellite now = plan.Now(step.at);
    EXPECT_EQ(now.state, step.state) << step.what;
    if (now.state == State::Known) {
      EXPECT_EQ(now.name, step.satellite ? std::optional<std::wstring>(step.satellite) : std::nullopt)
          << step.what << ": " << Utf8(now.name.value_or(L"(none)"));
    }
  }
}

TEST(WorkedSourceTest, SafetyCopyIsLeftOutOfTheProgramsFolderOnly) {
  struct Row {
    const wchar_t* log_folder;
    bool skipped;
  };
  const Row rows[] = {
      {L"C:\\Zelmor", true},
      {L"c:\\zelmor\\", true},
      {L"C:/Zelmor", true},
      {L"C:\\Zelmor\\logs", false},
      {L"D:\\Zelmor", false},
      {L"C:\\Zelmor2", false},
  };
  for (const Row& row : rows) {
    const auto skipped = SkippedLogFiles(row.log_folder, L"C:\\Zelmor", L"Zelmor_temp.txt");
    EXPECT_EQ(skipped, row.skipped ? std::vector<std::wstring>{L"Zelmor_temp.txt"} : std::vector<std::wstring>{})
        << Utf8(row.log_folder);
  }
}

}  // namespace
}  // namespace zelmor::worked

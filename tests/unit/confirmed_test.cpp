#include "worked/confirmed.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "confirmations/lotw_report.h"
#include "worked/worked_hint.h"
#include "worked/worked_index.h"
#include "worked/worked_log.h"
#include "worked/worked_summary.h"
#include "printable.h"
#include "worked_logs.h"

namespace zelmor::worked {
namespace {

using confirmations::Confirmation;
using test_support::At;
using test_support::LoggedLine;
using test_support::Utf8;

const FixedOffsetZone kJapan(540);
const LineReading kJapanese{entry::kDefaultTemplate, contact::LineFormats{L"yyyy/MM/dd", L":", L"."}, LocalTime{}};

SourceReading Read(const std::vector<std::wstring>& lines) { return ReadSourceLines(lines, kJapanese); }

// A confirmation as the kept file gives it; the time is UTC.
Confirmation Qsl(const std::wstring& call, const std::wstring& satellite, const std::wstring& band,
                 const LocalTime& utc, std::vector<std::wstring> grids = {}) {
  Confirmation c;
  c.call = call;
  c.satellite = satellite;
  c.band = band;
  c.utc_minute = MinuteNumber(utc.year, utc.month, utc.day, utc.hour, utc.minute);
  c.grids = std::move(grids);
  return c;
}

std::string Squares(const std::vector<int>& squares) {
  std::string text;
  for (int g : squares) text += (text.empty() ? "" : " ") + Utf8(GridText(g));
  return text;
}

// Each row: one contact logged (Japanese time, nine hours ahead of UTC) and one confirmation.
TEST(ConfirmedTest, WhichConfirmationConfirmsWhichContact) {
  const LocalTime jst_1914 = At(2026, 12, 1, 19, 14), utc_1014 = At(2026, 12, 1, 10, 14);
  const std::wstring ja1abc = LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", jst_1914);
  const struct {
    const char* why;
    std::wstring logged;
    Confirmation qsl;
    bool confirmed;
  } rows[] = {
      {"the same contact", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014), true},
      {"a suffix logged", LoggedLine(L"JA1ABC/P 59 59", L"RS-44", jst_1914), Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014), true},
      {"a /1 confirmed", ja1abc, Qsl(L"JA1ABC/1", L"RS-44", L"2m", utc_1014), true},
      {"a prefix logged", LoggedLine(L"KH6/JA1ABC", L"RS-44", jst_1914), Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014), true},
      {"lower case logged", LoggedLine(L"ja1abc", L"RS-44", jst_1914), Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014), true},
      {"another operator", ja1abc, Qsl(L"JA1ABD", L"RS-44", L"2m", utc_1014), false},
      {"another operator with the same suffix", ja1abc, Qsl(L"JA1ABD/P", L"RS-44", L"2m", utc_1014), false},
      {"AO-07 logged, AO-7 confirmed", LoggedLine(L"JA1ABC", L"AO-07", jst_1914), Qsl(L"JA1ABC", L"AO-7", L"2m", utc_1014), true},
      {"ISS logged, ARISS confirmed", LoggedLine(L"JA1ABC", L"ISS", jst_1914), Qsl(L"JA1ABC", L"ARISS", L"2m", utc_1014), true},
      {"a name not on LoTW's list, spelt two ways", LoggedLine(L"JA1ABC", L"xy 1", jst_1914),
       Qsl(L"JA1ABC", L"XY-1", L"2m", utc_1014), true},
      {"another satellite", LoggedLine(L"JA1ABC", L"SO-50", jst_1914), Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014), false},
      {"exactly 30 minutes later", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 10, 44)), true},
      {"exactly 30 minutes earlier", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 9, 44)), true},
      {"31 minutes later", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 10, 45)), false},
      {"31 minutes earlier", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 9, 43)), false},
      {"the log's local time taken for UTC", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 19, 14)), false},
      {"across UTC midnight", LoggedLine(L"JA1ABC", L"RS-44", At(2026, 12, 2, 9, 5)),
       Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 23, 50)), true},
      {"across the year's end", LoggedLine(L"JA1ABC", L"RS-44", At(2027, 1, 1, 8, 50)),
       Qsl(L"JA1ABC", L"RS-44", L"2m", At(2027, 1, 1, 0, 15)), true},
      {"31 minutes across a month's end", LoggedLine(L"JA1ABC", L"RS-44", At(2026, 12, 1, 8, 50)),
       Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 0, 21)), false},
      {"another band", LoggedLine(L"JA1ABC", L"RS-44", jst_1914, L"435.250.000"), Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014),
       false},
      {"the band in capitals", ja1abc, Qsl(L"JA1ABC", L"RS-44", L"2M", utc_1014), true},
      {"a line whose feed failed: the call and the time tell", LoggedLine(L"JA1ABC 59", L"", jst_1914),
       Qsl(L"JA1ABC", L"RS-44", L"2m", utc_1014), true},
      {"a line whose feed failed, at another time", LoggedLine(L"JA1ABC 59", L"", jst_1914),
       Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 10, 45)), false},
  };
  for (const auto& row : rows) {
    WorkedIndex index({}, &kJapan);
    index.Replace(L"a.TXT", Read({row.logged}));
    ASSERT_EQ(index.Contacts(), 1u) << row.why;
    index.SetConfirmations({row.qsl});
    EXPECT_EQ(index.ConfirmedContacts(), row.confirmed ? 1u : 0u) << row.why;
    EXPECT_EQ(index.MatchingContacts({row.qsl}), row.confirmed ? 1u : 0u) << row.why;
  }
}

TEST(ConfirmedTest, EveryGridOfAConfirmationIsConfirmedWhileItsContactIsLogged) {
  WorkedIndex index({}, &kJapan);
  const std::vector<Confirmation> qsls = {
      Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 10, 14), {L"PM95", L"pm96sq"}),  // a grid line
      Qsl(L"JA2XYZ", L"SO-50", L"2m", At(2026, 12, 1, 12, 0), {L"QM06"}),             // no such contact
      Qsl(L"JA3QRP", L"RS-44", L"2m", At(2026, 12, 1, 10, 20)),                       // no grid given
  };
  // Confirmations kept before the logs are read: each contact is matched as it comes.
  index.SetConfirmations(qsls);
  const std::vector<std::wstring> log = {LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 12, 1, 19, 14)),
                                         LoggedLine(L"JA2XYZ 59 59 QM06", L"SO-50", At(2026, 12, 1, 19, 0)),
                                         LoggedLine(L"JA3QRP 59 59 QM07", L"RS-44", At(2026, 12, 1, 19, 20))};
  index.Replace(L"a.TXT", Read(log));
  const auto confirmed = [&](const wchar_t* grid) { return index.LookUpGrid(grid, std::nullopt).confirmed; };
  EXPECT_EQ(index.ConfirmedContacts(), 2u);
  EXPECT_EQ(index.MatchingContacts(qsls), 2u);
  EXPECT_TRUE(confirmed(L"PM95"));
  EXPECT_TRUE(confirmed(L"PM96")) << "the second grid of a grid line";
  EXPECT_FALSE(confirmed(L"QM06")) << "a confirmation that matches no contact";
  EXPECT_FALSE(confirmed(L"QM07")) << "logged, but LoTW gave no grid";
  const WorkedSummary summary = Summarize(index);
  EXPECT_EQ(Squares(summary.worked_squares), "PM95 QM06 QM07");
  EXPECT_EQ(Squares(summary.confirmed_squares), "PM95 PM96");

  index.Remove(L"a.TXT");
  EXPECT_EQ(index.ConfirmedContacts(), 0u);
  EXPECT_FALSE(confirmed(L"PM96")) << "its contact is gone from the logs";
  index.Replace(L"b.TXT", Read(log));
  EXPECT_TRUE(confirmed(L"PM96"));
  index.SetConfirmations({});
  EXPECT_EQ(index.ConfirmedContacts(), 0u);
  EXPECT_FALSE(confirmed(L"PM95"));
  EXPECT_FALSE(index.HasConfirmations());
}

TEST(ConfirmedTest, TheKeptFileReadReachesTheIndex) {
  WorkedLog log({}, {}, &kJapan);
  FolderUpdate read;
  read.kind = FolderUpdate::Kind::Replace;
  read.source = L"a.TXT";
  read.reading = Read({LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 12, 1, 19, 14))});
  FolderUpdate kept;
  kept.kind = FolderUpdate::Kind::Confirmations;
  kept.confirmations = {Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 10, 14), {L"PM95"})};
  std::vector<FolderUpdate> updates;
  updates.push_back(std::move(read));
  updates.push_back(std::move(kept));
  EXPECT_TRUE(log.Apply(std::move(updates)));
  EXPECT_EQ(log.index().ConfirmedContacts(), 1u);
}

TEST(ConfirmedTest, HintForAWorkedSquareNotConfirmed) {
  WorkedIndex index({}, &kJapan);
  index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 12, 1, 19, 14)),
                                LoggedLine(L"JA2XYZ 59 59 PM85", L"RS-44", At(2026, 12, 1, 19, 16))}));
  const auto shown = [&](const std::wstring& memo, const std::optional<std::wstring>& satellite) {
    HintRequest request;
    request.memo = memo;
    request.satellite = satellite;
    request.now = At(2026, 12, 3, 9, 0);
    std::wstring text;
    for (const auto& line : WorkedHint(index, request).lines) text += (text.empty() ? L"" : L" | ") + line;
    return Utf8(text);
  };
  EXPECT_EQ(shown(L"PM85", L"RS-44"), "") << "nothing kept from LoTW: no square is said to be unconfirmed";
  index.SetConfirmations({Qsl(L"JA1ABC", L"RS-44", L"2m", At(2026, 12, 1, 10, 14), {L"PM95"})});
  EXPECT_EQ(shown(L"PM85", L"RS-44"), "PM85: 交信済み・未確認");
  EXPECT_EQ(shown(L"JA3NEW 59 59 pm85sq", std::nullopt), "初めての局 | PM85: 交信済み・未確認");
  EXPECT_EQ(shown(L"PM95", L"RS-44"), "") << "confirmed";
  EXPECT_EQ(shown(L"PM85", L"SO-50"), "PM85: SO-50で新") << "new on this satellite says so first";
  EXPECT_EQ(shown(L"PM86", L"RS-44"), "PM86: 新グリッド");
}

// Benchmark, not a test (disabled; run with --gtest_also_run_disabled_tests): LoTW's 10,000
// confirmations read from the kept file and matched against a log folder's 100,000 contacts, as
// when the kept file changes, and counted against them, as for the fetch's report.
TEST(ConfirmedBenchmark, DISABLED_TenThousandConfirmationsAgainstAHundredThousandContacts) {
  constexpr size_t kContacts = 100000, kConfirmations = 10000;
  const test_support::ConfirmedSample sample = test_support::ConfirmedSampleLog(kContacts);
  const std::string& kept = sample.kept;
  const std::vector<std::wstring>& lines = sample.lines;
  WorkedIndex index({}, &kJapan);
  index.Replace(L"a.TXT", Read(lines));
  ASSERT_EQ(index.Contacts(), kContacts);

  const auto start = std::chrono::steady_clock::now();
  const confirmations::KeptFile read = confirmations::ReadKept(kept);
  const auto was_read = std::chrono::steady_clock::now();
  index.SetConfirmations(read.confirmations);
  const auto marked = std::chrono::steady_clock::now();
  const size_t matching = index.MatchingContacts(read.confirmations);
  const auto counted = std::chrono::steady_clock::now();
  const auto ms = [](auto from, auto to) { return std::chrono::duration<double, std::milli>(to - from).count(); };
  std::printf("[ figure   ] %zu confirmations (%zu bytes) read in %.1f ms, matched against %zu contacts in %.1f ms "
              "(together %.1f ms); counted for a report in %.1f ms\n",
              read.confirmations.size(), kept.size(), ms(start, was_read), kContacts, ms(was_read, marked),
              ms(start, marked), ms(marked, counted));
  EXPECT_EQ(read.confirmations.size(), kConfirmations);
  EXPECT_EQ(index.ConfirmedContacts(), kConfirmations);
  EXPECT_EQ(matching, kConfirmations);
}

}  // namespace
}  // namespace zelmor::worked

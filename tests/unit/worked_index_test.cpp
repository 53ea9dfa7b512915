#include "worked/worked_index.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include "base/calendar.h"
#include "settings/keys.h"
#include "worked/worked_hint.h"
#include "worked/worked_log.h"
#include "worked/worked_summary.h"
#include "worked_logs.h"
#include "printable.h"

namespace zelmor::worked {
namespace {

using test_support::At;
using test_support::LoggedLine;
using test_support::Utf8;

const LineReading kJapanese{entry::kDefaultTemplate, contact::LineFormats{L"yyyy/MM/dd", L":", L"."}, LocalTime{}};

SourceReading Read(const std::vector<std::wstring>& lines) { return ReadSourceLines(lines, kJapanese); }

std::string Describe(const std::optional<LoggedTime>& t) {
  if (!t) return "-";
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t->year, t->month, t->day, t->hour, t->minute);
  return text;
}

// Everything a call lookup found, on one line.
std::string Describe(const CallLookup& f) {
  return "contacts=" + std::to_string(f.contacts) + " last=" + Describe(f.last) + " on_sat=" +
         std::to_string(f.on_satellite) + " last_on_sat=" + Describe(f.last_on_satellite) +
         " same_pass=" + Describe(f.same_pass) + (f.form_logged ? " form" : " other=" + Utf8(f.latest_form));
}

TEST(WorkedIdentityTest, OneOperatorUnderEveryForm) {
  const struct {
    std::wstring call, base;
  } rows[] = {
      {L"JA1ABC", L"JA1ABC"},    {L"ja1abc", L"JA1ABC"},      {L"JA1ABC/1", L"JA1ABC"},
      {L"JA1ABC/P", L"JA1ABC"},  {L"ja1abc/qrp", L"JA1ABC"},  {L"KH6/JA1ABC", L"JA1ABC"},
      {L"KH6/JA1ABC/P", L"JA1ABC"}, {L"W1AW/VE3", L"W1AW"},    {L"3D2/K1ABCD", L"K1ABCD"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Utf8(BaseCall(NormalizedCall(row.call))), Utf8(row.base)) << Utf8(row.call);
  }
  // Whatever the reader takes for a call, its base is a call too.
  for (const std::wstring word : {L"JA1ABC/1", L"2E0ABC/P", L"VP2V/K1ABC", L"A/JA1A/B", L"JA1ABC/KH6ABC"}) {
    ASSERT_TRUE(contact::IsCallSign(word)) << Utf8(word);
    EXPECT_TRUE(contact::IsCallSign(BaseCall(word))) << Utf8(word) << " -> " << Utf8(BaseCall(word));
  }
}

TEST(WorkedIdentityTest, GridsOfFourAndSixCharactersAreOneSquare) {
  const struct {
    std::wstring locator, square;
  } rows[] = {
      {L"PM95", L"PM95"}, {L"pm95", L"PM95"}, {L"PM95sq", L"PM95"}, {L"pM95SQ", L"PM95"},
      {L"AA00", L"AA00"}, {L"RR99xx", L"RR99"}, {L"PM9", L""},      {L"PM95s", L""},
      {L"SM95", L""},     {L"PM95zz", L""},   {L"JA1ABC", L""},
  };
  for (const auto& row : rows) EXPECT_EQ(Utf8(GridText(GridNumber(row.locator))), Utf8(row.square)) << Utf8(row.locator);
  for (int n = 0; n < 18 * 18 * 100; ++n) ASSERT_EQ(GridNumber(GridText(n)), n);
}

struct LookupRow {
  const char* why;
  std::vector<std::wstring> log;
  std::wstring call;
  std::optional<std::wstring> satellite;
  LocalTime now;
  std::string found;
  int window = 30;
};

TEST(WorkedIndexTest, CallLookups) {
  const auto rs44 = [](const std::wstring& memo, const LocalTime& at) { return LoggedLine(memo, L"RS-44", at); };
  const auto so50 = [](const std::wstring& memo, const LocalTime& at) { return LoggedLine(memo, L"SO-50", at); };
  const LocalTime t1014 = At(2026, 12, 1, 10, 14);
  const LookupRow rows[] = {
      {"nobody", {}, L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 20),
       "contacts=0 last=- on_sat=0 last_on_sat=- same_pass=- other="},
      {"same pass", {rs44(L"JA1ABC 59 59", t1014)}, L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 20),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=2026-12-01 10:14 form"},
      {"the window's last minute", {rs44(L"JA1ABC", t1014)}, L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 44),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=2026-12-01 10:14 form"},
      {"a minute past the window", {rs44(L"JA1ABC", t1014)}, L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 45),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=- form"},
      {"a window of 60 minutes", {rs44(L"JA1ABC", t1014)}, L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 45),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=2026-12-01 10:14 form", 60},
      {"no window", {rs44(L"JA1ABC", t1014)}, L"JA1ABC", L"RS-44", t1014,
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=- form", 0},
      {"across midnight", {rs44(L"JA1ABC", At(2026, 12, 31, 23, 50))}, L"JA1ABC", L"RS-44", At(2027, 1, 1, 0, 5),
       "contacts=1 last=2026-12-31 23:50 on_sat=1 last_on_sat=2026-12-31 23:50 same_pass=2026-12-31 23:50 form"},
      {"a clock set back: the contact a little later than now", {rs44(L"JA1ABC", t1014)}, L"JA1ABC", L"RS-44",
       At(2026, 12, 1, 10, 0),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=2026-12-01 10:14 form"},
      {"another satellite is no dupe", {so50(L"JA1ABC", t1014)}, L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 20),
       "contacts=1 last=2026-12-01 10:14 on_sat=0 last_on_sat=- same_pass=- form"},
      {"a line whose feed failed is the same pass", {LoggedLine(L"JA1ABC 59", L"", t1014)}, L"JA1ABC", L"RS-44",
       At(2026, 12, 1, 10, 20), "contacts=1 last=2026-12-01 10:14 on_sat=0 last_on_sat=- same_pass=2026-12-01 10:14 form"},
      {"no satellite known: any within the window", {so50(L"JA1ABC", t1014)}, L"JA1ABC", std::nullopt,
       At(2026, 12, 1, 10, 20), "contacts=1 last=2026-12-01 10:14 on_sat=0 last_on_sat=- same_pass=2026-12-01 10:14 form"},
      {"counts and the last date on this satellite",
       {rs44(L"JA1ABC", At(2025, 3, 1, 9, 0)), so50(L"JA1ABC", At(2026, 1, 2, 9, 0)), rs44(L"JA1ABC", At(2025, 11, 30, 9, 0))},
       L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 20),
       "contacts=3 last=2026-01-02 09:00 on_sat=2 last_on_sat=2025-11-30 09:00 same_pass=- form"},
      {"the tracking program's spelling", {rs44(L"JA1ABC", t1014)}, L"JA1ABC", L"rs44 ", At(2026, 12, 2, 0, 0),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=- form"},
      {"lower case typed", {rs44(L"JA1ABC", t1014)}, L"ja1abc", L"RS-44", At(2026, 12, 2, 0, 0),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=- form"},
      {"lower case logged", {rs44(L"ja1abc", t1014)}, L"JA1ABC", L"RS-44", At(2026, 12, 2, 0, 0),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=- form"},
      {"suffix typed, plain call logged", {rs44(L"JA1ABC", t1014)}, L"JA1ABC/1", L"RS-44", At(2026, 12, 2, 0, 0),
       "contacts=1 last=2026-12-01 10:14 on_sat=1 last_on_sat=2026-12-01 10:14 same_pass=- other=JA1ABC"},
      {"forms logged: the latest named",
       {rs44(L"JA1ABC/P", At(2026, 5, 1, 0, 0)), rs44(L"KH6/JA1ABC", At(2026, 6, 1, 0, 0))}, L"JA1ABC", L"RS-44",
       At(2026, 12, 2, 0, 0), "contacts=2 last=2026-06-01 00:00 on_sat=2 last_on_sat=2026-06-01 00:00 same_pass=- other=KH6/JA1ABC"},
      {"another operator with a like call", {rs44(L"JA1ABD", t1014), rs44(L"JA1AB", t1014)}, L"JA1ABC", L"RS-44",
       At(2026, 12, 1, 10, 20), "contacts=0 last=- on_sat=0 last_on_sat=- same_pass=- other="},
      {"a memo without a call is no contact", {rs44(L"CQ 599", t1014), rs44(L"PM95 JA1ABC", t1014)}, L"JA1ABC",
       L"RS-44", At(2026, 12, 1, 10, 20), "contacts=0 last=- on_sat=0 last_on_sat=- same_pass=- other="},
  };
  for (const auto& row : rows) {
    WorkedIndex index;
    index.Replace(L"log.TXT", Read(row.log));
    EXPECT_EQ(Describe(index.LookUpCall(row.call, row.satellite, row.now, row.window)), row.found) << row.why;
  }
}

TEST(WorkedIndexTest, ContactInTwoSourcesCountsOnceAndGoesWithTheLast) {
  const std::wstring a = LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 12, 1, 10, 14));
  const std::wstring b = LoggedLine(L"JA2XYZ 59 59 PM85", L"RS-44", At(2026, 12, 1, 10, 16));
  const std::wstring odd = L"--- pass 2 ---";
  WorkedIndex index;
  auto expect = [&](size_t contacts, size_t unreadable, const char* why) {
    EXPECT_EQ(index.Contacts(), contacts) << why;
    EXPECT_EQ(index.UnreadableLines(), unreadable) << why;
  };
  index.Replace(WorkedIndex::kPane, Read({a, b, odd}));
  expect(2, 1, "the pane");
  index.Replace(L"C:\\log\\Zelmor261201.TXT", Read({a, b, odd, L""}));
  expect(2, 1, "the pane saved to a file");
  index.Replace(L"C:\\log\\Zelmor_temp.txt", Read({a, a, b, odd, odd}));
  expect(2, 2, "the safety copy, a line entered twice and a note twice");
  index.Remove(L"C:\\log\\Zelmor_temp.txt");
  index.Replace(WorkedIndex::kPane, Read({}));
  expect(2, 1, "LOG Open of an empty log: the file still holds them");
  index.Replace(L"C:\\log\\Zelmor261201.TXT", Read({b}));
  expect(1, 0, "the file written again without the first");
  EXPECT_EQ(index.LookUpCall(L"JA1ABC", L"RS-44", At(2026, 12, 1, 10, 20), 30).contacts, 0u);
  EXPECT_FALSE(index.LookUpGrid(L"PM95", std::nullopt).worked) << "its grid went with it";
  index.Append(WorkedIndex::kPane, Read({a}));
  expect(2, 0, "an Enter");
  EXPECT_TRUE(index.LookUpGrid(L"PM95", L"RS-44").worked_on_satellite);
  index.Remove(L"C:\\log\\Zelmor261201.TXT");
  index.Remove(WorkedIndex::kPane);
  expect(0, 0, "nothing left");
  EXPECT_TRUE(index.SourceNames().empty());
}

TEST(WorkedIndexTest, HoldsWhatTheSourcesHoldNowWhateverCameBefore) {
  const LocalTime at = At(2026, 12, 1, 10, 14);
  WorkedIndex index;
  index.Replace(WorkedIndex::kPane, Read({LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", at)}));
  index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", at)}));
  // The grid corrected in the pane (edit mode), then saved over the file.
  index.Replace(WorkedIndex::kPane, Read({LoggedLine(L"JA1ABC 59 59 PM96", L"RS-44", at)}));
  EXPECT_EQ(index.Contacts(), 2u) << "the pane and the file disagree until it is saved";
  index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM96", L"RS-44", at)}));
  EXPECT_EQ(index.Contacts(), 1u);
  EXPECT_FALSE(index.LookUpGrid(L"PM95", std::nullopt).worked) << "the first grid is gone with its lines";
  EXPECT_TRUE(index.LookUpGrid(L"PM96", L"RS-44").worked_on_satellite);
}

TEST(WorkedIndexTest, GridLookups) {
  WorkedIndex index;
  index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM95sq", L"RS-44", At(2026, 12, 1, 10, 14)),
                                LoggedLine(L"JA2XYZ 59 59 pm85", L"SO-50", At(2026, 12, 1, 10, 16)),
                                LoggedLine(L"JA3QRP 59 QM06", L"", At(2026, 12, 1, 10, 18))}));
  const struct {
    std::wstring grid;
    std::optional<std::wstring> satellite;
    bool worked, on_satellite;
  } rows[] = {
      {L"PM95", L"RS-44", true, true},    {L"pm95ab", L"rs-44", true, true},  {L"PM95", L"SO-50", true, false},
      {L"PM85", L"RS-44", true, false},   {L"PM85", std::nullopt, true, false}, {L"PM96", L"RS-44", false, false},
      {L"QM06", L"RS-44", true, false},   {L"PM9", L"RS-44", false, false},
  };
  for (const auto& row : rows) {
    const GridLookup found = index.LookUpGrid(row.grid, row.satellite);
    EXPECT_EQ(found.worked, row.worked) << Utf8(row.grid);
    EXPECT_EQ(found.worked_on_satellite, row.on_satellite) << Utf8(row.grid);
  }
}

TEST(WorkedHintTest, LinesForWhatIsTyped) {
  WorkedIndex index;
  index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 11, 3, 9, 0)),
                                LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 12, 1, 10, 14)),
                                LoggedLine(L"JA2XYZ 59 59 PM85", L"SO-50", At(2026, 12, 1, 8, 16)),
                                LoggedLine(L"JA4SAT", L"SO-50", At(2026, 12, 1, 10, 20))}));
  const LocalTime now = At(2026, 12, 1, 10, 30);
  const struct {
    const char* why;
    std::wstring memo;
    std::optional<std::wstring> satellite;
    std::wstring shown;
  } rows[] = {
      {"dupe", L"JA1ABC", L"RS-44", L"! 同じパスで交信済み 10:14J"},
      {"dupe, lower case, reports typed", L"ja1abc 59", L"RS-44", L"! 同じパスで交信済み 10:14J"},
      {"worked before on this satellite", L"JA2XYZ", L"SO-50", L"SO-50で交信済み 2026/12/01 (2回目)"},
      {"worked, not on this satellite", L"JA2XYZ", L"RS-44", L"RS-44では初"},
      {"new station", L"JA3NEW", L"RS-44", L"初めての局"},
      {"under another form", L"JA2XYZ/1", L"RS-44", L"RS-44では初 | JA2XYZとして交信済み"},
      {"no satellite: every satellite counts", L"JA4SAT", std::nullopt, L"! 同じパスで交信済み 10:20J"},
      {"not the same pass on another satellite", L"JA4SAT", L"RS-44", L"RS-44では初"},
      {"new grid", L"JA3NEW 59 59 QM06", L"RS-44", L"初めての局 | QM06: 新グリッド"},
      {"grid new on this satellite", L"JA3NEW 59 59 PM85sq", L"RS-44", L"初めての局 | PM85: RS-44で新"},
      {"grid known here", L"JA3NEW 59 59 PM95", L"RS-44", L"初めての局"},
      {"grid without a satellite", L"JA3NEW PM85", std::nullopt, L"初めての局"},
      {"a grid alone", L"QM06", L"RS-44", L"QM06: 新グリッド"},
      {"first word no call sign", L"CQ JA1ABC", L"RS-44", L""},
      {"a call being typed", L"JA1AB", L"RS-44", L"初めての局"},
      {"empty", L"", L"RS-44", L""},
      {"a satellite of spaces is none", L"JA4SAT", L"  ", L"! 同じパスで交信済み 10:20J"},
  };
  for (const auto& row : rows) {
    HintRequest request;
    request.memo = row.memo;
    request.satellite = row.satellite;
    request.now = now;
    const Hint hint = WorkedHint(index, request);
    std::wstring shown = hint.same_pass ? L"! " : L"";
    for (size_t i = 0; i < hint.lines.size(); ++i) shown += (i ? L" | " : L"") + hint.lines[i];
    EXPECT_EQ(shown, row.shown) << row.why << ": " << Utf8(shown);
  }
  HintRequest later;
  later.memo = L"JA1ABC";
  later.satellite = L"RS-44";
  later.now = At(2026, 12, 2, 0, 0);
  EXPECT_EQ(WorkedHint(index, later).lines, std::vector<std::wstring>{L"RS-44で交信済み 2026/12/01 (3回目)"})
      << "past the window, this would be the third on RS-44";
  later.satellite.reset();
  EXPECT_EQ(WorkedHint(index, later).lines, std::vector<std::wstring>{L"交信済み 2026/12/01 (3回目)"});
}

TEST(WorkedSummaryTest, CountsPerSatelliteAndInTotal) {
  const FixedOffsetZone japan(540);
  WorkedIndex index({}, &japan);
  index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM95", L"RS-44", At(2026, 11, 3, 9, 0)),
                                LoggedLine(L"JA1ABC/P 59 59 PM96", L"RS44", At(2026, 12, 1, 10, 14)),
                                LoggedLine(L"JA2XYZ 59 59 PM85", L"RS-44", At(2026, 12, 1, 10, 16)),
                                LoggedLine(L"JA2XYZ 59 59 PM85", L"SO-50", At(2026, 12, 2, 10, 16)),
                                LoggedLine(L"JA3QRP 599", L"", At(2026, 12, 2, 10, 18)),
                                L"--- pass 2 ---", LoggedLine(L"QRT", L"ISS", At(2026, 12, 2, 10, 20))}));
  index.Replace(WorkedIndex::kPane, Read({LoggedLine(L"JA2XYZ 59 59 PM85", L"SO-50", At(2026, 12, 2, 10, 16))}));
  // LoTW confirms the second contact with JA1ABC (in UTC), and JA3QRP's, logged without a
  // satellite, with a square its line does not give.
  confirmations::Confirmation abc, qrp;
  abc.call = L"JA1ABC", abc.satellite = L"RS-44", abc.band = L"2m", abc.grids = {L"PM96"};
  abc.utc_minute = MinuteNumber(2026, 12, 1, 1, 14);
  qrp.call = L"JA3QRP", qrp.satellite = L"AO-91", qrp.band = L"70cm", qrp.grids = {L"QM06"};
  qrp.utc_minute = MinuteNumber(2026, 12, 2, 1, 18);
  index.SetConfirmations({abc, qrp});
  WorkedSummary summary = Summarize(index);
  summary.files_not_read = {L"big.TXT"};
  EXPECT_EQ(SummaryText(summary),
            L"衛星\tQSO\t局数\tグリッド\t確認QSO\t確認グリッド\r\n"
            L"RS-44\t3\t2\t3\t1\t1\r\n"
            L"SO-50\t1\t1\t1\t0\t0\r\n"
            L"(衛星名なし)\t1\t1\t0\t1\t1\r\n"
            L"合計\t5\t3\t3\t2\t2\r\n"
            L"\r\n"
            L"VUCC: 確認 2 / 交信 3\r\n"
            L"読めなかった行: 1行\r\n"
            L"コールサインで始まらない行: 1行\r\n"
            L"読めなかったファイル: big.TXT\r\n");
}

// One satellite under the spellings of two trackers, or of an old log and today's tracker: the
// hint, the grid and the summary count it as the ADIF export writes it (contact::SatelliteNames).
TEST(WorkedIndexTest, SpellingsOfOneSatelliteAreOneSatellite) {
  const auto index_of = [](WorkedIndex index) {
    index.Replace(L"a.TXT", Read({LoggedLine(L"JA1ABC 59 59 PM95", L"AO-07", At(2026, 11, 3, 9, 0)),
                                  LoggedLine(L"JA2XYZ 59 59 PM85", L"ISS", At(2026, 11, 4, 9, 0)),
                                  LoggedLine(L"JA3QRP 59 59 QM06", L"GreenCube", At(2026, 11, 5, 9, 0)),
                                  LoggedLine(L"JA4ABC 59 59 QM07", L"ＡＯ－７", At(2026, 11, 6, 9, 0))}));
    return index;
  };
  const WorkedIndex lotw = index_of(WorkedIndex());
  const WorkedIndex operators = index_of(WorkedIndex(contact::SatelliteNames(std::vector<std::pair<std::wstring, std::wstring>>{{L"GREENCUBE", L"IO-117"}})));
  const struct {
    std::wstring call, grid, asked;
    size_t on_satellite, with_operators;  // contacts with the call on the asked satellite
  } rows[] = {
      {L"JA1ABC", L"PM95", L"AO-7", 1, 1},     {L"JA1ABC", L"PM95", L"ao 7", 1, 1},
      {L"JA4ABC", L"QM07", L"AO-07", 1, 1},    {L"JA1ABC", L"PM95", L"AO-73", 0, 0},
      {L"JA2XYZ", L"PM85", L"ARISS", 1, 1},    {L"JA2XYZ", L"PM85", L"iss", 1, 1},
      {L"JA3QRP", L"QM06", L"IO-117", 0, 1},   {L"JA3QRP", L"QM06", L"greencube", 1, 1},
  };
  for (const auto& row : rows) {
    for (const WorkedIndex* index : {&lotw, &operators}) {
      const size_t expected = index == &lotw ? row.on_satellite : row.with_operators;
      const std::string why = Utf8(row.call) + " on " + Utf8(row.asked);
      EXPECT_EQ(index->LookUpCall(row.call, row.asked, At(2027, 1, 1, 0, 0), 0).on_satellite, expected) << why;
      EXPECT_EQ(index->LookUpGrid(row.grid, row.asked).worked_on_satellite, expected > 0) << why;
    }
  }
  const WorkedSummary summary = Summarize(lotw);
  ASSERT_EQ(summary.satellites.size(), 3u);
  EXPECT_EQ(summary.satellites[0].contacts, 2u) << "AO-07 and ＡＯ－７ are one row";
  EXPECT_EQ(Summarize(operators).satellites.size(), 3u);
}

FolderUpdate Update(FolderUpdate::Kind kind, const std::wstring& source, const std::vector<std::wstring>& lines,
                    uint64_t pane = 0) {
  FolderUpdate u;
  u.kind = kind;
  u.source = source;
  u.reading = Read(lines);
  u.pane = pane;
  return u;
}

TEST(WorkedLogTest, PaneReadingsAndFolderReadsApplyInOrder) {
  const auto line = [](const wchar_t* call) { return LoggedLine(call, L"RS-44", At(2026, 12, 1, 10, 14)); };
  const auto worked = [](const WorkedLog& log, const wchar_t* call) {
    return log.index().LookUpCall(call, std::nullopt, At(2027, 1, 1, 0, 0), 0).contacts;
  };
  WorkedLog log(kJapanese);
  log.LineAdded(line(L"JA1OLD"));
  const uint64_t first = log.PaneHandedOver();
  const uint64_t second = log.PaneHandedOver();  // LOG Open again before the first was read
  log.LineAdded(line(L"JA2NOW"));
  std::vector<FolderUpdate> updates;
  updates.push_back(Update(FolderUpdate::Kind::PaneRead, L"", {line(L"JA3STALE")}, first));
  EXPECT_FALSE(log.Apply(std::move(updates))) << "a reading of an older hand-over is dropped";
  EXPECT_TRUE(log.pane_pending());
  updates.clear();
  updates.push_back(Update(FolderUpdate::Kind::PaneRead, L"", {line(L"JA4OPEN")}, second));
  updates.push_back(Update(FolderUpdate::Kind::Replace, L"C:\\log\\1.TXT", {line(L"JA5FILE")}));
  updates.push_back(Update(FolderUpdate::Kind::Replace, L"C:\\log\\2.TXT", {line(L"JA6GONE")}));
  EXPECT_TRUE(log.Apply(std::move(updates)));
  EXPECT_FALSE(log.pane_pending());
  EXPECT_EQ(worked(log, L"JA1OLD"), 0u) << "replaced by LOG Open";
  EXPECT_EQ(worked(log, L"JA3STALE"), 0u);
  EXPECT_EQ(worked(log, L"JA4OPEN"), 1u);
  EXPECT_EQ(worked(log, L"JA2NOW"), 1u) << "entered while the pane was read";
  EXPECT_FALSE(log.folder_read());

  FolderUpdate whole;
  whole.kind = FolderUpdate::Kind::FolderRead;
  whole.sources = {L"C:\\log\\1.TXT", L"C:\\log\\big.TXT"};
  whole.not_read = {L"C:\\log\\big.TXT"};
  updates.clear();
  updates.push_back(whole);
  EXPECT_TRUE(log.Apply(std::move(updates)));
  EXPECT_TRUE(log.folder_read());
  EXPECT_EQ(worked(log, L"JA6GONE"), 0u) << "a file the folder no longer lists";
  EXPECT_EQ(worked(log, L"JA5FILE"), 1u);
  EXPECT_EQ(worked(log, L"JA4OPEN"), 1u) << "the pane is no file of the folder";
  EXPECT_EQ(log.Summary().files_not_read, std::vector<std::wstring>{L"big.TXT"});
}

// Hints and the summary wait for the folder to be read whole: its first reading is news even when
// it brought no contact (an empty folder), a later one that changed nothing is not.
TEST(WorkedLogTest, FolderReadWholeIsNewsOnceEvenWhenEmpty) {
  WorkedLog log(kJapanese);
  FolderUpdate whole;
  whole.kind = FolderUpdate::Kind::FolderRead;
  std::vector<FolderUpdate> updates;
  updates.push_back(whole);
  EXPECT_TRUE(log.Apply(std::move(updates)));
  EXPECT_TRUE(log.folder_read());
  updates.clear();
  updates.push_back(whole);
  EXPECT_FALSE(log.Apply(std::move(updates)));
  log.FolderWatchStarted();
  updates.clear();
  updates.push_back(whole);
  EXPECT_TRUE(log.Apply(std::move(updates))) << "another folder, read whole";
}

TEST(WorkedLogTest, LargeReadingsMergeInSlices) {
  const auto lines = IndexedLines(test_support::SampleLog(1200, 9));
  WorkedLog log(kJapanese);
  std::vector<FolderUpdate> updates;
  updates.push_back(Update(FolderUpdate::Kind::Replace, L"big.TXT", lines));
  log.Receive(std::move(updates));
  bool changed = false;
  int slices = 1;
  while (log.Merge(500, changed)) {
    ++slices;
    EXPECT_FALSE(log.index().Has(L"big.TXT")) << "committed only with its last slice";
    EXPECT_EQ(log.index().Contacts(), 500u * (slices - 1));
  }
  EXPECT_EQ(slices, 3);
  EXPECT_TRUE(changed);
  EXPECT_EQ(log.index().Contacts(), 1200u);

  // LOG Open twice: the first reading, half merged, is dropped when the second hand-over shows.
  log.LineAdded(LoggedLine(L"JA1NOW", L"RS-44", At(2030, 1, 1, 0, 0)));
  const uint64_t first = log.PaneHandedOver();
  updates.clear();
  updates.push_back(Update(FolderUpdate::Kind::PaneRead, L"", lines, first));
  log.Receive(std::move(updates));
  EXPECT_TRUE(log.Merge(500, changed));
  const uint64_t second = log.PaneHandedOver();
  updates.clear();
  updates.push_back(Update(FolderUpdate::Kind::PaneRead, L"", {LoggedLine(L"JA2OPN", L"RS-44", At(2030, 1, 1, 0, 5))},
                           second));
  log.Receive(std::move(updates));
  EXPECT_FALSE(log.Merge(500, changed));
  EXPECT_EQ(log.index().Contacts(), 1201u) << "the file and the second pane; nothing of the first";
}

TEST(WorkedSourceTest, ParallelReadingGivesWhatOneThreadReads) {
  const auto big = IndexedLines(test_support::SampleLog(2500, 7) + L"note\r\n\r\n");
  const auto small = IndexedLines(test_support::SampleLog(3, 8));
  const std::vector<std::wstring> none;
  std::atomic<bool> stop{false};
  const auto read = ReadInParallel({&big, &none, &small}, kJapanese, 3, stop);
  ASSERT_TRUE(read.has_value());
  ASSERT_EQ(read->size(), 3u);
  const SourceReading expected[] = {Read(big), Read(none), Read(small)};
  for (size_t i = 0; i < 3; ++i) {
    const SourceReading& got = (*read)[i];
    ASSERT_EQ(got.records.size(), expected[i].records.size()) << i;
    for (size_t r = 0; r < got.records.size(); ++r) {
      const SourceRecord &g = got.records[r], &e = expected[i].records[r];
      ASSERT_EQ(got.names[g.call], expected[i].names[e.call]) << i << " record " << r;
      ASSERT_EQ(CalendarMinute(g.time), CalendarMinute(e.time)) << i << " record " << r;
      ASSERT_EQ(g.grid, e.grid);
    }
    EXPECT_EQ(got.unreadable, expected[i].unreadable);
  }
  EXPECT_EQ(read->front().records.size(), 2500u);
  EXPECT_EQ(read->front().unreadable.size(), 1u) << "the note; the empty line is no line";

  // The operator's station line is neither a contact nor an unreadable line.
  const auto stated = IndexedLines(L"#STATION JA1ABC/1 GRID=PM95,PM96 PREF=10 LOC=東京 移動\r\n" +
                                   test_support::SampleLog(3, 8));
  EXPECT_EQ(Read(stated).records.size(), 3u);
  EXPECT_TRUE(Read(stated).unreadable.empty());
  // One the dialog would refuse (a city of Tokyo in Saitama) is a broken line.
  const auto broken = IndexedLines(L"#STATION JA1ABC/1 GRID=PM95 PREF=11 CITY=100101 LOC=Home\r\n" +
                                   test_support::SampleLog(3, 8));
  EXPECT_EQ(Read(broken).records.size(), 3u);
  EXPECT_EQ(Read(broken).unreadable.size(), 1u);
  stop = true;
  EXPECT_FALSE(ReadInParallel({&big}, kJapanese, 2, stop).has_value()) << "a stop gives nothing half-read";
}

TEST(WorkedSourceTest, LogFilesAndWhatChanged) {
  const struct {
    std::wstring name;
    bool log;
  } names[] = {{L"Zelmor261201.TXT", true}, {L"a.txt", true},  {L"b.Txt", true},       {L"Zelmor_temp.txt", false},
               {L"ZELMOR_TEMP.TXT", false}, {L"a.adi", false}, {L"a.txt.bak", false}, {L".txt", false},
               {L"a.TXT.1.zelmor-tmp", false}, {L"Zelmor-lotw-261207-2105.txt", false},
               {L"zelmor-lotw-261207-2105.TXT", false}, {L"Zelmor-lotwx.TXT", true}};
  for (const auto& row : names) EXPECT_EQ(IsLogFileName(row.name, {L"Zelmor_temp.txt"}), row.log) << Utf8(row.name);

  const std::vector<FileStamp> before = {{L"a.TXT", 10, 1}, {L"b.TXT", 20, 2}, {L"c.TXT", 30, 3}};
  const std::vector<FileStamp> now = {{L"a.TXT", 10, 1}, {L"b.TXT", 20, 5}, {L"d.TXT", 5, 5}, {L"c.TXT", 31, 3}};
  const FolderChanges changes = CompareListings(before, now);
  EXPECT_EQ(changes.changed, (std::vector<std::wstring>{L"b.TXT", L"d.TXT", L"c.TXT"}));
  EXPECT_TRUE(changes.removed.empty());
  EXPECT_EQ(CompareListings(before, {{L"b.TXT", 20, 2}}).removed, (std::vector<std::wstring>{L"a.TXT", L"c.TXT"}));
}

}  // namespace
}  // namespace zelmor::worked

#include "transfer/whole_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "entry/log_format.h"

namespace zelmor::transfer {
using namespace contact;

// gtest finds this beside PlannedField: a failing plan shows its codes and texts.
void PrintTo(const PlannedField& f, std::ostream* os) {
  *os << f.code << ":";
  for (wchar_t c : f.text) *os << (c < 0x80 ? static_cast<char>(c) : '?');
}

namespace {

using Plan = std::vector<PlannedField>;
using Entries = std::vector<std::pair<std::wstring, std::wstring>>;

Contact Read(const std::wstring& line, const std::wstring& template_text = entry::kDefaultTemplate,
             const LineFormats& formats = LineFormats{}) {
  const auto contact = ReadContact(line, template_text, formats, LocalTime{2024, 3, 6, 0, 0, 0});
  EXPECT_TRUE(contact.has_value()) << "unreadable test line";
  return contact.value_or(Contact{});
}

const LineFormats kWine{L"yyyy/M/d", L":", L"."};

const wchar_t kComposed[] =
    L"2024/3/5 21:05J JA1ABC 59 57 QRP PM95 %Sat=RS-44/Rev:21847% 145/435 SSB Up=145.965/Down=435.640";

TEST(PlanWholeLineTest, DefaultsInSendingOrder) {
  // Wine's picture: DATE is still yy/MM/dd, not the last eight characters of "2024/3/5".
  const Contact c = Read(kComposed, entry::kDefaultTemplate, kWine);
  EXPECT_EQ(PlanWholeLine(c, DefaultFieldMapping()),
            (Plan{{1, L"JA1ABC"}, {2, L"24/03/05"}, {3, L"21:05J"}, {4, L"59"}, {5, L"57"}, {6, L"145/435"},
                  {7, L"SSB"}, {13, L"RS-44"}, {14, L"QRP PM95"}}));
}

TEST(PlanWholeLineTest, EmptyValuesAreNotSent) {
  // A fallback line: no frequency, mode or satellite; no reports typed.
  EXPECT_EQ(PlanWholeLine(Read(L"2024/03/05 00:01J  JA1ABC  tnx "), DefaultFieldMapping()),
            (Plan{{1, L"JA1ABC"}, {2, L"24/03/05"}, {3, L"00:01J"}, {14, L"tnx"}}));
  // No call sign: the memo's words are remarks.
  EXPECT_EQ(PlanWholeLine(Read(L"2024/03/05 00:01J CQ"), DefaultFieldMapping()),
            (Plan{{2, L"24/03/05"}, {3, L"00:01J"}, {14, L"CQ"}}));
}

TEST(PlanWholeLineTest, FrequencyFormedWithoutLogFrequencyAndNoZoneWithoutLetter) {
  const Contact c = Read(L"2024/03/05 21:05 JA1ABC FM 145.990/437.800", L"#DT #TM #MM #MD #TX/#RX");
  EXPECT_EQ(PlanWholeLine(c, DefaultFieldMapping()),
            (Plan{{1, L"JA1ABC"}, {2, L"24/03/05"}, {3, L"21:05"}, {6, L"145/437"}, {7, L"FM"}}));
}

TEST(ParseFieldMappingTest, KeysChangeTheirFieldsOnly) {
  const Contact c = Read(kComposed, entry::kDefaultTemplate, kWine);
  const FieldMapping mapping = ParseFieldMapping(Entries{
      {L"rem1", L"#SN #RV"},           // any case
      {L"MODE", L""},                  // present and empty: not sent
      {L"REM2", L"#GL #MM #XX"},       // unknown tokens stay as written
      {L"TIME", L"#TM"},
      {L"Unknown", L"#CS"},            // ignored
      {L"FREQ", L"#TX"}, {L"FREQ", L" #RX "},  // the later one wins; spaces around go
  });
  EXPECT_EQ(PlanWholeLine(c, mapping),
            (Plan{{1, L"JA1ABC"}, {2, L"24/03/05"}, {3, L"21:05"}, {4, L"59"}, {5, L"57"}, {6, L"435.640"},
                  {13, L"RS-44 21847"}, {14, L"PM95 JA1ABC 59 57 QRP PM95 #XX"}}));
  EXPECT_EQ(ParseFieldMapping({}).values, DefaultFieldMapping().values);
}

TEST(ExpandFieldTest, ValuesAreNotSearchedAgain) {
  const Contact c = Read(L"2024/03/05 21:05J #SN #CS", L"#DT #TMJ #MM");
  EXPECT_EQ(ExpandField(L"#MM|#SN", c), L"#SN #CS|");
}

}  // namespace
}  // namespace zelmor::transfer

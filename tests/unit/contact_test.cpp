#include "contact/contact.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "contact/bands.h"
#include "entry/log_format.h"
#include "line_values_text.h"
#include "printable.h"

namespace zelmor::contact {
namespace {

using test_support::Describe;
using test_support::Utf8;

const std::wstring kDefault = entry::kDefaultTemplate;
LineFormats Japanese() { return LineFormats{L"yyyy/MM/dd", L":", L"."}; }
const LocalTime kNow{2024, 3, 6, 12, 0, 0};

struct WordsRow {
  std::wstring memo;
  std::wstring classes;  // one letter a word: C call, S sent, R received, G grid, - remark
};

TEST(ClassifyMemoTest, WordClasses) {
  const WordsRow rows[] = {
      {L"JA1ABC 59 59 PM95", L"CSRG"},
      {L"ja1abc/1 599 5nn pm95sq QRP", L"CSRG-"},
      {L"KH6/JA1ABC/P -10 +05 QM05", L"CSRG"},
      {L"JA1ABC 59", L"CS"},
      {L"JA1ABC PM95 59", L"CG-"},       // reports come right after the call sign
      {L"JA1ABC 59 59 60 PM95 PM96", L"CSR-G-"},  // one grid; 60 is no report
      {L"CQ 599", L"--"},                 // no digit: no call sign, so no reports
      {L"59 59", L"--"},                  // no letter
      {L"JA1ABC\u300059\t59", L"CSR"},    // full-width space and tab separate words too
      {L"JA1-ABC 59", L"--"},
      {L"A/B/C1/D 59", L"--"},
      {L"JA1ABC 69 5N", L"C--"},
      {L"JA1ABC SS99", L"C-"},            // S beyond R: no locator
      {L"5NN 5NN", L"--"},                // no call sign's shape
      {L"PM95 JA1ABC", L"G-"},
      {L"3D2AG 599", L"CS"},
      {L"2E0ABC/P 59", L"CS"},
      {L"", L""},
  };
  for (const auto& row : rows) {
    std::wstring classes;
    for (const auto& w : ClassifyMemo(row.memo).words) {
      const wchar_t letters[] = L"CSRG-";
      classes += letters[static_cast<int>(w.kind)];
    }
    EXPECT_EQ(Utf8(classes), Utf8(row.classes)) << Utf8(row.memo);
  }
  const auto words = ClassifyMemo(L"JA1ABC 59 59 QRP PM95 tnx");
  EXPECT_EQ(words.Remarks(true), L"QRP PM95 tnx");
  EXPECT_EQ(words.Remarks(false), L"QRP tnx");
}

TEST(FirstReadableLineTest, SkipsWhatCannotBeRead) {
  const std::wstring first = L"2024/03/05 21:05J JA1ABC";
  EXPECT_EQ(Describe(FirstReadableLine(L"notes\r\n  " + first + L"  \r\n2024/03/05 21:06J JA2XYZ", kDefault,
                                       Japanese(), kNow)),
            "fallback 2024-03-05 21:05J memo=[JA1ABC]");
  EXPECT_EQ(Describe(FirstReadableLine(L"\n\r\n" + first, kDefault, Japanese(), kNow)),
            "fallback 2024-03-05 21:05J memo=[JA1ABC]");
  EXPECT_EQ(FirstReadableLine(L"21:05J JA1ABC", kDefault, Japanese(), kNow), std::nullopt);
  EXPECT_EQ(FirstReadableLine(L"", kDefault, Japanese(), kNow), std::nullopt);
}

TEST(BandTest, HertzAndWholeMegahertz) {
  EXPECT_EQ(BandOf(144000000), "2m");
  EXPECT_EQ(BandOf(148000000), "2m");
  EXPECT_EQ(BandOf(148000001), "");
  EXPECT_EQ(BandOf(29450000), "10m");
  EXPECT_EQ(BandOf(1268000000), "23cm");
  EXPECT_EQ(BandOf(221000000), "") << "TQSL's 1.25m starts at 220 MHz, ADIF's at 222";
  EXPECT_EQ(BandOfWholeMegahertz(145), "2m");
  EXPECT_EQ(BandOfWholeMegahertz(435), "70cm");
  EXPECT_EQ(BandOfWholeMegahertz(24), "12m");
  EXPECT_EQ(BandOfWholeMegahertz(0), "") << "2190m and 630m both";
  EXPECT_EQ(BandOfWholeMegahertz(100), "");
}

TEST(BandTest, NumbersKeepTheName) {
  for (int n = 0; n < static_cast<int>(kBands.size); ++n) EXPECT_EQ(BandNumber(BandName(n)), n) << BandName(n);
  EXPECT_EQ(BandName(BandNumber("70CM")), "70cm") << "LoTW's BAND in another case";
  EXPECT_EQ(BandNumber(""), -1);
  EXPECT_EQ(BandNumber("11m"), -1);
}

}  // namespace
}  // namespace zelmor::contact

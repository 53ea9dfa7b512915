#include "transfer/field_transfer.h"

#include <gtest/gtest.h>

#include "base/text.h"

#include <cstdint>
#include <string>

namespace zelmor::transfer {
namespace {

struct CodeRow {
  FieldCode code;
  uint32_t wire;
  const char* why;
};

TEST(WireFieldCodeTest, FlagIsAddedToTheNewerFieldsOnly) {
  const CodeRow rows[] = {
      {1, 0x20001, "CALL"},
      {2, 0x20002, "DATE"},
      {3, 0x20003, "TIME"},
      {4, 4, "HisRST goes out bare"},
      {5, 5, "MyRST goes out bare"},
      {6, 0x20006, "FREQ"},
      {7, 0x20007, "MODE"},
      {8, 0x20008, "CODE"},
      {9, 9, "no menu item, bare"},
      {10, 10, "no menu item, bare"},
      {11, 11, "NAME goes out bare"},
      {12, 12, "no menu item, bare"},
      {13, 0x2000D, "REM-1"},
      {14, 0x2000E, "REM-2"},
      {0, 0, "below the range: unchanged"},
      {-1, 0xFFFFFFFFu, "negative: its own bit pattern"},
      {15, 15, "above the range: unchanged"},
      {0x7fffffff, 0x7fffffffu, "largest code: unchanged"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(WireFieldCode(row.code), row.wire) << "code " << row.code << ": " << row.why;
  }
}

struct TextRow {
  FieldCode code;
  std::wstring text;
  std::wstring sent;
  const char* why;
};

TEST(FieldTextTest, OnlyTheDateFieldIsCutToItsLastEightCharacters) {
  const TextRow rows[] = {
      {2, L"2024/01/02", L"24/01/02", "a long date keeps its tail"},
      {2, L"01/02", L"01/02", "a short date goes whole"},
      {2, L"24/01/02", L"24/01/02", "exactly eight goes whole"},
      {2, L"令和06年01月02日", L"6年01月02日", "characters, not bytes, are counted"},
      {2, L"", L"", "empty stays empty"},
      {1, L"2024/01/02 JA1ABC", L"2024/01/02 JA1ABC", "other fields go whole"},
      {0x20002, L"2024/01/02", L"2024/01/02", "only the code 2 itself is cut"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FieldText(row.code, row.text), row.sent) << row.why;
  }
}

struct TrimRow {
  std::wstring text;
  std::wstring trimmed;
  const char* why;
};

TEST(TrimSpacesTest, RemovesOnlyPlainSpacesAtBothEnds) {
  const TrimRow rows[] = {
      {L"  ABC123  ", L"ABC123", "spaces on both sides"},
      {L"ABC 123", L"ABC 123", "inner spaces stay"},
      {L"ABC123\r\n", L"ABC123\r\n", "a trailing line break stays"},
      {L" \tABC\t ", L"\tABC\t", "tabs stay, also at the ends"},
      {L"\x3000" L"ABC\x3000", L"\x3000" L"ABC\x3000", "full-width spaces stay"},
      {L"    ", L"", "only spaces give empty"},
      {L"", L"", "empty stays empty"},
      {L"A", L"A", "one character"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(TrimSpaces(row.text), row.trimmed) << row.why;
  }
}

TEST(BuildWireRecordTest, CountsTheTextBytesAndEndsThemWithOneNul) {
  const WireRecord ascii = BuildWireRecord(0x20001, "ABC123");
  EXPECT_EQ(ascii.dwData, 0x20001u);
  EXPECT_EQ(ascii.cbData, 6u);
  EXPECT_EQ(ascii.bytes, std::string("ABC123\0", 7));

  // Three Shift-JIS characters: two bytes each, the byte count is what cbData holds.
  const WireRecord sjis = BuildWireRecord(11, "\x93\xfa\x96\x7b\x8c\xea");
  EXPECT_EQ(sjis.cbData, 6u);
  EXPECT_EQ(sjis.bytes.size(), 7u);
  EXPECT_EQ(sjis.bytes.back(), '\0');

  const WireRecord empty = BuildWireRecord(4, "");
  EXPECT_EQ(empty.cbData, 0u);
  EXPECT_EQ(empty.bytes, std::string(1, '\0'));
}

}  // namespace
}  // namespace zelmor::transfer

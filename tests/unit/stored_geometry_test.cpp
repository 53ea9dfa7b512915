#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "memory_profile_store.h"
#include "settings/window_geometry.h"

namespace zelmor::settings {
namespace {

// Left, top, width, height: a failure shows all four.
std::vector<float> ToVector(const window::TwipsRect& r) { return {r.left, r.top, r.width, r.height}; }

TEST(ParseTwipsTest, RoundsHalvesToEvenAndRejectsWhatIsNoNumber) {
  struct Row {
    const wchar_t* text;
    std::optional<int32_t> expected;
  } rows[] = {
      {L"1260", 1260},
      {L"1234.5", 1234},  // halves go to the even neighbour
      {L"1235.5", 1236},
      {L"1234.51", 1235},
      {L"-0.5", 0},
      {L"-1.5", -2},
      {L" 42 ", 42},
      {L"+7", 7},
      {L"2147483647", 2147483647},
      {L"-2147483648", INT32_MIN},
      {L"2147483648", std::nullopt},  // beyond 32 bits: the default applies
      {L"99999999999999999999", std::nullopt},
      {L"", std::nullopt},
      {L"abc", std::nullopt},
      {L"12abc", std::nullopt},
      {L".", std::nullopt},
      {L"-", std::nullopt},
      {L"1e3", std::nullopt},
  };
  for (const auto& row : rows) EXPECT_EQ(ParseTwips(row.text), row.expected) << '"' << row.text << '"';
}

TEST(FormatTwipsTest, WholeNumbersHaveNoDecimalPart) {
  EXPECT_EQ(FormatTwips(1260.0f), L"1260");
  EXPECT_EQ(FormatTwips(0.0f), L"0");
  EXPECT_EQ(FormatTwips(-150.0f), L"-150");
  EXPECT_EQ(FormatTwips(1260.5f), L"1260.5");
  for (int32_t v : {0, 15, 7110, 4275, -32000, 1000000}) EXPECT_EQ(ParseTwips(FormatTwips(static_cast<float>(v))), v);
}

// The window's place written at the close comes back at the next start, in the keys and the
// order of writing that files of every earlier version have.
TEST(StoredGeometryTest, PlacementWrittenAtCloseReadsBackFromTheSameKeys) {
  MemoryProfileStore store;
  Profile profile(store);
  EXPECT_EQ(ToVector(ReadWindowPlacement(profile)), ToVector(kDefaultWindowPlacement)) << "nothing stored";

  const window::TwipsRect placed{-1500, 750, 8610, 5775};
  WriteWindowPlacement(profile, placed);
  EXPECT_EQ(store.Entries(L"LOGpos"),
            (std::vector<std::pair<std::wstring, std::wstring>>{
                {L"ELTop", L"750"}, {L"ELLeft", L"-1500"}, {L"ELWidth", L"8610"}, {L"ELHeight", L"5775"}}))
      << "the keys and their order of writing";
  EXPECT_EQ(ToVector(ReadWindowPlacement(profile)), ToVector(placed));
}

struct WholeTwipsRow {
  const char* why;
  float twips;
  const wchar_t* written;
};

// The geometry written at the close is read back unchanged at the next start, for every whole
// number of twips that start-up can read (32 bits).
TEST(StoredGeometryTest, WholeTwipsAreWrittenInFullAndReadBackUnchanged) {
  const WholeTwipsRow rows[] = {
      {"an ordinary width", 7110.0f, L"7110"},
      {"a window left of the main screen", -1500.0f, L"-1500"},
      {"just below a thousand million", 999999936.0f, L"999999936"},
      {"a thousand million: once written as 1e+09 and lost", 1000000000.0f, L"1000000000"},
      {"the largest float below 2^31", 2147483520.0f, L"2147483520"},
      {"the most negative 32-bit number", -2147483648.0f, L"-2147483648"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(FormatTwips(row.twips), row.written) << row.why;
    EXPECT_EQ(ParseTwips(FormatTwips(row.twips)), static_cast<int32_t>(row.twips)) << row.why;
  }
}

}  // namespace
}  // namespace zelmor::settings

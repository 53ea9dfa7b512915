#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "app/geometry.h"

namespace zelmor::app {
namespace {

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
}  // namespace zelmor::app

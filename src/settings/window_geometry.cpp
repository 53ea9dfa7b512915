#include "settings/window_geometry.h"

#include <cmath>
#include <cstdio>
#include <cwchar>

#include "base/text.h"
#include "settings/keys.h"

namespace zelmor::settings {
namespace {

struct GeometryKey {
  const wchar_t* key;
  float window::TwipsRect::*edge;
};
// In the order they are read and written.
constexpr GeometryKey kGeometryKeys[] = {
    {kTopKey, &window::TwipsRect::top},
    {kLeftKey, &window::TwipsRect::left},
    {kWidthKey, &window::TwipsRect::width},
    {kHeightKey, &window::TwipsRect::height},
};

}  // namespace

std::optional<int32_t> ParseTwips(const std::wstring& text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < n && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  // Whole part and fraction are kept exactly (as integers) so that halves round to even reliably.
  uint64_t whole = 0;
  bool digits = false;
  while (i < n && IsAsciiDigit(text[i])) {
    whole = whole * 10 + static_cast<uint64_t>(text[i++] - L'0');
    digits = true;
    if (whole > (uint64_t{1} << 40)) return std::nullopt;
  }
  int first_fraction_digit = -1;  // the tenths
  bool rest_nonzero = false;
  if (i < n && text[i] == L'.') {
    ++i;
    while (i < n && IsAsciiDigit(text[i])) {
      const int d = text[i++] - L'0';
      if (first_fraction_digit < 0) first_fraction_digit = d;
      else if (d != 0) rest_nonzero = true;
      digits = true;
    }
  }
  while (i < n && (text[i] == L' ' || text[i] == L'\t')) ++i;
  if (!digits || i != n) return std::nullopt;

  if (first_fraction_digit > 5 || (first_fraction_digit == 5 && (rest_nonzero || whole % 2 == 1))) ++whole;
  const int64_t value = negative ? -static_cast<int64_t>(whole) : static_cast<int64_t>(whole);
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(value);
}

std::wstring FormatTwips(float twips) {
  wchar_t buffer[64];
  // Every whole number a long long holds is written in full: the exponent form that "%g" gives
  // from 1e9 on is not read back, and the window would lose its place at the next start.
  if (std::isfinite(twips) && std::nearbyint(twips) == twips && std::fabs(twips) < 0x1p63f) {
    std::swprintf(buffer, 64, L"%lld", static_cast<long long>(twips));
  } else {
    std::swprintf(buffer, 64, L"%.9g", static_cast<double>(twips));
  }
  return buffer;
}

window::TwipsRect ReadWindowPlacement(Profile& profile) {
  window::TwipsRect placement = kDefaultWindowPlacement;
  for (const GeometryKey& key : kGeometryKeys) {
    const std::optional<std::wstring> value = profile.ProfileRead(kPositionSection, key.key);
    if (const std::optional<int32_t> twips = value ? ParseTwips(*value) : std::nullopt) {
      placement.*key.edge = static_cast<float>(*twips);
    }
  }
  return placement;
}

void WriteWindowPlacement(Profile& profile, const window::TwipsRect& placement) {
  for (const GeometryKey& key : kGeometryKeys) profile.ProfileWrite(kPositionSection, key.key, FormatTwips(placement.*key.edge));
}

}  // namespace zelmor::settings

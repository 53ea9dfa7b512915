// Geometry number conversion: stored twips read back (ParseTwips), the window's twips written
// (FormatTwips), and the resize rule that lays the two text boxes out.
//
// Fields: a stored geometry text, then eight raw bytes (taken whole, separators included) read as
// two single-precision numbers: an outer width and height in twips, also written and read back as
// stored geometry.

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

#include "app/geometry.h"
#include "settings/window_geometry.h"
#include "fuzz_input.h"

namespace zelmor::fuzz {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The plain decimal form that the stored geometry uses: blanks around, an optional sign, digits
// with at most one "." among them, at least one digit. Gives the number in C's form and counts
// its significant digits.
bool PlainDecimal(const std::wstring& text, std::string& c_form, size_t& significant) {
  size_t i = 0, end = text.size();
  while (i < end && IsBlank(text[i])) ++i;
  while (end > i && IsBlank(text[end - 1])) --end;
  c_form.clear();
  if (i < end && (text[i] == L'+' || text[i] == L'-')) c_form += static_cast<char>(text[i++]);
  bool point = false, digit = false;
  std::string digits;
  for (; i < end; ++i) {
    if (text[i] >= L'0' && text[i] <= L'9') {
      digit = true;
      digits += static_cast<char>(text[i]);
      c_form += static_cast<char>(text[i]);
    } else if (text[i] == L'.' && !point) {
      point = true;
      digits += '.';
      c_form += '.';
    } else {
      return false;
    }
  }
  if (!digit) return false;
  // Significant digits: from the first non-zero digit to the last non-zero one.
  std::string plain;
  for (char c : digits) {
    if (c != '.') plain += c;
  }
  const size_t first = plain.find_first_not_of('0');
  const size_t last = plain.find_last_not_of('0');
  significant = first == std::string::npos ? 0 : last - first + 1;
  return true;
}

void CheckParse(const std::wstring& text) {
  const auto twips = settings::ParseTwips(text);
  std::string c_form;
  size_t significant = 0;
  const bool plain = PlainDecimal(text, c_form, significant);
  if (twips) FUZZ_CHECK(plain, Show(text) + " read as " + std::to_string(*twips) + " twips");
  if (!plain || significant > 18) return;
  // Within 18 significant digits a long double holds the number closely enough to round it to
  // the nearest whole number, halves to even, as the stored geometry is read.
  const long double exact = std::strtold(c_form.c_str(), nullptr);
  const long double rounded = std::nearbyint(exact);
  if (rounded >= -2147483648.0L && rounded <= 2147483647.0L) {
    FUZZ_CHECK(twips.has_value(), Show(text) + " not read although it is " + c_form);
    FUZZ_CHECK(static_cast<long double>(*twips) == rounded,
               Show(text) + " read as " + std::to_string(*twips) + " twips");
  } else {
    FUZZ_CHECK(!twips.has_value(), Show(text) + " beyond 32 bits read as " + std::to_string(*twips));
  }
}

// Whatever the window reports is written so that the next start reads it back: whole twips
// unchanged (without a decimal part), anything else as its nearest whole number.
void CheckWriteAndRead(float twips) {
  const std::wstring text = settings::FormatTwips(twips);
  FUZZ_CHECK(!text.empty(), "nothing written for " + std::to_string(twips));
  if (!std::isfinite(twips) || std::fabs(twips) >= 2147483648.0f) return;
  const auto back = settings::ParseTwips(text);
  const float whole = std::nearbyint(twips);
  if (whole == twips) {
    FUZZ_CHECK(text.find_first_not_of(L"-0123456789") == std::wstring::npos,
               std::to_string(twips) + " written as " + Show(text));
    FUZZ_CHECK(back && static_cast<float>(*back) == twips,
               std::to_string(twips) + " written as " + Show(text) + " reads back as " +
                   (back ? std::to_string(*back) : std::string("nothing")));
  } else if (back) {
    FUZZ_CHECK(static_cast<float>(*back) == whole,
               std::to_string(twips) + " written as " + Show(text) + " reads back as " + std::to_string(*back));
  }
}

void CheckWholeNumber(int32_t value) {
  const auto back = settings::ParseTwips(std::to_wstring(value));
  FUZZ_CHECK(back == value, std::to_string(value) + " does not read back");
  const auto padded = settings::ParseTwips(L" \t+" + std::to_wstring(value) + L".0 ");
  if (value >= 0) FUZZ_CHECK(padded == value, std::to_string(value) + " with blanks and .0 does not read back");
}

void CheckResize(float width, float height) {
  if (std::isnan(width) || std::isnan(height)) return;
  const app::PaneLayout layout = app::ResizeRule(width, height);
  const std::string where = std::to_string(width) + " x " + std::to_string(height);
  FUZZ_CHECK(layout.pane_width >= 0 && layout.pane_height >= 0 && layout.entry_width >= 0,
             "a negative size at " + where);
  FUZZ_CHECK(layout.pane_width == layout.entry_width, "the boxes differ in width at " + where);
  // The frame and the space below the pane are taken off; a window too small for them gives 0.
  if (width >= 135.0f) {
    FUZZ_CHECK(layout.pane_width == width - 135.0f, "width at " + where);
  } else {
    FUZZ_CHECK(layout.pane_width == 0.0f, "width of a tiny window at " + where);
  }
  if (height >= 1260.0f) {
    FUZZ_CHECK(layout.pane_height == height - 1260.0f, "height at " + where);
  } else {
    FUZZ_CHECK(layout.pane_height == 0.0f, "height of a tiny window at " + where);
  }
  // A bigger window never gives smaller boxes.
  if (std::isfinite(width) && std::isfinite(height)) {
    const app::PaneLayout bigger = app::ResizeRule(width + 1500.0f, height + 1500.0f);
    FUZZ_CHECK(bigger.pane_width >= layout.pane_width && bigger.pane_height >= layout.pane_height,
               "growing the window shrank a box at " + where);
  }
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor::fuzz;
  const Input in(data, size);
  CheckParse(in.Text(0));

  const std::string_view bits = in.Rest(1);
  if (bits.size() >= 2 * sizeof(float)) {
    float width = 0, height = 0;
    int32_t whole = 0;
    std::memcpy(&width, bits.data(), sizeof width);
    std::memcpy(&height, bits.data() + sizeof width, sizeof height);
    std::memcpy(&whole, bits.data(), sizeof whole);
    CheckWriteAndRead(width);
    CheckWriteAndRead(height);
    CheckWholeNumber(whole);
    CheckResize(width, height);
  }
  return 0;
}

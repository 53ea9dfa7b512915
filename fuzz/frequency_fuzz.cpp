// Frequency number conversion: the feed's frequency texts read for "#TX"/"#RX" (single precision)
// and "#LF" (whole hertz), written as megahertz "#0.000", and the LOG frequency "145/435".
//
// Fields: a frequency text, a second frequency text (the receive side of "#LF"), the locale's
// decimal mark (default "."), then four raw bytes (taken whole, separators included) read as a
// single-precision number of hertz.

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>

#include "entry/log_line.h"
#include "fuzz_input.h"

namespace zelmor::fuzz {
namespace {

using entry::NumberText;

bool SameNumber(const NumberText& a, const NumberText& b) {
  return a.negative == b.negative && a.integer_digits == b.integer_digits && a.fraction_digits == b.fraction_digits;
}

// Significant digits: without the leading zeros of the whole part and the trailing zeros of the
// fraction.
size_t SignificantDigits(const NumberText& n) {
  std::string all = n.integer_digits + n.fraction_digits;
  const size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  size_t last = all.find_last_not_of('0');
  return last - first + 1;
}

size_t WholeDigits(const NumberText& n) {
  const size_t first = n.integer_digits.find_first_not_of('0');
  return first == std::string::npos ? 0 : n.integer_digits.size() - first;
}

// The number in C's plain form ("-123.45"), which the C library reads correctly rounded.
std::string Plain(const NumberText& n) {
  std::string text = n.negative ? "-" : "";
  text += n.integer_digits.empty() ? "0" : n.integer_digits;
  if (!n.fraction_digits.empty()) text += "." + n.fraction_digits;
  return text;
}

void CheckNumberText(const std::wstring& text, const std::wstring& mark) {
  const auto number = entry::ParseNumberText(text, mark);
  if (!number) return;
  FUZZ_CHECK(!number->integer_digits.empty() || !number->fraction_digits.empty(), "a number without digits");
  for (char c : number->integer_digits + number->fraction_digits) {
    FUZZ_CHECK(c >= '0' && c <= '9', "digit " + std::to_string(static_cast<int>(c)) + " in " + Show(text));
  }
  // Written back in the locale's form, and with white space around, it reads the same.
  std::wstring again = number->negative ? L"-" : L"";
  again.append(number->integer_digits.begin(), number->integer_digits.end());
  if (!number->fraction_digits.empty()) {
    again += mark;
    again.append(number->fraction_digits.begin(), number->fraction_digits.end());
  }
  for (const std::wstring& variant : {again, L" \t" + again + L"\r\n "}) {
    const auto back = entry::ParseNumberText(variant, mark);
    FUZZ_CHECK(back && SameNumber(*back, *number), Show(text) + " written back as " + Show(variant) + " reads otherwise");
  }
}

void CheckFrequency(const std::wstring& text, const std::wstring& mark) {
  const std::wstring bare = entry::WithoutGroupMarks(text);
  // Only the group marks go, everything else stays in its order.
  size_t kept = 0;
  for (wchar_t c : text) {
    if (c == L'.') continue;
    FUZZ_CHECK(kept < bare.size() && bare[kept] == c, Show(text) + " without marks is " + Show(bare));
    ++kept;
  }
  FUZZ_CHECK(kept == bare.size(), Show(text) + " without marks is " + Show(bare));
  CheckNumberText(text, mark);
  CheckNumberText(bare, mark);

  const auto number = entry::ParseNumberText(bare, mark);
  const auto single = entry::ParseFrequencySingle(text, mark);
  const auto whole = entry::ParseFrequencyInteger(text, mark);
  if (!number) {
    FUZZ_CHECK(!single && !whole, "a text that is not a number was read: " + Show(text));
    return;
  }
  const std::string plain = Plain(*number);

  // Single precision: the float nearest to the number, as the C library rounds it; a value too
  // small for a float may read as zero, one too large for it is not read.
  errno = 0;
  const float nearest = std::strtof(plain.c_str(), nullptr);
  const bool range_error = errno == ERANGE;
  if (range_error && std::isinf(nearest)) {
    FUZZ_CHECK(!single, plain + " is beyond single precision yet read as " + std::to_string(*single));
  } else if (range_error || std::fpclassify(nearest) == FP_SUBNORMAL) {
    FUZZ_CHECK(single && (*single == nearest || *single == 0.0f), plain + " read as a tiny number wrongly");
  } else {
    FUZZ_CHECK(single.has_value(), plain + " not read in single precision");
    FUZZ_CHECK(std::memcmp(&*single, &nearest, sizeof nearest) == 0,
               plain + " read as " + std::to_string(*single) + ", nearest float is " + std::to_string(nearest));
  }

  // Whole hertz: any number of 18 digits or fewer fits; with at most 18 significant digits a long
  // double holds it closely enough to find the nearest whole number, a tie going to the even one.
  if (WholeDigits(*number) <= 18) FUZZ_CHECK(whole.has_value(), plain + " not read as whole hertz");
  if (whole && SignificantDigits(*number) <= 18) {
    const long double exact = std::strtold(plain.c_str(), nullptr);
    const long double rounded = std::nearbyint(exact);
    FUZZ_CHECK(static_cast<long double>(*whole) == rounded,
               plain + " read as " + std::to_string(*whole) + " whole hertz");
  }
  if (whole && single && number->fraction_digits.empty()) {
    FUZZ_CHECK(static_cast<float>(*whole) == *single, plain + ": the two readings disagree");
  }
  if (whole) {
    // The whole number written plainly, and with a "." between digit groups, reads back the same.
    const std::wstring written = std::to_wstring(*whole);
    std::wstring grouped;
    for (size_t i = 0; i < written.size(); ++i) {
      grouped += written[i];
      const size_t left = written.size() - i - 1;
      if (left > 0 && left % 3 == 0 && written[i] != L'-') grouped += L'.';
    }
    FUZZ_CHECK(entry::ParseFrequencyInteger(written, mark) == whole, Show(written) + " does not read back");
    FUZZ_CHECK(entry::ParseFrequencyInteger(grouped, mark) == whole, Show(grouped) + " does not read back");
    FUZZ_CHECK(entry::ParseFrequencySingle(grouped, mark) == static_cast<float>(*whole),
               Show(grouped) + " does not read back in single precision");
  }
}

// "#0.000": exactly three decimals after the mark, at least one digit before it, the exact
// quotient rounded half away from zero, never "-0.000".
void CheckMegahertz(float hertz, const std::wstring& mark) {
  const std::wstring text = entry::FormatFrequencyMHz(hertz, mark);
  if (!std::isfinite(hertz)) {
    FUZZ_CHECK(text.empty(), "a number that is not finite written as " + Show(text));
    return;
  }
  const std::wstring used = mark.empty() ? std::wstring(L".") : mark;
  FUZZ_CHECK(text.size() >= used.size() + 4, "megahertz " + Show(text));
  const size_t point = text.size() - 3 - used.size();
  FUZZ_CHECK(text.compare(point, used.size(), used) == 0, "no decimal mark in " + Show(text));
  std::string digits;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i >= point && i < point + used.size()) continue;
    if (i == 0 && text[0] == L'-') continue;
    FUZZ_CHECK(text[i] >= L'0' && text[i] <= L'9', "not a digit in " + Show(text));
    digits += static_cast<char>(text[i]);
  }
  FUZZ_CHECK(point >= 1 + (text[0] == L'-' ? 1u : 0u), "no digit before the mark in " + Show(text));
  FUZZ_CHECK(digits.size() == 1 || digits[0] != '0' || digits.size() == 4, "leading zero in " + Show(text));
  const bool negative = text[0] == L'-';
  FUZZ_CHECK(!negative || digits.find_first_not_of('0') != std::string::npos, "negative zero " + Show(text));
  FUZZ_CHECK(!negative || hertz < 0, "sign of " + std::to_string(hertz) + " in " + Show(text));

  const float magnitude = std::fabs(hertz);
  if (magnitude < 0x1p63f) {
    // The exact kilohertz from the float's own bits: magnitude * 2^24 is whole for every float of
    // 0.5 or more, and anything smaller is 0 kHz.
    uint64_t kilohertz = 0;
    if (magnitude >= 0.5f) {
      if (magnitude >= 0x1p24f) {
        const auto hz = static_cast<uint64_t>(magnitude);
        kilohertz = hz / 1000 + (hz % 1000 >= 500 ? 1 : 0);
      } else {
        const auto scaled = static_cast<uint64_t>(std::ldexp(magnitude, 24));  // hertz * 2^24
        const uint64_t unit = uint64_t{1000} << 24;
        kilohertz = scaled / unit + (scaled % unit >= unit / 2 ? 1 : 0);
      }
    }
    FUZZ_CHECK(digits == (kilohertz < 1000 ? std::string(4 - std::to_string(kilohertz).size(), '0') : std::string()) +
                             std::to_string(kilohertz),
               std::to_string(hertz) + " Hz written " + Show(text) + ", exact kHz " + std::to_string(kilohertz));
  } else {
    const long double written = std::strtold(digits.c_str(), nullptr) / 1000.0L;
    const long double expected = static_cast<long double>(magnitude) / 1e6L;
    FUZZ_CHECK(std::fabs(written - expected) <= expected * 1e-15L, std::to_string(hertz) + " Hz written " + Show(text));
  }
}

void CheckLogFrequency(const std::wstring& transmit, const std::wstring& receive, const std::wstring& mark) {
  const auto text = entry::LogFrequencyText(transmit, receive, mark);
  const auto tx = entry::ParseFrequencyInteger(transmit, mark);
  const auto rx = entry::ParseFrequencyInteger(receive, mark);
  FUZZ_CHECK(text.has_value() == (tx && rx), "#LF formed " + std::string(text ? "" : "not ") + "for " +
                                                 Show(transmit) + " / " + Show(receive));
  if (!text) return;
  const size_t slash = text->find(L'/');
  FUZZ_CHECK(slash != std::wstring::npos && text->find(L'/', slash + 1) == std::wstring::npos, "#LF " + Show(*text));
  // Each half is whole megahertz toward zero: |half| * 10^6 <= |hertz| < (|half| + 1) * 10^6.
  const std::pair<std::wstring, int64_t> halves[] = {{text->substr(0, slash), *tx}, {text->substr(slash + 1), *rx}};
  for (const auto& [half, hertz] : halves) {
    const auto mhz = entry::ParseFrequencyInteger(half, L"");
    FUZZ_CHECK(mhz && std::to_wstring(*mhz) == half, "#LF half " + Show(half) + " is not plain digits");
    const long double h = static_cast<long double>(*mhz), hz = static_cast<long double>(hertz);
    FUZZ_CHECK(std::fabs(h) * 1e6L <= std::fabs(hz) && std::fabs(hz) < (std::fabs(h) + 1) * 1e6L &&
                   (h == 0 || (h < 0) == (hz < 0)),
               "#LF half " + Show(half) + " for " + std::to_string(hertz) + " Hz");
  }
}

}  // namespace
}  // namespace zelmor::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace zelmor::fuzz;
  const Input in(data, size);
  const std::wstring transmit = in.Text(0);
  const std::wstring receive = in.Text(1, L"435.850.000");
  const std::wstring mark = in.Text(2, L".");
  CheckFrequency(transmit, mark);
  CheckFrequency(receive, mark);
  CheckLogFrequency(transmit, receive, mark);

  if (const auto single = zelmor::entry::ParseFrequencySingle(transmit, mark)) CheckMegahertz(*single, mark);
  const std::string_view bits = in.Rest(3);
  if (bits.size() >= sizeof(float)) {
    float raw = 0;
    std::memcpy(&raw, bits.data(), sizeof raw);
    CheckMegahertz(raw, mark);
    CheckMegahertz(raw, L".");
  }
  return 0;
}

#pragma once
// How the fuzz programs read their input, and how they report a broken rule.
//
// An input is a row of fields separated by the byte 0xFF, which never occurs in UTF-8, so every
// text (NUL, CR and LF included) can stand in a field and the seeds stay readable. Each field is
// decoded as UTF-8; a byte that is not part of a valid sequence becomes U+DC80 + byte, a lone
// surrogate, so that odd bytes reach the code as odd characters instead of being dropped.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/clock.h"

namespace zelmor::fuzz {

inline constexpr unsigned char kFieldSeparator = 0xFF;

std::wstring DecodeUtf8(std::string_view bytes);

class Input {
 public:
  Input(const uint8_t* data, size_t size);
  size_t FieldCount() const { return raw_.size(); }
  bool Has(size_t index) const { return index < raw_.size(); }
  // The field decoded, or `fallback` when the input has fewer fields.
  std::wstring Text(size_t index, const std::wstring& fallback = std::wstring()) const;
  // The field's bytes as they came.
  std::string_view Bytes(size_t index) const;
  // Everything from the start of the field to the end of the input, separators included: raw
  // binary numbers, which may hold the byte 0xFF themselves.
  std::string_view Rest(size_t index) const;
  // The first byte of the field (a switch for the program), or `fallback`.
  unsigned char Byte(size_t index, unsigned char fallback = 0) const;

 private:
  std::string_view all_;
  std::vector<std::string_view> raw_;
};

// Up to six whole numbers in the text (year, month, day, hour, minute, second), each with an
// optional '-', anything else between them; numbers beyond int wrap around so that any int can
// be reached. Missing numbers keep the fallback's.
LocalTime TimeFrom(const std::wstring& text, const LocalTime& fallback);

// A text shown in a report: printable ASCII as it is, everything else as \u{hex}.
std::string Show(const std::wstring& text);

// Prints the broken rule and aborts, so that libFuzzer keeps the input as a crash.
[[noreturn]] void Fail(const char* file, int line, const char* rule, const std::string& detail);

}  // namespace zelmor::fuzz

// A rule of the code under test; `detail` (a std::string expression) says what was seen.
#define FUZZ_CHECK(condition, detail)                                                   \
  do {                                                                                  \
    if (!(condition)) ::zelmor::fuzz::Fail(__FILE__, __LINE__, #condition, (detail));   \
  } while (false)

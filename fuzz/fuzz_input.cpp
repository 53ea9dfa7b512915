#include "fuzz_input.h"

#include <cstdio>
#include <cstdlib>

namespace zelmor::fuzz {
namespace {

wchar_t Escaped(unsigned char byte) { return static_cast<wchar_t>(0xDC00 + byte); }

}  // namespace

std::wstring DecodeUtf8(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    int extra = 0;
    uint32_t code = 0;
    uint32_t least = 0;
    if (lead < 0x80) {
      out += static_cast<wchar_t>(lead);
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, code = lead & 0x07, least = 0x10000;
    } else {
      out += Escaped(lead);
      ++i;
      continue;
    }
    bool valid = i + static_cast<size_t>(extra) < bytes.size();
    for (int k = 1; valid && k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + static_cast<size_t>(k)]);
      if ((next & 0xC0) != 0x80) valid = false;
      else code = (code << 6) | (next & 0x3F);
    }
    if (!valid || code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
      out += Escaped(lead);
      ++i;
      continue;
    }
    if (sizeof(wchar_t) == 2 && code >= 0x10000) {
      code -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (code >> 10));
      out += static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
    } else {
      out += static_cast<wchar_t>(code);
    }
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

Input::Input(const uint8_t* data, size_t size) : all_(reinterpret_cast<const char*>(data), size) {
  const std::string_view all = all_;
  size_t start = 0;
  while (true) {
    const size_t end = all.find(static_cast<char>(kFieldSeparator), start);
    if (end == std::string_view::npos) {
      raw_.push_back(all.substr(start));
      break;
    }
    raw_.push_back(all.substr(start, end - start));
    start = end + 1;
  }
}

std::wstring Input::Text(size_t index, const std::wstring& fallback) const {
  return Has(index) ? DecodeUtf8(raw_[index]) : fallback;
}

std::string_view Input::Bytes(size_t index) const {
  return Has(index) ? raw_[index] : std::string_view();
}

std::string_view Input::Rest(size_t index) const {
  if (!Has(index)) return std::string_view();
  return all_.substr(static_cast<size_t>(raw_[index].data() - all_.data()));
}

unsigned char Input::Byte(size_t index, unsigned char fallback) const {
  return Has(index) && !raw_[index].empty() ? static_cast<unsigned char>(raw_[index][0]) : fallback;
}

LocalTime TimeFrom(const std::wstring& text, const LocalTime& fallback) {
  LocalTime time = fallback;
  int* const slots[] = {&time.year, &time.month, &time.day, &time.hour, &time.minute, &time.second};
  size_t slot = 0;
  size_t i = 0;
  while (i < text.size() && slot < 6) {
    const bool minus = text[i] == L'-' && i + 1 < text.size() && text[i + 1] >= L'0' && text[i + 1] <= L'9';
    if (!minus && !(text[i] >= L'0' && text[i] <= L'9')) {
      ++i;
      continue;
    }
    if (minus) ++i;
    uint32_t value = 0;  // wraps: unsigned arithmetic is defined
    while (i < text.size() && text[i] >= L'0' && text[i] <= L'9') {
      value = value * 10u + static_cast<uint32_t>(text[i] - L'0');
      ++i;
    }
    if (minus) value = 0u - value;
    *slots[slot++] = static_cast<int>(value);
  }
  return time;
}

std::string Show(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c >= 0x20 && c < 0x7F && c != L'\\') {
      out += static_cast<char>(c);
    } else {
      char buffer[24];
      std::snprintf(buffer, sizeof buffer, "\\u{%x}", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

void Fail(const char* file, int line, const char* rule, const std::string& detail) {
  std::fprintf(stderr, "\n%s:%d: rule broken: %s\n  %s\n", file, line, rule, detail.c_str());
  std::fflush(stderr);
  std::abort();
}

}  // namespace zelmor::fuzz

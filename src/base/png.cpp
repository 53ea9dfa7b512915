#include "base/png.h"

#include <algorithm>
#include <array>

namespace zelmor::base {
namespace {

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutBigEndian(std::string& out, uint32_t v) {
  out.push_back(static_cast<char>(v >> 24));
  out.push_back(static_cast<char>(v >> 16));
  out.push_back(static_cast<char>(v >> 8));
  out.push_back(static_cast<char>(v));
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::string& out, const char type[4], const std::string& data) {
  PutBigEndian(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.append(type, 4);
  out += data;
  PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

uint32_t Crc32(const void* data, size_t size, uint32_t crc) {
  const auto& table = CrcTable();
  const auto* p = static_cast<const uint8_t*>(data);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

uint32_t Adler32(const void* data, size_t size, uint32_t adler) {
  constexpr uint32_t kBase = 65521;
  // 5552 bytes is the most that can be summed before the 32-bit sums could overflow.
  constexpr size_t kRun = 5552;
  const auto* p = static_cast<const uint8_t*>(data);
  uint32_t a = adler & 0xFFFF, b = adler >> 16;
  while (size > 0) {
    const size_t n = std::min(size, kRun);
    for (size_t i = 0; i < n; ++i) {
      a += p[i];
      b += a;
    }
    a %= kBase;
    b %= kBase;
    p += n;
    size -= n;
  }
  return b << 16 | a;
}

std::string EncodePng(int width, int height, const uint8_t* rgb, size_t stride) {
  if (width <= 0 || height <= 0 || !rgb) return std::string();
  // The raw image: each row after its filter byte (0, none).
  const size_t row_bytes = static_cast<size_t>(width) * 3;
  std::string raw;
  raw.reserve((row_bytes + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back('\0');
    raw.append(reinterpret_cast<const char*>(rgb + static_cast<size_t>(y) * stride), row_bytes);
  }

  // zlib: the header (deflate, 32 KiB window, no dictionary: 0x78 0x01 passes its check), stored
  // blocks of at most 65,535 bytes, and the Adler-32 of the raw data.
  std::string z = {'\x78', '\x01'};
  constexpr size_t kBlock = 65535;
  size_t at = 0;
  do {
    const size_t n = std::min(kBlock, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? '\x01' : '\x00');
    z.push_back(static_cast<char>(n & 0xFF));
    z.push_back(static_cast<char>(n >> 8));
    z.push_back(static_cast<char>(~n & 0xFF));
    z.push_back(static_cast<char>((~n >> 8) & 0xFF));
    z.append(raw, at, n);
    at += n;
  } while (at < raw.size());
  PutBigEndian(z, Adler32(raw.data(), raw.size()));

  std::string header;
  PutBigEndian(header, static_cast<uint32_t>(width));
  PutBigEndian(header, static_cast<uint32_t>(height));
  header += std::string{'\x08', '\x02', '\x00', '\x00', '\x00'};  // 8 bits, RGB, deflate, no filter choice, no interlace

  std::string png = "\x89PNG\r\n\x1a\n";
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", z);
  PutChunk(png, "IEND", std::string());
  return png;
}

}  // namespace zelmor::base

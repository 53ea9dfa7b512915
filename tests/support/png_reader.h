#pragma once
// A strict reader of the PNG files Zelmor writes (8-bit RGB, stored deflate blocks, no filters):
// every length, CRC and check is verified, so that a test sees a fault rather than a picture.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "base/png.h"

namespace test_support {

inline uint32_t PngBigEndian(const std::string& s, size_t at) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[at])) << 24 | static_cast<uint8_t>(s[at + 1]) << 16 |
         static_cast<uint8_t>(s[at + 2]) << 8 | static_cast<uint8_t>(s[at + 3]);
}

// The pixels (red, green, blue, row after row), or the fault in `fault`.
struct Decoded {
  std::string fault;
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;
  std::vector<std::string> chunks;
};

inline Decoded Fault(std::string what) {
  Decoded d;
  d.fault = std::move(what);
  return d;
}

inline Decoded Decode(const std::string& png) {
  Decoded d;
  if (png.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) return Fault("signature");
  std::string z;
  for (size_t at = 8; at < png.size();) {
    if (at + 12 > png.size()) return Fault("chunk cut at " + std::to_string(at));
    const uint32_t length = PngBigEndian(png, at);
    if (at + 12 + length > png.size()) return Fault("chunk length " + std::to_string(length));
    const std::string type = png.substr(at + 4, 4), data = png.substr(at + 8, length);
    if (zelmor::base::Crc32(png.data() + at + 4, 4 + length) != PngBigEndian(png, at + 8 + length)) return Fault("CRC of " + type);
    d.chunks.push_back(type);
    if (type == "IHDR") {
      d.width = static_cast<int>(PngBigEndian(data, 0));
      d.height = static_cast<int>(PngBigEndian(data, 4));
      if (data.substr(8) != std::string("\x08\x02\x00\x00\x00", 5)) return Fault("IHDR");
    } else if (type == "IDAT") {
      z += data;
    }
    at += 12 + length;
  }
  if (z.size() < 6 || (static_cast<uint8_t>(z[0]) * 256 + static_cast<uint8_t>(z[1])) % 31 != 0 || (z[0] & 0x0F) != 8) {
    return Fault("zlib header");
  }
  std::string raw;
  size_t at = 2;
  for (bool last = false; !last;) {
    if (at + 5 > z.size()) return Fault("block cut");
    last = (z[at] & 1) != 0;
    if ((z[at] & 6) != 0) return Fault("not a stored block");
    const unsigned n = static_cast<uint8_t>(z[at + 1]) | static_cast<uint8_t>(z[at + 2]) << 8;
    const unsigned nn = static_cast<uint8_t>(z[at + 3]) | static_cast<uint8_t>(z[at + 4]) << 8;
    if ((n ^ 0xFFFF) != nn) return Fault("NLEN");
    if (at + 5 + n > z.size()) return Fault("block data cut");
    raw.append(z, at + 5, n);
    at += 5 + n;
  }
  if (at + 4 != z.size() || PngBigEndian(z, at) != zelmor::base::Adler32(raw.data(), raw.size())) return Fault("Adler-32");
  const size_t row = static_cast<size_t>(d.width) * 3 + 1;
  if (raw.size() != row * static_cast<size_t>(d.height)) return Fault("image size");
  for (int y = 0; y < d.height; ++y) {
    if (raw[y * row] != 0) return Fault("filter");
    d.rgb.insert(d.rgb.end(), raw.begin() + static_cast<long>(y * row + 1), raw.begin() + static_cast<long>((y + 1) * row));
  }
  return d;
}

}  // namespace test_support

#pragma once
// A strict reader of the PNG files Zelmor writes (8-bit RGB, deflate blocks stored or of fixed
// codes, no filters): every length, code, distance, CRC and check is verified, so that a test sees
// a fault rather than a picture.

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
  // Deflate's blocks: stored ones and ones of fixed codes (what the writer may write).
  std::string raw;
  size_t bit = 16;  // after the zlib header
  const size_t end_bits = (z.size() - 4) * 8;
  bool cut = false;
  auto bits = [&](int count) {
    uint32_t v = 0;
    for (int i = 0; i < count; ++i, ++bit) {
      if (bit >= end_bits) {
        cut = true;
        return 0u;
      }
      v |= static_cast<uint32_t>((static_cast<uint8_t>(z[bit / 8]) >> (bit % 8)) & 1) << i;
    }
    return v;
  };
  // A fixed code, most significant bit first: literal 0..255, end 256, length 257..285.
  auto symbol = [&]() -> int {
    uint32_t code = 0;
    for (int length = 1; length <= 9 && !cut; ++length) {
      code = code << 1 | bits(1);
      if (length == 7 && code <= 23) return 256 + static_cast<int>(code);
      if (length == 8 && code >= 48 && code <= 191) return static_cast<int>(code) - 48;
      if (length == 8 && code >= 192 && code <= 199) return 280 + static_cast<int>(code) - 192;
      if (length == 9 && code >= 400) return 144 + static_cast<int>(code) - 400;
    }
    return -1;
  };
  static const int kLengthBase[29] = {3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27,
                                      31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
  static const int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static const int kDistanceBase[30] = {1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385, 513, 769,
                                        1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  static const int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8,
                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
  for (bool last = false; !last;) {
    last = bits(1) != 0;
    const uint32_t type = bits(2);
    if (cut) return Fault("block cut");
    if (type == 0) {
      bit = (bit + 7) / 8 * 8;
      const uint32_t n = bits(16), nn = bits(16);
      if (cut) return Fault("block cut");
      if ((n ^ 0xFFFF) != nn) return Fault("NLEN");
      if (bit / 8 + n > z.size() - 4) return Fault("block data cut");
      raw.append(z, bit / 8, n);
      bit += 8 * static_cast<size_t>(n);
    } else if (type == 1) {
      for (;;) {
        const int s = symbol();
        if (s < 0 || cut) return Fault("code");
        if (s < 256) {
          raw.push_back(static_cast<char>(s));
          continue;
        }
        if (s == 256) break;
        if (s > 285) return Fault("length code");
        const int length = kLengthBase[s - 257] + static_cast<int>(bits(kLengthExtra[s - 257]));
        uint32_t d = 0;
        for (int i = 0; i < 5; ++i) d = d << 1 | bits(1);
        if (d > 29) return Fault("distance code");
        const size_t distance = kDistanceBase[d] + bits(kDistanceExtra[d]);
        if (cut || distance > raw.size() || distance > 32768) return Fault("distance");
        for (int i = 0; i < length; ++i) raw.push_back(raw[raw.size() - distance]);
      }
    } else {
      return Fault("block type " + std::to_string(type));
    }
  }
  const size_t at = (bit + 7) / 8;
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

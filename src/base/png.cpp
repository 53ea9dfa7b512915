#include "base/png.h"

#include <algorithm>
#include <array>
#include <string>

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

// Deflate's bits, least significant first, in bytes.
class BitWriter {
 public:
  explicit BitWriter(std::string& out) : out_(out) {}
  void Put(uint32_t bits, int count) {
    pending_ |= static_cast<uint64_t>(bits) << count_;
    count_ += count;
    while (count_ >= 8) {
      out_.push_back(static_cast<char>(pending_ & 0xFF));
      pending_ >>= 8;
      count_ -= 8;
    }
  }
  // A Huffman code goes most significant bit first.
  void PutCode(uint32_t code, int length) {
    uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1) << (length - 1 - i);
    Put(reversed, length);
  }
  void Flush() {
    if (count_ > 0) out_.push_back(static_cast<char>(pending_ & 0xFF));
    pending_ = 0;
    count_ = 0;
  }

 private:
  std::string& out_;
  uint64_t pending_ = 0;
  int count_ = 0;
};

// Deflate's fixed codes for literals (0..255), the end (256) and lengths (257..285).
void PutSymbol(BitWriter& w, int symbol) {
  if (symbol < 144) {
    w.PutCode(0x30 + symbol, 8);
  } else if (symbol < 256) {
    w.PutCode(0x190 + symbol - 144, 9);
  } else if (symbol < 280) {
    w.PutCode(symbol - 256, 7);
  } else {
    w.PutCode(0xC0 + symbol - 280, 8);
  }
}

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
                                   193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutMatch(BitWriter& w, int length, int distance) {
  int l = 28;
  while (kLengthBase[l] > length) --l;
  PutSymbol(w, 257 + l);
  w.Put(static_cast<uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  w.PutCode(static_cast<uint32_t>(d), 5);
  w.Put(static_cast<uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// One block with deflate's fixed codes. A picture drawn by the program repeats itself: a pixel is
// mostly the one before it or the one above it, so those two are the only matches looked for
// (`row` bytes back is the pixel above, the filter byte between included).
std::string Deflate(const std::string& raw, size_t row) {
  constexpr size_t kWindow = 32768, kLongest = 258, kShortest = 3;
  std::string out;
  BitWriter w(out);
  w.Put(1, 1);  // the last block
  w.Put(1, 2);  // fixed codes
  const size_t candidates[] = {3, row};
  for (size_t i = 0; i < raw.size();) {
    size_t best = 0, best_distance = 0;
    for (size_t d : candidates) {
      if (d > i || d > kWindow) continue;
      const size_t most = std::min(kLongest, raw.size() - i);
      size_t length = 0;
      while (length < most && raw[i + length] == raw[i + length - d]) ++length;
      if (length > best) {
        best = length;
        best_distance = d;
      }
    }
    if (best >= kShortest) {
      PutMatch(w, static_cast<int>(best), static_cast<int>(best_distance));
      i += best;
    } else {
      PutSymbol(w, static_cast<uint8_t>(raw[i]));
      ++i;
    }
  }
  PutSymbol(w, 256);
  w.Flush();
  return out;
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

  // zlib: the header (deflate, 32 KiB window, no dictionary: 0x78 0x01 passes its check), the
  // compressed data, and the Adler-32 of the raw data.
  std::string z = {'\x78', '\x01'};
  z += Deflate(raw, row_bytes + 1);
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

#include "base/png.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "png_reader.h"

namespace zelmor::base {
namespace {

using test_support::Decode;
using test_support::Decoded;

TEST(PngTest, ChecksumsOfKnownTexts) {
  const struct {
    const char* text;
    uint32_t crc, adler;
  } rows[] = {
      {"", 0x00000000, 0x00000001},
      {"123456789", 0xCBF43926, 0x091E01DE},  // the check value of both algorithms' catalogues
      {"Wikipedia", 0xADAAC02E, 0x11E60398},
      {"IEND", 0xAE426082, 0x02D70121},  // every PNG ends in this CRC
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Crc32(row.text, std::strlen(row.text)), row.crc) << row.text;
    EXPECT_EQ(Adler32(row.text, std::strlen(row.text)), row.adler) << row.text;
  }
  // Continued in pieces as in one go; and Adler-32 past its 5552-byte runs without overflowing.
  EXPECT_EQ(Crc32("6789", 4, Crc32("12345", 5)), 0xCBF43926u);
  const std::string ff(100000, '\xFF');
  EXPECT_EQ(Adler32(ff.data(), ff.size()), Adler32(ff.data() + 50000, 50000, Adler32(ff.data(), 50000)));
  EXPECT_EQ(Adler32(ff.data(), ff.size()), 0x149A302Cu);
}

TEST(PngTest, OnePixelFileIsByteForByteKnown) {
  const uint8_t red[] = {0xFF, 0x00, 0x00};
  const std::string png = EncodePng(1, 1, red, 3);
  // IHDR, IDAT ("\0\xFF\0\0" in fixed codes, as zlib itself writes it) and IEND.
  const std::string expected(
      "\x89PNG\r\n\x1a\n"
      "\x00\x00\x00\x0dIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00\x00\x90\x77\x53\xde"
      "\x00\x00\x00\x0cIDAT\x78\x01\x63\xf8\xcf\xc0\x00\x00\x03\x01\x01\x00\xdb\x7d\x2e\xbc"
      "\x00\x00\x00\x00IEND\xae\x42\x60\x82",
      8 + 25 + 24 + 12);
  EXPECT_EQ(png, expected);
}

TEST(PngTest, PicturesReadBackPixelForPixel) {
  const struct {
    int width, height;
    size_t padding;  // bytes after each row in the source
  } rows[] = {
      {1, 1, 0},
      {3, 2, 1},       // rows not packed
      {200, 120, 0},   // more than one stored block (72,120 bytes)
      {21846, 1, 0},   // a row exactly filling a block with its filter byte: 65,539 bytes
      {7, 9400, 3},
      {11000, 3, 0},   // the pixel above is farther back than deflate's window
  };
  for (const auto& row : rows) {
    const size_t stride = static_cast<size_t>(row.width) * 3 + row.padding;
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(row.height));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / 251);
    const Decoded d = Decode(EncodePng(row.width, row.height, pixels.data(), stride));
    ASSERT_EQ(d.fault, "") << row.width << "x" << row.height;
    EXPECT_EQ(d.chunks, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    ASSERT_EQ(d.width, row.width);
    ASSERT_EQ(d.height, row.height);
    for (int y = 0; y < row.height; ++y) {
      ASSERT_EQ(std::memcmp(d.rgb.data() + static_cast<size_t>(y) * row.width * 3, pixels.data() + y * stride,
                            static_cast<size_t>(row.width) * 3),
                0)
          << row.width << "x" << row.height << " row " << y;
    }
  }
  EXPECT_EQ(EncodePng(0, 5, nullptr, 0), "");
}

TEST(PngTest, ADrawingOfFlatColoursComesOutSmall) {
  // Squares of two colours with lines between them, as the map draws them.
  const int width = 400, height = 300;
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* p = pixels.data() + (static_cast<size_t>(y) * width + x) * 3;
      const bool line = x % 20 == 0 || y % 10 == 0, worked = (x / 20 + y / 10) % 5 == 0;
      p[0] = line ? 0xC9 : worked ? 0xF2 : 0xF4;
      p[1] = line ? 0xCF : worked ? 0xB3 : 0xF6;
      p[2] = line ? 0xD6 : worked ? 0x3D : 0xF8;
    }
  }
  const std::string png = EncodePng(width, height, pixels.data(), static_cast<size_t>(width) * 3);
  EXPECT_LT(png.size(), pixels.size() / 20) << png.size() << " bytes";
  const Decoded d = Decode(png);
  ASSERT_EQ(d.fault, "");
  EXPECT_EQ(d.rgb, pixels);
}

}  // namespace
}  // namespace zelmor::base

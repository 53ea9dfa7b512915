#pragma once
// A PNG writer for pictures Zelmor makes itself (the map of grids): 8-bit RGB, no filtering, the
// image data in one deflate block of fixed codes whose only matches are the pixel before and the
// pixel above. A general compressor does better on photographs; on a drawing of flat colours this
// comes within a few times of it, in a page of code.

#include <cstddef>
#include <cstdint>
#include <string>

namespace zelmor::base {

// CRC-32 as PNG and zip have it (reflected, polynomial 0xEDB88320), continued from `crc`.
uint32_t Crc32(const void* data, size_t size, uint32_t crc = 0);
// zlib's Adler-32, continued from `adler`.
uint32_t Adler32(const void* data, size_t size, uint32_t adler = 1);

// The PNG file of a picture `width` x `height` whose row y starts at rgb + y * stride, three bytes
// a pixel (red, green, blue). Empty for a picture without pixels.
std::string EncodePng(int width, int height, const uint8_t* rgb, size_t stride);

}  // namespace zelmor::base

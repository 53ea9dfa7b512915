#pragma once
// A PNG writer for pictures Zelmor makes itself (the map of grids): 8-bit RGB, no filtering, the
// image data in deflate's stored blocks. Such a file is larger than a compressing writer's, but
// every reader takes it, and the few hundred kilobytes of a map do not matter.

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

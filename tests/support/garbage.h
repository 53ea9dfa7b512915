#pragma once
// Damaged files for the tests of what Zelmor reads: bytes of every value, the same on every run.

#include <cstdint>
#include <string>

namespace test_support {

// `size` bytes of every value in a fixed, repeatable order, one order for each `seed`.
inline std::string Garbage(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  for (char& c : bytes) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 16);
  }
  return bytes;
}

}  // namespace test_support

#pragma once
// The Win32 calls that fill a caller's buffer and cut what does not fit.

#include <windows.h>

#include <string>

namespace zelmor::base {

// Calls `fill(buffer, size)`, which returns the characters it wrote, with a buffer that grows until
// the result fits with `slack` characters to spare (a call that cut its result returns size - 1
// or size - 2, depending on the call), or until 64 M characters. The result has the length written.
template <typename Char, typename Fill>
std::basic_string<Char> GrowUntilFits(size_t first_size, size_t slack, Fill fill) {
  std::basic_string<Char> buffer(first_size, Char{});
  for (;;) {
    const DWORD got = fill(buffer.data(), static_cast<DWORD>(buffer.size()));
    if (got + slack < buffer.size() || buffer.size() >= (size_t{64} << 20)) {
      buffer.resize(got < buffer.size() ? got : buffer.size());
      return buffer;
    }
    buffer.assign(buffer.size() * 4, Char{});
  }
}

}  // namespace zelmor::base

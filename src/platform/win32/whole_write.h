// A write that the system may take in parts.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace pagewire::platform::win32 {

// Hands the bytes to `writeSome(bytes, length, written)`, which takes up to
// `length` of them and sets `written`, until all are taken: the rest of a
// short write follows, so that no byte is lost. A call that fails, or that
// takes no byte, is a failure.
template <typename WriteSome>
bool WriteWhole(const void* data, std::size_t length, WriteSome writeSome) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (length > 0) {
    const auto piece = static_cast<std::uint32_t>(
        std::min<std::size_t>(length, std::numeric_limits<std::uint32_t>::max()));
    std::uint32_t written = 0;
    if (!writeSome(bytes, piece, written) || written == 0 || written > piece) return false;
    bytes += written;
    length -= written;
  }
  return true;
}

}  // namespace pagewire::platform::win32

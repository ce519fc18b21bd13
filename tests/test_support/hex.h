// Hex helpers for tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagewire::test {

inline std::string ToHex(const std::uint8_t* data, std::size_t length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < length; ++i) {
    hex.push_back(kDigits[data[i] >> 4]);
    hex.push_back(kDigits[data[i] & 0x0F]);
  }
  return hex;
}

inline std::vector<std::uint8_t> FromHex(std::string_view hex) {
  auto nibble = [](char c) -> std::uint8_t {
    if (c >= '0' && c <= '9') return std::uint8_t(c - '0');
    if (c >= 'a' && c <= 'f') return std::uint8_t(c - 'a' + 10);
    return std::uint8_t(c - 'A' + 10);
  };
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes.push_back(std::uint8_t(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
  return bytes;
}

}  // namespace pagewire::test

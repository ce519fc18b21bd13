// Encryption of the document password for the printer.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pagewire::job {

inline constexpr std::size_t kPasswordBlockSize = 32;
inline constexpr std::size_t kDecryptedSize = 40;

// Key material of key mode "FK".
inline constexpr std::array<std::uint8_t, 6> kFixedPasswordKey = {0x5C, 0x13, 0xA7,
                                                                  0xE2, 0x09, 0x6B};

using PasswordBlock = std::array<std::uint8_t, kPasswordBlockSize>;

// The typed password cut to 32 bytes, zero-filled to the end of the block.
PasswordBlock MakePasswordBlock(std::string_view password);

// 64 lower-case hex digits of the 32 cipher bytes.
std::string HexOfCipher(const PasswordBlock& cipher);

}  // namespace pagewire::job

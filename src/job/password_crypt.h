// Encryption of the document password for the printer.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pagewire::job {

inline constexpr std::size_t kPasswordBlockSize = 32;
inline constexpr std::size_t kDecryptedSize = 40;

// Key material of key mode "FK".
inline constexpr std::array<std::uint8_t, 6> kFixedPasswordKey = {0x5C, 0x13, 0xA7,
                                                                  0xE2, 0x09, 0x6B};

using PasswordBlock = std::array<std::uint8_t, kPasswordBlockSize>;
using DecryptedBlocks = std::array<std::uint8_t, kDecryptedSize>;

// DES-ECB under the first 8 bytes of MD5 of the key material (the MAC
// address, or the fixed key).
PasswordBlock EncryptPasswordBlock(const PasswordBlock& block, std::span<const std::uint8_t> key);
// The inverse, over five 8-byte blocks.
DecryptedBlocks DecryptPasswordBlocks(const DecryptedBlocks& cipher,
                                      std::span<const std::uint8_t> key);

// The typed password cut to 32 bytes, zero-filled to the end of the block.
PasswordBlock MakePasswordBlock(std::string_view password);

// 64 lower-case hex digits of the 32 cipher bytes.
std::string HexOfCipher(const PasswordBlock& cipher);

// Overwrites every byte a secret occupies before it is let go.
void WipeSecret(std::string& secret);
void WipeSecret(void* bytes, std::size_t size);

}  // namespace pagewire::job

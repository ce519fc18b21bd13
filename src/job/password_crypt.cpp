#include "job/password_crypt.h"

#include <algorithm>
#include <cstring>

#include "crypto/crypto.h"

namespace pagewire::job {
namespace {

constexpr std::size_t kDesBlock = 8;

template <std::size_t Size, typename Step>
std::array<std::uint8_t, Size> EachDesBlock(const std::array<std::uint8_t, Size>& in,
                                            std::span<const std::uint8_t> key, Step step) {
  const auto digest = crypto::Md5Of(key.data(), key.size());
  crypto::DesEcb des(digest.data());
  std::array<std::uint8_t, Size> out{};
  for (std::size_t i = 0; i < Size; i += kDesBlock) step(des, in.data() + i, out.data() + i);
  return out;
}

}  // namespace

PasswordBlock MakePasswordBlock(std::string_view password) {
  PasswordBlock block{};
  const std::size_t n = std::min(password.size(), block.size());
  std::memcpy(block.data(), password.data(), n);
  return block;
}

std::string HexOfCipher(const PasswordBlock& cipher) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(cipher.size() * 2);
  for (std::uint8_t byte : cipher) {
    hex.push_back(kDigits[byte >> 4]);
    hex.push_back(kDigits[byte & 0x0F]);
  }
  return hex;
}

void WipeSecret(void* bytes, std::size_t size) {
  // Volatile stores: the compiler may not drop them as dead.
  volatile unsigned char* p = static_cast<volatile unsigned char*>(bytes);
  for (std::size_t i = 0; i < size; ++i) p[i] = 0;
}

void WipeSecret(std::string& secret) {
  // Filling up to the capacity reaches every byte of the buffer in place.
  secret.resize(secret.capacity());
  WipeSecret(secret.data(), secret.size());
  secret.clear();
}

PasswordBlock EncryptPasswordBlock(const PasswordBlock& block, std::span<const std::uint8_t> key) {
  return EachDesBlock(block, key, [](crypto::DesEcb& des, const std::uint8_t* in,
                                     std::uint8_t* out) { des.Encrypt(in, out); });
}

DecryptedBlocks DecryptPasswordBlocks(const DecryptedBlocks& cipher,
                                      std::span<const std::uint8_t> key) {
  return EachDesBlock(cipher, key, [](crypto::DesEcb& des, const std::uint8_t* in,
                                      std::uint8_t* out) { des.Decrypt(in, out); });
}

}  // namespace pagewire::job

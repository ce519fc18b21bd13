#include "job/password_crypt.h"

#include <algorithm>
#include <cstring>
#include <exception>

#include "crypto/crypto.h"
#include "pagewire/pagewire.h"

namespace pagewire::job {
namespace {

constexpr std::size_t kDesBlock = 8;

crypto::Md5Digest KeyDigest(const unsigned char* key, int keyLength) {
  const std::size_t length = (key != nullptr && keyLength > 0) ? std::size_t(keyLength) : 0;
  return crypto::Md5Of(key, length);
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

}  // namespace pagewire::job

using pagewire::job::kDecryptedSize;
using pagewire::job::kDesBlock;
using pagewire::job::kPasswordBlockSize;

extern "C" void EncryptPassword(unsigned char* out, const unsigned char* in,
                                const unsigned char* key, int keyLength) {
  try {
    const auto digest = pagewire::job::KeyDigest(key, keyLength);
    pagewire::crypto::DesEcb des(digest.data());
    for (std::size_t i = 0; i < kPasswordBlockSize; i += kDesBlock) des.Encrypt(in + i, out + i);
  } catch (const std::exception&) {
    // Only an allocation failure can land here; the caller gets no result.
  }
}

extern "C" void DecryptPassword(unsigned char* out, const unsigned char* in,
                                const unsigned char* key, int keyLength) {
  std::memset(out, 0, kDecryptedSize);
  try {
    const auto digest = pagewire::job::KeyDigest(key, keyLength);
    pagewire::crypto::DesEcb des(digest.data());
    for (std::size_t i = 0; i < kDecryptedSize; i += kDesBlock) des.Decrypt(in + i, out + i);
  } catch (const std::exception&) {
  }
}

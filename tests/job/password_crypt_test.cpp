#include "job/password_crypt.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <new>

#include "pagewire/pagewire.h"
#include "test_support/hex.h"

// Every allocation fails while `failAllocations` is set: the crypto
// facade's state cannot be made, as when memory runs out.
namespace {
bool failAllocations = false;
}  // namespace

void* operator new(std::size_t size) {
  void* p = failAllocations ? nullptr : std::malloc(size != 0 ? size : 1);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace pagewire::job {
namespace {

using test::ToHex;

const std::array<std::uint8_t, 6> kMac = {0x00, 0x1B, 0xC0, 0xFF, 0x07, 0x5A};

std::string EncryptHex(std::string_view password, const std::uint8_t* key, int keyLength) {
  const auto block = MakePasswordBlock(password);
  PasswordBlock cipher{};
  EncryptPassword(cipher.data(), block.data(), key, keyLength);
  return HexOfCipher(cipher);
}

// Expected values come from `openssl enc -des-ecb -nopad` under the first 8
// bytes of the key material's MD5 digest.
TEST(EncryptPassword, KnownAnswersForBothKeyModes) {
  EXPECT_EQ(EncryptHex("secret", kFixedPasswordKey.data(), 6),
            "6790b18a3936ed6b0ee5f98954d73d6a0ee5f98954d73d6a0ee5f98954d73d6a");
  EXPECT_EQ(EncryptHex("secret", kMac.data(), 6),
            "e393bd375fce41e7073ef19f8d81b3c5073ef19f8d81b3c5073ef19f8d81b3c5");
}

TEST(EncryptPassword, EmptyKeyMaterialUsesDigestOfNothing) {
  EXPECT_EQ(EncryptHex("ABCDEFGHABCDEFGH0123456789abcdef", nullptr, 0),
            "3495c6baa519f41f3495c6baa519f41fc2b1a358f73e3d62f3663399d1c32782");
}

TEST(EncryptPassword, IsEcbBlockByBlock) {
  const std::string hex = EncryptHex("ABCDEFGHABCDEFGH", kFixedPasswordKey.data(), 6);
  EXPECT_EQ(hex.substr(0, 16), hex.substr(16, 16));  // equal plain blocks
  EXPECT_EQ(hex.substr(32, 16), hex.substr(48, 16));  // zero-filled tail
  EXPECT_NE(hex.substr(0, 16), hex.substr(32, 16));
}

TEST(EncryptPassword, KeyDependsOnMacByteOrder) {
  auto swapped = kMac;
  std::swap(swapped[0], swapped[1]);
  EXPECT_NE(EncryptHex("secret", kMac.data(), 6), EncryptHex("secret", swapped.data(), 6));
  EXPECT_EQ(EncryptHex("secret", kMac.data(), 6), EncryptHex("secret", kMac.data(), 6));
}

TEST(EncryptPassword, WritesExactlyThirtyTwoBytes) {
  const auto block = MakePasswordBlock("0123456789abcdef0123456789abcdef");
  std::array<std::uint8_t, 40> out;
  out.fill(0xEE);
  EncryptPassword(out.data(), block.data(), kMac.data(), 6);
  for (std::size_t i = 32; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << i;
}

TEST(EncryptPassword, AFailedEncryptionZeroesTheOutputInsteadOfLeavingItUnwritten) {
  const auto block = MakePasswordBlock("secret");
  std::array<std::uint8_t, 40> out;
  out.fill(0xEE);
  failAllocations = true;
  EncryptPassword(out.data(), block.data(), kMac.data(), 6);
  failAllocations = false;
  for (std::size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i], i < 32 ? 0x00 : 0xEE) << i;
}

TEST(MakePasswordBlock, CutsAtThirtyTwoAndZeroFills) {
  const auto full = MakePasswordBlock(std::string(40, 'x'));
  EXPECT_EQ(std::memcmp(full.data(), std::string(32, 'x').data(), 32), 0);
  const auto shortBlock = MakePasswordBlock("abc");
  EXPECT_EQ(ToHex(shortBlock.data(), shortBlock.size()), "616263" + std::string(58, '0'));
}

TEST(DecryptPassword, RestoresBlockAndDecryptsFifthBlock) {
  const auto block = MakePasswordBlock("0123456789abcdef0123456789abcdef");
  const auto tail = MakePasswordBlock("tailbyte");
  std::array<std::uint8_t, 32> tailCipher{};
  EncryptPassword(tailCipher.data(), tail.data(), kMac.data(), 6);
  std::array<std::uint8_t, 40> in{};
  EncryptPassword(in.data(), block.data(), kMac.data(), 6);
  std::memcpy(in.data() + 32, tailCipher.data(), 8);

  std::array<std::uint8_t, 41> out;
  out.fill(0xEE);
  DecryptPassword(out.data(), in.data(), kMac.data(), 6);
  EXPECT_EQ(std::memcmp(out.data(), block.data(), 32), 0);
  EXPECT_EQ(std::memcmp(out.data() + 32, "tailbyte", 8), 0);
  EXPECT_EQ(out[40], 0xEE);
}

TEST(WipeSecret, LeavesNoByteOfTheText) {
  std::string secret(40, 's');
  const char* buffer = secret.data();
  WipeSecret(secret);
  EXPECT_TRUE(secret.empty());
  EXPECT_EQ(buffer, secret.data());  // wiped in place, not reallocated
  for (int i = 0; i < 40; ++i) EXPECT_EQ(buffer[i], '\0');
}

}  // namespace
}  // namespace pagewire::job

// Known-answer tests of the crypto facade; every backend must pass them.
#include "crypto/crypto.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support/hex.h"

namespace pagewire::crypto {
namespace {

using test::FromHex;
using test::ToHex;

struct Md5Case {
  std::string message;
  std::string digest;
};

TEST(Md5, Rfc1321TestSuite) {
  const Md5Case cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"1234567890123456789012345678901234567890123456789012345678901234567890"
       "1234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& c : cases) {
    const auto digest = Md5Of(c.message.data(), c.message.size());
    EXPECT_EQ(ToHex(digest.data(), digest.size()), c.digest) << '"' << c.message << '"';
  }
}

TEST(Md5, IncrementalUpdatesEqualOneShot) {
  const std::string message = "message digest";
  Md5 md5;
  md5.Update(message.data(), 3);
  md5.Update(nullptr, 0);
  md5.Update(message.data() + 3, message.size() - 3);
  EXPECT_EQ(md5.Finish(), Md5Of(message.data(), message.size()));
}

struct Rc4Case {
  const char* key;
  const char* keystream;  // keystream bytes from offset 0
};

TEST(Rc4, KeystreamVectors) {
  const Rc4Case cases[] = {
      // RFC 6229, 40-bit and 128-bit keys.
      {"0102030405", "b2396305f03dc027ccc3524a0a1118a8"},
      {"0102030405060708090a0b0c0d0e0f10", "9ac7cc9a609d1ef7b2932899cde41b97"},
      // Short keys, which some backends refuse to schedule directly.
      {"41", "c2cbe63dc0a3cda1baab695ce4f0352b"},
      {"000102", "bcff42906d4c774789953ac10655115e"},
  };
  for (const auto& c : cases) {
    const auto key = FromHex(c.key);
    std::vector<std::uint8_t> buffer(16, 0);
    Rc4(key.data(), key.size(), buffer.data(), buffer.data(), buffer.size());
    EXPECT_EQ(ToHex(buffer.data(), buffer.size()), c.keystream) << "key " << c.key;
  }
}

TEST(Rc4, EncryptsPlaintextAndDecryptsBack) {
  const std::string plain = "Attack at dawn";
  const std::string key = "Secret";
  std::vector<std::uint8_t> out(plain.size());
  const auto* k = reinterpret_cast<const std::uint8_t*>(key.data());
  Rc4(k, key.size(), reinterpret_cast<const std::uint8_t*>(plain.data()), out.data(), out.size());
  EXPECT_EQ(ToHex(out.data(), out.size()), "45a01f645fc35b383552544b9bf5");
  Rc4(k, key.size(), out.data(), out.data(), out.size());
  EXPECT_EQ(std::string(out.begin(), out.end()), plain);
}

struct DesCase {
  const char* key;
  const char* plain;
  const char* cipher;
};

TEST(DesEcb, KnownAnswers) {
  const DesCase cases[] = {
      // The FIPS 46-3 worked example.
      {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
      // NIST SP 800-17 variable-plaintext test under the weak key 01..01.
      {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
      {"0101010101010101", "0000000000000000", "8ca64de9c1b123a7"},
      // A key with wrong parity bits is used as it is: 0x00.. equals 0x01..
      {"0000000000000000", "8000000000000000", "95f8a5e5dd31d900"},
  };
  for (const auto& c : cases) {
    const auto key = FromHex(c.key);
    const auto plain = FromHex(c.plain);
    std::uint8_t out[8];
    std::uint8_t back[8];
    DesEcb des(key.data());
    des.Encrypt(plain.data(), out);
    EXPECT_EQ(ToHex(out, 8), c.cipher) << "key " << c.key;
    des.Decrypt(out, back);
    EXPECT_EQ(ToHex(back, 8), c.plain) << "key " << c.key;
  }
}

TEST(DesEcb, WeakKeyEncryptionIsAnInvolution) {
  const auto key = FromHex("fefefefefefefefe");
  const auto plain = FromHex("0123456789abcdef");
  std::uint8_t once[8];
  std::uint8_t twice[8];
  DesEcb des(key.data());
  des.Encrypt(plain.data(), once);
  des.Encrypt(once, twice);
  EXPECT_NE(ToHex(once, 8), "0123456789abcdef");
  EXPECT_EQ(ToHex(twice, 8), "0123456789abcdef");
}

struct Sha2Case {
  Sha2 algorithm;
  std::string message;
  const char* digest;
};

// FIPS 180-4 examples: "abc", and a two-block message.
TEST(Sha2, FipsExamples) {
  const std::string m448 = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
  const Sha2Case cases[] = {
      {Sha2::Sha256, "abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {Sha2::Sha256, m448, "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {Sha2::Sha384, "abc",
       "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca1"
       "34c825a7"},
      {Sha2::Sha512, "abc",
       "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23"
       "a3feebbd454d4423643ce80e2a9ac94fa54ca49f"},
  };
  for (const auto& c : cases) {
    const auto digest = Sha2Of(c.algorithm, c.message.data(), c.message.size());
    EXPECT_EQ(ToHex(digest.data(), digest.size()), c.digest) << '"' << c.message << '"';
  }
}

// SP 800-38A F.2.1, CBC-AES128.Encrypt: four chained blocks, no padding block.
TEST(Aes128Cbc, Sp800_38aExample) {
  const auto key = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
  const auto iv = FromHex("000102030405060708090a0b0c0d0e0f");
  auto data = FromHex(
      "6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
      "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710");
  Aes128CbcEncrypt(key.data(), iv.data(), data.data(), data.data(), data.size());  // in place
  EXPECT_EQ(ToHex(data.data(), data.size()),
            "7649abac8119b246cee98e9b12e9197d5086cb9b507219ee95db113a917678b2"
            "73bed6b8e3c1743b7116e69e222295163ff1caa1681fac09120eca307586e1a7");
}

}  // namespace
}  // namespace pagewire::crypto

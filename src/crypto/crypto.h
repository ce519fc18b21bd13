// A small facade over the crypto library: MD5, RC4, single DES (ECB, one
// block at a time, key set up without parity or weak-key checks), SHA-256,
// SHA-384, SHA-512 and AES-128-CBC encryption without padding.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace pagewire::crypto {

using Md5Digest = std::array<std::uint8_t, 16>;

// Incremental MD5 (RFC 1321).
class Md5 {
 public:
  Md5();
  ~Md5();
  Md5(const Md5&) = delete;
  Md5& operator=(const Md5&) = delete;

  void Update(const void* data, std::size_t length);
  Md5Digest Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

Md5Digest Md5Of(const void* data, std::size_t length);

// RC4 keystream XOR of `length` bytes from `in` to `out` (which may be the
// same buffer). Any key length from 1 to 256 bytes gives the RC4 keystream.
void Rc4(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in,
         std::uint8_t* out, std::size_t length);

// Single DES on one 8-byte block under an 8-byte key used exactly as given.
class DesEcb {
 public:
  explicit DesEcb(const std::uint8_t key[8]);
  ~DesEcb();
  DesEcb(const DesEcb&) = delete;
  DesEcb& operator=(const DesEcb&) = delete;

  void Encrypt(const std::uint8_t in[8], std::uint8_t out[8]);
  void Decrypt(const std::uint8_t in[8], std::uint8_t out[8]);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

enum class Sha2 { Sha256, Sha384, Sha512 };

// The digest of `length` bytes: 32, 48 or 64 bytes long.
std::vector<std::uint8_t> Sha2Of(Sha2 algorithm, const void* data, std::size_t length);

// AES-128 in CBC mode under `key` (16 bytes) and `iv` (16 bytes), without
// padding: `length` must be a multiple of 16. `out` may be `in`.
void Aes128CbcEncrypt(const std::uint8_t key[16], const std::uint8_t iv[16],
                      const std::uint8_t* in, std::uint8_t* out, std::size_t length);

}  // namespace pagewire::crypto

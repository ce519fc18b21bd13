// OpenSSL backend. The low-level DES, RC4 and MD5 calls are deprecated in
// OpenSSL 3 but are the only ones that give DES without parity or weak-key
// checks and RC4 without loading the legacy provider.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/des.h>
#include <openssl/md5.h>
#include <openssl/rc4.h>

#include <cstring>

#include "crypto/crypto.h"

namespace pagewire::crypto {

struct Md5::State {
  MD5_CTX ctx;
};

Md5::Md5() : state_(std::make_unique<State>()) { MD5_Init(&state_->ctx); }
Md5::~Md5() { OPENSSL_cleanse(state_.get(), sizeof(State)); }

void Md5::Update(const void* data, std::size_t length) {
  MD5_Update(&state_->ctx, data, length);
}

Md5Digest Md5::Finish() {
  Md5Digest digest{};
  MD5_Final(digest.data(), &state_->ctx);
  return digest;
}

void Rc4(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in,
         std::uint8_t* out, std::size_t length) {
  RC4_KEY schedule;
  RC4_set_key(&schedule, static_cast<int>(keyLength), key);
  RC4(&schedule, length, in, out);
  OPENSSL_cleanse(&schedule, sizeof schedule);
}

struct DesEcb::State {
  DES_key_schedule schedule;
};

DesEcb::DesEcb(const std::uint8_t key[8]) : state_(std::make_unique<State>()) {
  DES_cblock block;
  std::memcpy(block, key, sizeof block);
  DES_set_key_unchecked(&block, &state_->schedule);
  OPENSSL_cleanse(block, sizeof block);
}

DesEcb::~DesEcb() { OPENSSL_cleanse(state_.get(), sizeof(State)); }

namespace {

void DesBlock(const std::uint8_t in[8], std::uint8_t out[8], DES_key_schedule* schedule,
              int direction) {
  DES_cblock input;
  DES_cblock output;
  std::memcpy(input, in, sizeof input);
  DES_ecb_encrypt(&input, &output, schedule, direction);
  std::memcpy(out, output, sizeof output);
}

}  // namespace

void DesEcb::Encrypt(const std::uint8_t in[8], std::uint8_t out[8]) {
  DesBlock(in, out, &state_->schedule, DES_ENCRYPT);
}

void DesEcb::Decrypt(const std::uint8_t in[8], std::uint8_t out[8]) {
  DesBlock(in, out, &state_->schedule, DES_DECRYPT);
}

}  // namespace pagewire::crypto

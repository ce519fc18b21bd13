// OpenSSL backend. The low-level DES, RC4 and MD5 calls are deprecated in
// OpenSSL 3 but are the only ones that give DES without parity or weak-key
// checks and RC4 without loading the legacy provider.
#define OPENSSL_SUPPRESS_DEPRECATED
#include <openssl/crypto.h>
#include <openssl/des.h>
#include <openssl/evp.h>
#include <openssl/md5.h>
#include <openssl/rc4.h>

#include <cstring>
#include <limits>
#include <stdexcept>

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

namespace {

// Fetched once: an algorithm named by EVP_sha256() and the like is looked up
// again on every use, which costs as much as hashing a few KiB, and the
// revision 6 password hash asks for hundreds. Kept for the process's life.
const EVP_MD* FetchedSha2(Sha2 algorithm) {
  static const EVP_MD* const kFetched[3] = {EVP_MD_fetch(nullptr, "SHA2-256", nullptr),
                                            EVP_MD_fetch(nullptr, "SHA2-384", nullptr),
                                            EVP_MD_fetch(nullptr, "SHA2-512", nullptr)};
  const EVP_MD* md = kFetched[static_cast<int>(algorithm)];
  if (md != nullptr) return md;
  return algorithm == Sha2::Sha256 ? EVP_sha256()
         : algorithm == Sha2::Sha384 ? EVP_sha384()
                                     : EVP_sha512();
}

const EVP_CIPHER* FetchedAes128Cbc() {
  static const EVP_CIPHER* const kFetched = EVP_CIPHER_fetch(nullptr, "AES-128-CBC", nullptr);
  return kFetched != nullptr ? kFetched : EVP_aes_128_cbc();
}

}  // namespace

std::vector<std::uint8_t> Sha2Of(Sha2 algorithm, const void* data, std::size_t length) {
  const EVP_MD* md = FetchedSha2(algorithm);
  std::vector<std::uint8_t> digest(static_cast<std::size_t>(EVP_MD_get_size(md)));
  unsigned int size = 0;
  if (EVP_Digest(data, length, digest.data(), &size, md, nullptr) != 1 || size != digest.size())
    throw std::runtime_error("OpenSSL: SHA-2 digest failed");
  return digest;
}

void Aes128CbcEncrypt(const std::uint8_t key[16], const std::uint8_t iv[16],
                      const std::uint8_t* in, std::uint8_t* out, std::size_t length) {
  if (length % 16 != 0) throw std::invalid_argument("AES-CBC length is not whole blocks");
  if (length > static_cast<std::size_t>(std::numeric_limits<int>::max()))
    throw std::invalid_argument("AES-CBC input too long");
  const std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX*)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
  int written = 0;
  int tail = 0;
  const bool ok =
      ctx != nullptr && EVP_EncryptInit_ex(ctx.get(), FetchedAes128Cbc(), nullptr, key, iv) == 1 &&
      EVP_CIPHER_CTX_set_padding(ctx.get(), 0) == 1 &&
      EVP_EncryptUpdate(ctx.get(), out, &written, in, static_cast<int>(length)) == 1 &&
      EVP_EncryptFinal_ex(ctx.get(), out + written, &tail) == 1 &&
      static_cast<std::size_t>(written) + static_cast<std::size_t>(tail) == length;
  if (!ok) throw std::runtime_error("OpenSSL: AES-128-CBC failed");
}

}  // namespace pagewire::crypto

// libgcrypt backend, used where no OpenSSL exists for the target (MinGW-w64).
// libgcrypt refuses DES weak keys and RC4 keys shorter than 5 bytes; both are
// worked around here so that every key gives the same result as OpenSSL.
#include <gcrypt.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "crypto/crypto.h"

namespace pagewire::crypto {
namespace {

// libgcrypt's smallest accepted RC4 key, in bytes.
constexpr std::size_t kGcryptMinRc4Key = 5;
// The longest key the RC4 key schedule reads (it indexes key[i mod len], i < 256).
constexpr std::size_t kRc4MaxKey = 256;

[[noreturn]] void Fail(const char* what, gcry_error_t err) {
  throw std::runtime_error(std::string("libgcrypt: ") + what + ": " + gcry_strerror(err));
}

// One-time library set-up; a function-local static makes it thread-safe.
void EnsureInitialised() {
  static const bool initialised = [] {
    if (gcry_check_version(GCRYPT_VERSION) == nullptr) {
      throw std::runtime_error("libgcrypt: version mismatch");
    }
    // Keys here are short-lived and wiped; secure memory would need privileges.
    gcry_control(GCRYCTL_DISABLE_SECMEM, 0);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    return true;
  }();
  (void)initialised;
}

class Cipher {
 public:
  Cipher(int algorithm, int mode) {
    EnsureInitialised();
    const gcry_error_t err = gcry_cipher_open(&handle_, algorithm, mode, 0);
    if (err) Fail("cipher_open", err);
  }
  ~Cipher() { gcry_cipher_close(handle_); }
  Cipher(const Cipher&) = delete;
  Cipher& operator=(const Cipher&) = delete;

  gcry_cipher_hd_t get() const { return handle_; }

 private:
  gcry_cipher_hd_t handle_ = nullptr;
};

}  // namespace

struct Md5::State {
  gcry_md_hd_t handle = nullptr;
};

Md5::Md5() : state_(std::make_unique<State>()) {
  EnsureInitialised();
  const gcry_error_t err = gcry_md_open(&state_->handle, GCRY_MD_MD5, 0);
  if (err) Fail("md_open", err);
}

Md5::~Md5() { gcry_md_close(state_->handle); }

void Md5::Update(const void* data, std::size_t length) {
  if (length != 0) gcry_md_write(state_->handle, data, length);
}

Md5Digest Md5::Finish() {
  Md5Digest digest{};
  const unsigned char* result = gcry_md_read(state_->handle, GCRY_MD_MD5);
  if (result == nullptr) throw std::runtime_error("libgcrypt: md_read failed");
  std::memcpy(digest.data(), result, digest.size());
  return digest;
}

void Rc4(const std::uint8_t* key, std::size_t keyLength, const std::uint8_t* in,
         std::uint8_t* out, std::size_t length) {
  if (keyLength == 0) throw std::invalid_argument("RC4 key is empty");
  // Bytes past the 256th never reach the key schedule.
  if (keyLength > kRc4MaxKey) keyLength = kRc4MaxKey;
  // Repeating a short key to a multiple of its length leaves key[i mod len]
  // unchanged for every i, so the keystream is the same.
  std::vector<std::uint8_t> scheduleKey(key, key + keyLength);
  while (scheduleKey.size() < kGcryptMinRc4Key) {
    scheduleKey.insert(scheduleKey.end(), key, key + keyLength);
  }
  Cipher cipher(GCRY_CIPHER_ARCFOUR, GCRY_CIPHER_MODE_STREAM);
  gcry_error_t err = gcry_cipher_setkey(cipher.get(), scheduleKey.data(), scheduleKey.size());
  std::memset(scheduleKey.data(), 0, scheduleKey.size());
  if (err) Fail("RC4 setkey", err);
  if (length == 0) return;
  err = in == out ? gcry_cipher_encrypt(cipher.get(), out, length, nullptr, 0)
                  : gcry_cipher_encrypt(cipher.get(), out, length, in, length);
  if (err) Fail("RC4 encrypt", err);
}

struct DesEcb::State {
  Cipher cipher{GCRY_CIPHER_DES, GCRY_CIPHER_MODE_ECB};
};

DesEcb::DesEcb(const std::uint8_t key[8]) : state_(std::make_unique<State>()) {
  gcry_cipher_hd_t handle = state_->cipher.get();
  gcry_error_t err = gcry_cipher_ctl(handle, GCRYCTL_SET_ALLOW_WEAK_KEY, nullptr, 1);
  if (err) Fail("allow weak DES keys", err);
  err = gcry_cipher_setkey(handle, key, 8);
  // With weak keys allowed, setkey still reports a weak key but has set it.
  if (err && gcry_err_code(err) != GPG_ERR_WEAK_KEY) Fail("DES setkey", err);
}

DesEcb::~DesEcb() = default;

void DesEcb::Encrypt(const std::uint8_t in[8], std::uint8_t out[8]) {
  const gcry_error_t err = gcry_cipher_encrypt(state_->cipher.get(), out, 8, in, 8);
  if (err) Fail("DES encrypt", err);
}

void DesEcb::Decrypt(const std::uint8_t in[8], std::uint8_t out[8]) {
  const gcry_error_t err = gcry_cipher_decrypt(state_->cipher.get(), out, 8, in, 8);
  if (err) Fail("DES decrypt", err);
}

std::vector<std::uint8_t> Sha2Of(Sha2 algorithm, const void* data, std::size_t length) {
  EnsureInitialised();
  const int md = algorithm == Sha2::Sha256   ? GCRY_MD_SHA256
                 : algorithm == Sha2::Sha384 ? GCRY_MD_SHA384
                                             : GCRY_MD_SHA512;
  std::vector<std::uint8_t> digest(gcry_md_get_algo_dlen(md));
  gcry_md_hash_buffer(md, digest.data(), data, length);
  return digest;
}

void Aes128CbcEncrypt(const std::uint8_t key[16], const std::uint8_t iv[16],
                      const std::uint8_t* in, std::uint8_t* out, std::size_t length) {
  if (length % 16 != 0) throw std::invalid_argument("AES-CBC length is not whole blocks");
  Cipher cipher(GCRY_CIPHER_AES128, GCRY_CIPHER_MODE_CBC);
  gcry_error_t err = gcry_cipher_setkey(cipher.get(), key, 16);
  if (!err) err = gcry_cipher_setiv(cipher.get(), iv, 16);
  if (err) Fail("AES setkey", err);
  if (length == 0) return;
  err = in == out ? gcry_cipher_encrypt(cipher.get(), out, length, nullptr, 0)
                  : gcry_cipher_encrypt(cipher.get(), out, length, in, length);
  if (err) Fail("AES-CBC encrypt", err);
}

}  // namespace pagewire::crypto

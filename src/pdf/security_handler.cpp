#include "pdf/security_handler.h"

#include <algorithm>
#include <cstring>

#include "crypto/crypto.h"

namespace pagewire::pdf {
namespace {

// Revisions 3 and 4 rehash the key and re-encrypt with derived keys this often.
constexpr int kRevision3HashRounds = 50;
constexpr int kRevision3Rc4Rounds = 19;
// Revisions 3 and 4 compare only the first half of U; the rest is arbitrary.
constexpr std::size_t kRevision3Compared = 16;
// Revision 4 without encrypted metadata hashes these bytes into the key.
constexpr std::uint8_t kMetadataNotEncrypted[4] = {0xFF, 0xFF, 0xFF, 0xFF};

// Revisions 5 and 6: the hash, then the validation salt, in O and U.
constexpr std::size_t kAesHashLength = 32;
constexpr std::size_t kSaltLength = 8;
// The revision 6 hash runs at least this many rounds, then stops after the
// first round whose last byte of E is at most the round number less 32.
constexpr int kMinHashRounds = 64;
constexpr int kStopBias = 32;
// Its input in each round: password, hash and U, 64 times over.
constexpr int kHashInputRepeats = 64;
constexpr std::size_t kAesBlock = 16;

bool IsAesRevision(int revision) { return revision >= 5; }

}  // namespace

const StandardSecurityHandler::Block StandardSecurityHandler::kPadding = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E,
    0x56, 0xFF, 0xFA, 0x01, 0x08, 0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68,
    0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

void StandardSecurityHandler::SetRevisionAndKeyLength(int revision, std::size_t keyLength) {
  revision_ = revision;
  keyLength_ = std::min(keyLength, kMaxKeyLength);
}

void StandardSecurityHandler::SetOwnerValue(const std::uint8_t* o) {
  o_.fill(0);
  std::memcpy(o_.data(), o, IsAesRevision(revision_) ? kAesValueLength : kValueLength);
}

void StandardSecurityHandler::SetUserValue(const std::uint8_t* u) {
  u_.fill(0);
  std::memcpy(u_.data(), u, IsAesRevision(revision_) ? kAesValueLength : kValueLength);
}

bool StandardSecurityHandler::SetDocumentId(const std::uint8_t* bytes, std::size_t length) {
  documentId_.assign(bytes, bytes + length);
  return true;
}

void StandardSecurityHandler::SetPassword(const char* password) {
  std::size_t length = 0;
  // Bounded by hand: the password need not be terminated within 127 bytes.
  while (password != nullptr && length < kMaxAesPasswordLength && password[length] != '\0')
    ++length;
  password_.assign(password != nullptr ? password : "", length);
  const std::size_t padded = std::min(length, kValueLength);
  if (padded > 0) std::memcpy(paddedUser_.data(), password, padded);
  std::memcpy(paddedUser_.data() + padded, kPadding.data(), kValueLength - padded);
  paddedOwner_ = paddedUser_;
}

void StandardSecurityHandler::ComputeKey() {
  crypto::Md5 md5;
  md5.Update(paddedUser_.data(), kValueLength);
  md5.Update(o_.data(), kValueLength);
  const auto p = static_cast<std::uint32_t>(permissions_);
  const std::uint8_t pBytes[4] = {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16),
                                  std::uint8_t(p >> 24)};
  md5.Update(pBytes, sizeof pBytes);
  md5.Update(documentId_.data(), documentId_.size());
  if (revision_ >= 4 && !encryptMetadata_)
    md5.Update(kMetadataNotEncrypted, sizeof kMetadataNotEncrypted);
  crypto::Md5Digest digest = md5.Finish();
  if (revision_ >= 3)
    for (int i = 0; i < kRevision3HashRounds; ++i) digest = crypto::Md5Of(digest.data(), keyLength_);
  key_.fill(0);
  std::copy_n(digest.begin(), keyLength_, key_.begin());
}

namespace {

// RC4 passes 1..19 of revisions 3 and 4, each under the key XOR its pass number.
void Revision3Passes(const StandardSecurityHandler::Key& key, std::size_t keyLength,
                     std::uint8_t* data, std::size_t length) {
  for (int i = 1; i <= kRevision3Rc4Rounds; ++i) {
    StandardSecurityHandler::Key passKey{};
    for (std::size_t j = 0; j < keyLength; ++j) passKey[j] = std::uint8_t(key[j] ^ i);
    crypto::Rc4(passKey.data(), keyLength, data, data, length);
  }
}

}  // namespace

StandardSecurityHandler::Block StandardSecurityHandler::ComputeUserValue() {
  ComputeKey();
  Block value{};
  if (revision_ == 2) {
    crypto::Rc4(key_.data(), keyLength_, kPadding.data(), value.data(), kValueLength);
    return value;
  }
  crypto::Md5 md5;
  md5.Update(kPadding.data(), kValueLength);
  md5.Update(documentId_.data(), documentId_.size());
  const crypto::Md5Digest digest = md5.Finish();
  crypto::Rc4(key_.data(), keyLength_, digest.data(), value.data(), digest.size());
  Revision3Passes(key_, keyLength_, value.data(), digest.size());
  return value;
}

bool StandardSecurityHandler::UserValueMatches() {
  const Block value = ComputeUserValue();
  const std::size_t compared = revision_ >= 3 ? kRevision3Compared : kValueLength;
  return std::memcmp(value.data(), u_.data(), compared) == 0;
}

int StandardSecurityHandler::CheckOwnerPassword() {
  if (IsAesRevision(revision_)) return AesPasswordMatches(o_, u_.data()) ? 1 : 0;
  crypto::Md5Digest digest = crypto::Md5Of(paddedOwner_.data(), kValueLength);
  if (revision_ >= 3)
    for (int i = 0; i < kRevision3HashRounds; ++i) digest = crypto::Md5Of(digest.data(), keyLength_);
  Key ownerKey{};
  std::copy_n(digest.begin(), keyLength_, ownerKey.begin());
  Block userPassword{};
  crypto::Rc4(ownerKey.data(), keyLength_, o_.data(), userPassword.data(), kValueLength);
  if (revision_ >= 3) Revision3Passes(ownerKey, keyLength_, userPassword.data(), kValueLength);
  paddedUser_ = userPassword;
  return UserValueMatches() ? 1 : 0;
}

namespace {

// SHA-256 of the password, the 8-byte salt and, for the owner test, U: the
// whole hash of revision 5 and the start of that of revision 6.
std::vector<std::uint8_t> Sha256OfPassword(const std::string& password, const std::uint8_t* salt,
                                           const std::uint8_t* userValue) {
  std::vector<std::uint8_t> input(password.begin(), password.end());
  input.insert(input.end(), salt, salt + kSaltLength);
  if (userValue != nullptr)
    input.insert(input.end(), userValue, userValue + StandardSecurityHandler::kAesValueLength);
  return crypto::Sha2Of(crypto::Sha2::Sha256, input.data(), input.size());
}

}  // namespace

StandardSecurityHandler::Block StandardSecurityHandler::Revision6Hash(
    const std::string& password, const std::uint8_t* salt, const std::uint8_t* userValue) {
  static constexpr crypto::Sha2 kNext[3] = {crypto::Sha2::Sha256, crypto::Sha2::Sha384,
                                            crypto::Sha2::Sha512};
  std::vector<std::uint8_t> k = Sha256OfPassword(password, salt, userValue);
  std::vector<std::uint8_t> once;
  std::vector<std::uint8_t> e;
  for (int round = 1; round <= kMaxHashRounds; ++round) {
    // E: password, K and U, 64 times over (whole AES blocks), encrypted
    // under the first half of K with the second as IV.
    once.assign(password.begin(), password.end());
    once.insert(once.end(), k.begin(), k.end());
    if (userValue != nullptr) once.insert(once.end(), userValue, userValue + kAesValueLength);
    e.clear();
    for (int i = 0; i < kHashInputRepeats; ++i) e.insert(e.end(), once.begin(), once.end());
    crypto::Aes128CbcEncrypt(k.data(), k.data() + kAesBlock, e.data(), e.data(), e.size());
    // The first 16 bytes of E as a number, mod 3, equal their byte sum mod 3.
    unsigned sum = 0;
    for (std::size_t i = 0; i < kAesBlock; ++i) sum += e[i];
    k = crypto::Sha2Of(kNext[sum % 3], e.data(), e.size());
    if (round >= kMinHashRounds && e.back() <= round - kStopBias) break;
  }
  Block hash{};
  std::copy_n(k.begin(), hash.size(), hash.begin());
  return hash;
}

// O or U holds the hash of the password with its validation salt (and, for
// O, all of U); the hash is SHA-256 for revision 5, the revision 6 hash else.
bool StandardSecurityHandler::AesPasswordMatches(const Value& value,
                                                 const std::uint8_t* userValue) const {
  const std::uint8_t* salt = value.data() + kAesHashLength;
  if (revision_ == 5)
    return std::memcmp(Sha256OfPassword(password_, salt, userValue).data(), value.data(),
                       kAesHashLength) == 0;
  return std::memcmp(Revision6Hash(password_, salt, userValue).data(), value.data(),
                     kAesHashLength) == 0;
}

int StandardSecurityHandler::Authenticate() {
  if (IsAesRevision(revision_) ? AesPasswordMatches(u_, nullptr) : UserValueMatches()) return 1;
  return CheckOwnerPassword();
}

}  // namespace pagewire::pdf

#include "pdf/security_handler.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

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

StandardSecurityHandler::StandardSecurityHandler(Values values) : values_(std::move(values)) {
  values_.keyLength = std::min(values_.keyLength, kMaxKeyLength);
}

PasswordForm StandardSecurityHandler::passwordForm() const {
  return IsAesRevision(values_.revision) ? PasswordForm::Utf8 : PasswordForm::CodePage;
}

std::string_view StandardSecurityHandler::Counted(std::string_view password) const {
  password = password.substr(0, password.find('\0'));
  return password.substr(0, PasswordBytesCounted(passwordForm()));
}

StandardSecurityHandler::Block StandardSecurityHandler::PaddedPassword(
    std::string_view password) const {
  const std::string_view counted = Counted(password).substr(0, kValueLength);
  Block padded{};
  std::copy(counted.begin(), counted.end(), padded.begin());
  std::copy_n(kPadding.begin(), kValueLength - counted.size(), padded.begin() + counted.size());
  return padded;
}

namespace {

using Key = std::array<std::uint8_t, StandardSecurityHandler::kMaxKeyLength>;

// MD5 rehashed 50 times over the first `keyLength` bytes for revisions 3 and 4.
crypto::Md5Digest Revision3Rehash(crypto::Md5Digest digest, int revision, std::size_t keyLength) {
  if (revision >= 3)
    for (int i = 0; i < kRevision3HashRounds; ++i) digest = crypto::Md5Of(digest.data(), keyLength);
  return digest;
}

// RC4 passes 1..19 of revisions 3 and 4, each under the key XOR its pass number.
void Revision3Passes(const Key& key, std::size_t keyLength, std::uint8_t* data,
                     std::size_t length) {
  for (int i = 1; i <= kRevision3Rc4Rounds; ++i) {
    Key passKey{};
    for (std::size_t j = 0; j < keyLength; ++j) passKey[j] = std::uint8_t(key[j] ^ i);
    crypto::Rc4(passKey.data(), keyLength, data, data, length);
  }
}

}  // namespace

// The file key of the padded user password, then U made with it.
StandardSecurityHandler::Block StandardSecurityHandler::UserValueOfPadded(
    const Block& padded) const {
  const std::size_t keyLength = values_.keyLength;
  const std::uint8_t* id = reinterpret_cast<const std::uint8_t*>(values_.documentId.data());
  crypto::Md5 md5;
  md5.Update(padded.data(), kValueLength);
  md5.Update(values_.owner.data(), kValueLength);
  const auto p = static_cast<std::uint32_t>(values_.permissions);
  const std::uint8_t pBytes[4] = {std::uint8_t(p), std::uint8_t(p >> 8), std::uint8_t(p >> 16),
                                  std::uint8_t(p >> 24)};
  md5.Update(pBytes, sizeof pBytes);
  md5.Update(id, values_.documentId.size());
  if (values_.revision >= 4 && !values_.encryptMetadata)
    md5.Update(kMetadataNotEncrypted, sizeof kMetadataNotEncrypted);
  const crypto::Md5Digest digest = Revision3Rehash(md5.Finish(), values_.revision, keyLength);
  Key key{};
  std::copy_n(digest.begin(), keyLength, key.begin());

  Block value{};
  if (values_.revision == 2) {
    crypto::Rc4(key.data(), keyLength, kPadding.data(), value.data(), kValueLength);
    return value;
  }
  crypto::Md5 idHash;
  idHash.Update(kPadding.data(), kValueLength);
  idHash.Update(id, values_.documentId.size());
  const crypto::Md5Digest hashed = idHash.Finish();
  crypto::Rc4(key.data(), keyLength, hashed.data(), value.data(), hashed.size());
  Revision3Passes(key, keyLength, value.data(), hashed.size());
  return value;
}

StandardSecurityHandler::Block StandardSecurityHandler::UserValueForTesting(
    std::string_view password) const {
  return UserValueOfPadded(PaddedPassword(password));
}

bool StandardSecurityHandler::PaddedUserMatches(const Block& padded) const {
  const Block value = UserValueOfPadded(padded);
  const std::size_t compared = values_.revision >= 3 ? kRevision3Compared : kValueLength;
  return std::memcmp(value.data(), values_.user.data(), compared) == 0;
}

bool StandardSecurityHandler::CheckUserPassword(std::string_view password) const {
  if (IsAesRevision(values_.revision))
    return AesPasswordMatches(Counted(password), values_.user, nullptr);
  return PaddedUserMatches(PaddedPassword(password));
}

// Revisions 2 to 4: the owner password's key decrypts O to the padded user
// password, which must then pass the user test.
bool StandardSecurityHandler::CheckOwnerPassword(std::string_view password) const {
  if (IsAesRevision(values_.revision))
    return AesPasswordMatches(Counted(password), values_.owner, values_.user.data());
  const std::size_t keyLength = values_.keyLength;
  const Block padded = PaddedPassword(password);
  const crypto::Md5Digest digest =
      Revision3Rehash(crypto::Md5Of(padded.data(), kValueLength), values_.revision, keyLength);
  Key ownerKey{};
  std::copy_n(digest.begin(), keyLength, ownerKey.begin());
  Block userPassword{};
  crypto::Rc4(ownerKey.data(), keyLength, values_.owner.data(), userPassword.data(), kValueLength);
  if (values_.revision >= 3)
    Revision3Passes(ownerKey, keyLength, userPassword.data(), kValueLength);
  return PaddedUserMatches(userPassword);
}

namespace {

// SHA-256 of the password, the 8-byte salt and, for the owner test, U: the
// whole hash of revision 5 and the start of that of revision 6.
std::vector<std::uint8_t> Sha256OfPassword(std::string_view password, const std::uint8_t* salt,
                                           const std::uint8_t* userValue) {
  std::vector<std::uint8_t> input(password.begin(), password.end());
  input.insert(input.end(), salt, salt + kSaltLength);
  if (userValue != nullptr)
    input.insert(input.end(), userValue, userValue + StandardSecurityHandler::kAesValueLength);
  return crypto::Sha2Of(crypto::Sha2::Sha256, input.data(), input.size());
}

// The revision 6 hash of `password` with an 8-byte salt and, for the owner
// test, the 48 bytes of U: its first 32 bytes.
std::vector<std::uint8_t> Revision6Hash(std::string_view password, const std::uint8_t* salt,
                                        const std::uint8_t* userValue) {
  static constexpr crypto::Sha2 kNext[3] = {crypto::Sha2::Sha256, crypto::Sha2::Sha384,
                                            crypto::Sha2::Sha512};
  constexpr std::size_t kUserLength = StandardSecurityHandler::kAesValueLength;
  std::vector<std::uint8_t> k = Sha256OfPassword(password, salt, userValue);
  std::vector<std::uint8_t> once;
  std::vector<std::uint8_t> e;
  for (int round = 1; round <= StandardSecurityHandler::kMaxHashRounds; ++round) {
    // E: password, K and U, 64 times over (whole AES blocks), encrypted
    // under the first half of K with the second as IV.
    once.assign(password.begin(), password.end());
    once.insert(once.end(), k.begin(), k.end());
    if (userValue != nullptr) once.insert(once.end(), userValue, userValue + kUserLength);
    e.clear();
    for (int i = 0; i < kHashInputRepeats; ++i) e.insert(e.end(), once.begin(), once.end());
    crypto::Aes128CbcEncrypt(k.data(), k.data() + kAesBlock, e.data(), e.data(), e.size());
    // The first 16 bytes of E as a number, mod 3, equal their byte sum mod 3.
    unsigned sum = 0;
    for (std::size_t i = 0; i < kAesBlock; ++i) sum += e[i];
    k = crypto::Sha2Of(kNext[sum % 3], e.data(), e.size());
    if (round >= kMinHashRounds && e.back() <= round - kStopBias) break;
  }
  k.resize(kAesHashLength);
  return k;
}

}  // namespace

// O or U holds the hash of the password with its validation salt (and, for
// O, all of U); the hash is SHA-256 for revision 5, the revision 6 hash else.
bool StandardSecurityHandler::AesPasswordMatches(std::string_view password, const Value& value,
                                                 const std::uint8_t* userValue) const {
  const std::uint8_t* salt = value.data() + kAesHashLength;
  const std::vector<std::uint8_t> hash = values_.revision == 5
                                             ? Sha256OfPassword(password, salt, userValue)
                                             : Revision6Hash(password, salt, userValue);
  return std::memcmp(hash.data(), value.data(), kAesHashLength) == 0;
}

}  // namespace pagewire::pdf

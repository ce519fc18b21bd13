#include "pdf/security_handler.h"

#include <algorithm>
#include <cstring>

#include "crypto/crypto.h"

namespace pagewire::pdf {
namespace {

// Revision 3 rehashes the key and re-encrypts with derived keys this often.
constexpr int kRevision3HashRounds = 50;
constexpr int kRevision3Rc4Rounds = 19;
// Revision 3 compares only the first half of U; the rest is arbitrary.
constexpr std::size_t kRevision3Compared = 16;


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
  std::memcpy(o_.data(), o, kValueLength);
}

void StandardSecurityHandler::SetUserValue(const std::uint8_t* u) {
  std::memcpy(u_.data(), u, kValueLength);
}

bool StandardSecurityHandler::SetDocumentId(const std::uint8_t* bytes, std::size_t length) {
  documentId_.assign(bytes, bytes + length);
  return true;
}

void StandardSecurityHandler::SetPassword(const char* password) {
  std::size_t length = 0;
  // Bounded by hand: the password need not be terminated within 32 bytes.
  while (password != nullptr && length < kValueLength && password[length] != '\0') ++length;
  if (length > 0) std::memcpy(paddedUser_.data(), password, length);
  std::memcpy(paddedUser_.data() + length, kPadding.data(), kValueLength - length);
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
  crypto::Md5Digest digest = md5.Finish();
  if (revision_ == 3)
    for (int i = 0; i < kRevision3HashRounds; ++i) digest = crypto::Md5Of(digest.data(), keyLength_);
  key_.fill(0);
  std::copy_n(digest.begin(), keyLength_, key_.begin());
}

namespace {

// RC4 passes 1..19 of revision 3, each under the key XOR its pass number.
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
  const std::size_t compared = revision_ == 3 ? kRevision3Compared : kValueLength;
  return std::memcmp(value.data(), u_.data(), compared) == 0;
}

int StandardSecurityHandler::CheckOwnerPassword() {
  crypto::Md5Digest digest = crypto::Md5Of(paddedOwner_.data(), kValueLength);
  if (revision_ == 3)
    for (int i = 0; i < kRevision3HashRounds; ++i) digest = crypto::Md5Of(digest.data(), keyLength_);
  Key ownerKey{};
  std::copy_n(digest.begin(), keyLength_, ownerKey.begin());
  Block userPassword{};
  crypto::Rc4(ownerKey.data(), keyLength_, o_.data(), userPassword.data(), kValueLength);
  if (revision_ == 3) Revision3Passes(ownerKey, keyLength_, userPassword.data(), kValueLength);
  paddedUser_ = userPassword;
  return UserValueMatches() ? 1 : 0;
}

int StandardSecurityHandler::Authenticate() {
  if (UserValueMatches()) return 1;
  return CheckOwnerPassword();
}

}  // namespace pagewire::pdf

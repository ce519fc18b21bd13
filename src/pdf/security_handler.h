// The password test of the PDF Standard security handler: revisions 2 to 4
// (MD5 and RC4, keys of 1 to 16 bytes) and revisions 5 and 6 (AES-256 files,
// SHA-2 password hashes). Nothing is decrypted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pagewire::pdf {

class StandardSecurityHandler {
 public:
  static constexpr std::size_t kMaxKeyLength = 16;  // an MD5 digest
  static constexpr std::size_t kValueLength = 32;   // O, U and padded passwords (R2-4)
  // Revisions 5 and 6: O and U are a 32-byte hash, an 8-byte validation salt
  // and an 8-byte key salt.
  static constexpr std::size_t kAesValueLength = 48;
  // Revisions 5 and 6 hash at most this many bytes of the UTF-8 password.
  static constexpr std::size_t kMaxAesPasswordLength = 127;
  // The revision 6 hash stops at the latest in this round (numbered from 1):
  // there its stop test (last byte of E <= round - 32) holds for any byte.
  static constexpr int kMaxHashRounds = 32 + 255;

  using Block = std::array<std::uint8_t, kValueLength>;
  using Key = std::array<std::uint8_t, kMaxKeyLength>;
  using Value = std::array<std::uint8_t, kAesValueLength>;

  static const Block kPadding;

  // `keyLength` is 1..kMaxKeyLength for revisions 2 to 4; the caller has
  // checked it. Revisions 5 and 6 make no key here and ignore it.
  void SetRevisionAndKeyLength(int revision, std::size_t keyLength);
  int revision() const { return revision_; }
  // 32 bytes for revisions 2 to 4, 48 for revisions 5 and 6.
  void SetOwnerValue(const std::uint8_t* o);
  void SetUserValue(const std::uint8_t* u);
  void SetPermissions(std::int32_t permissions) { permissions_ = permissions; }
  // Revision 4: "EncryptMetadata" false adds four 0xFF bytes to the key hash.
  void SetEncryptMetadata(bool encryptMetadata) { encryptMetadata_ = encryptMetadata; }
  bool SetDocumentId(const std::uint8_t* bytes, std::size_t length);

  // Takes the password bytes as given (none: the empty password): the first
  // 32, padded, for revisions 2 to 4; the first 127 for revisions 5 and 6.
  void SetPassword(const char* password);

  // 1 when the password passes the user test or the owner test, else 0.
  int Authenticate();

  // The steps, open for tests.
  void ComputeKey();
  Block ComputeUserValue();
  int CheckOwnerPassword();
  const Key& key() const { return key_; }
  std::size_t keyLength() const { return keyLength_; }
  // The revision 6 hash of `password` with an 8-byte salt and, for the owner
  // test, the 48 bytes of U. Gives 32 bytes.
  static Block Revision6Hash(const std::string& password, const std::uint8_t* salt,
                             const std::uint8_t* userValue);

 private:
  bool UserValueMatches();
  bool AesPasswordMatches(const Value& value, const std::uint8_t* userValue) const;

  std::size_t keyLength_ = 0;
  Key key_{};
  int revision_ = 0;
  std::int32_t permissions_ = 0;
  bool encryptMetadata_ = true;
  std::vector<std::uint8_t> documentId_;
  Block paddedUser_{};
  Block paddedOwner_{};
  std::string password_;  // revisions 5 and 6
  Value u_{};
  Value o_{};
};

}  // namespace pagewire::pdf

// The password test of the PDF Standard security handler, revisions 2 and 3,
// RC4 keys of 1 to 16 bytes. Nothing is decrypted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pagewire::pdf {

class StandardSecurityHandler {
 public:
  static constexpr std::size_t kMaxKeyLength = 16;  // an MD5 digest
  static constexpr std::size_t kValueLength = 32;   // O, U and padded passwords
  using Block = std::array<std::uint8_t, kValueLength>;
  using Key = std::array<std::uint8_t, kMaxKeyLength>;

  static const Block kPadding;

  // `keyLength` is 1..kMaxKeyLength; the caller has checked it.
  void SetRevisionAndKeyLength(int revision, std::size_t keyLength);
  void SetOwnerValue(const std::uint8_t* o);
  void SetUserValue(const std::uint8_t* u);
  void SetPermissions(std::int32_t permissions) { permissions_ = permissions; }
  bool SetDocumentId(const std::uint8_t* bytes, std::size_t length);

  // Pads the first 32 bytes of `password` (none: the empty password) into
  // both padded password fields.
  void SetPassword(const char* password);

  // 1 when the password passes the user test or the owner test, else 0.
  int Authenticate();

  // The steps, open for tests.
  void ComputeKey();
  Block ComputeUserValue();
  int CheckOwnerPassword();
  const Key& key() const { return key_; }
  std::size_t keyLength() const { return keyLength_; }

 private:
  bool UserValueMatches();

  std::size_t keyLength_ = 0;
  Key key_{};
  int revision_ = 0;
  std::int32_t permissions_ = 0;
  std::vector<std::uint8_t> documentId_;
  Block paddedUser_{};
  Block paddedOwner_{};
  Block u_{};
  Block o_{};
};

}  // namespace pagewire::pdf

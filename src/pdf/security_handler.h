// The password test of the PDF Standard security handler: revisions 2 to 4
// (MD5 and RC4, keys of 1 to 16 bytes) and revisions 5 and 6 (AES-256 files,
// SHA-2 password hashes). Nothing is decrypted.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "pdf/password_form.h"

namespace pagewire::pdf {

class IndirectObjects;
class PdfDict;
class PdfObject;

class StandardSecurityHandler {
 public:
  static constexpr std::size_t kMaxKeyLength = 16;  // an MD5 digest
  static constexpr std::size_t kValueLength = 32;   // O, U and padded passwords (R2-4)
  // Revisions 5 and 6: O and U are a 32-byte hash, an 8-byte validation salt
  // and an 8-byte key salt.
  static constexpr std::size_t kAesValueLength = 48;
  // The revision 6 hash stops at the latest in this round (numbered from 1):
  // there its stop test (last byte of E <= round - 32) holds for any byte.
  static constexpr int kMaxHashRounds = 32 + 255;

  using Block = std::array<std::uint8_t, kValueLength>;
  using Value = std::array<std::uint8_t, kAesValueLength>;

  static const Block kPadding;

  // What the password tests read from the encryption dictionary and the
  // first ID string.
  struct Values {
    int revision = 0;
    // 1..kMaxKeyLength for revisions 2 to 4; revisions 5 and 6 make no key.
    std::size_t keyLength = 0;
    // The first 32 bytes for revisions 2 to 4, 48 for revisions 5 and 6.
    Value owner{};
    Value user{};
    std::int32_t permissions = 0;
    // Revision 4: false adds four 0xFF bytes to the key hash.
    bool encryptMetadata = true;
    std::string documentId;
  };

  explicit StandardSecurityHandler(Values values);

  // The encryption dictionary's values, checked in a fixed order, and the
  // first ID string when it is a string. Raises PdfError.
  static StandardSecurityHandler FromEncryptDict(IndirectObjects& objects, const PdfDict& encrypt,
                                                 const PdfObject* idElement);

  int revision() const { return values_.revision; }
  std::int32_t permissions() const { return values_.permissions; }
  PasswordForm passwordForm() const;

  // The password's bytes up to a zero byte, of which only
  // PasswordBytesCounted count (padded for revisions 2 to 4).
  bool CheckUserPassword(std::string_view password) const;
  bool CheckOwnerPassword(std::string_view password) const;
  // Either test passes.
  bool CheckPassword(std::string_view password) const {
    return CheckUserPassword(password) || CheckOwnerPassword(password);
  }

  // U as revisions 2 to 4 compute it for this user password.
  Block UserValueForTesting(std::string_view password) const;

 private:
  Block PaddedPassword(std::string_view password) const;
  Block UserValueOfPadded(const Block& padded) const;
  bool PaddedUserMatches(const Block& padded) const;
  bool AesPasswordMatches(std::string_view password, const Value& value,
                          const std::uint8_t* userValue) const;
  std::string_view Counted(std::string_view password) const;

  Values values_;
};

}  // namespace pagewire::pdf

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crypto/crypto.h"

#include "pdf/security_handler.h"
#include "reference_encryption.h"
#include "test_support/hex.h"

namespace pagewire::pdf {
namespace {

using test::FromHex;

struct KnownFile {
  const char* name;
  int revision;
  std::size_t keyBytes;
  const char* o;
  const char* u;
  const char* id;
};

// Made with qpdf 11: `qpdf --allow-weak-crypto --object-streams=disable
// --encrypt user owner 40 -- in.pdf out.pdf` (and `128 --use-aes=n`); P -4.
const KnownFile kQpdfFiles[] = {
    {"R2 40-bit", 2, 5, "94e8094419662a774442fb072e3d9f19e9d130ec09a4d0061e78fe920f7ab62f",
     "bf36cca873a50e8f3c2d0761a156e27e83238ee606b8a26609f39a7956191d54",
     "98eea21c23ade4852387571f361355cd"},
    {"R3 128-bit", 3, 16, "0ba3835f88f90388e74e54584125ce142be0de24c6b0d37746e075b891756671",
     "aaaab5198a25a2d8d08234a226f9ca470122456a91bae5134273a6db134c87c4",
     "3b30f2b4c833576403ef03633e1fcc85"},
};

StandardSecurityHandler HandlerFor(const KnownFile& file) {
  StandardSecurityHandler handler;
  handler.SetRevisionAndKeyLength(file.revision, file.keyBytes);
  handler.SetOwnerValue(FromHex(file.o).data());
  handler.SetUserValue(FromHex(file.u).data());
  handler.SetPermissions(-4);
  const auto id = FromHex(file.id);
  handler.SetDocumentId(id.data(), id.size());
  return handler;
}

TEST(SecurityHandlerKnownAnswers, QpdfFilesAcceptUserAndOwnerPasswordsOnly) {
  for (const KnownFile& file : kQpdfFiles) {
    StandardSecurityHandler handler = HandlerFor(file);
    const std::pair<const char*, int> cases[] = {
        {"user", 1}, {"owner", 1}, {"", 0}, {nullptr, 0}, {"User", 0}, {"use", 0}};
    for (const auto& [password, expected] : cases) {
      handler.SetPassword(password);
      EXPECT_EQ(handler.Authenticate(), expected)
          << file.name << " " << (password ? password : "(null)");
    }
  }
}

TEST(SecurityHandlerKnownAnswers, UserValueMatchesQpdf) {
  for (const KnownFile& file : kQpdfFiles) {
    StandardSecurityHandler handler = HandlerFor(file);
    handler.SetPassword("user");
    const auto value = handler.ComputeUserValue();
    const auto u = FromHex(file.u);
    const std::size_t compared = file.revision == 2 ? 32 : 16;
    EXPECT_TRUE(std::equal(u.begin(), u.begin() + long(compared), value.begin())) << file.name;
    EXPECT_EQ(handler.keyLength(), file.keyBytes);
  }
}

TEST(SecurityHandlerPadding, OnlyTheFirst32BytesOfAPasswordCount) {
  const std::string user = "0123456789abcdef0123456789ABCDEF";  // 32 bytes
  const std::string id = "document-id";
  const auto values = test::MakeEncryption(3, 16, user, "owner", -4, id);
  StandardSecurityHandler handler;
  handler.SetRevisionAndKeyLength(3, 16);
  handler.SetOwnerValue(reinterpret_cast<const std::uint8_t*>(values.o.data()));
  handler.SetUserValue(reinterpret_cast<const std::uint8_t*>(values.u.data()));
  handler.SetPermissions(-4);
  handler.SetDocumentId(reinterpret_cast<const std::uint8_t*>(id.data()), id.size());
  for (const std::string& password : {user, user + "12345678", user + "other tail"}) {
    handler.SetPassword(password.c_str());
    EXPECT_EQ(handler.Authenticate(), 1) << password;
  }
  handler.SetPassword(user.substr(0, 31).c_str());
  EXPECT_EQ(handler.Authenticate(), 0);
}

struct ReferenceCase {
  int revision;
  std::size_t keyBytes;
  std::string user;
  std::string owner;
};

class SecurityHandlerAgainstReference : public ::testing::TestWithParam<ReferenceCase> {};

// Key lengths from 1 to 16 bytes at both revisions, empty passwords included.
TEST_P(SecurityHandlerAgainstReference, DecidesLikeTheReference) {
  const ReferenceCase& c = GetParam();
  const std::string id = std::string("\x01\x02\x00\xFF", 4) + "id";
  const std::int32_t p = -3904;
  const auto values = test::MakeEncryption(c.revision, c.keyBytes, c.user, c.owner, p, id);
  StandardSecurityHandler handler;
  handler.SetRevisionAndKeyLength(c.revision, c.keyBytes);
  handler.SetOwnerValue(reinterpret_cast<const std::uint8_t*>(values.o.data()));
  handler.SetUserValue(reinterpret_cast<const std::uint8_t*>(values.u.data()));
  handler.SetPermissions(p);
  handler.SetDocumentId(reinterpret_cast<const std::uint8_t*>(id.data()), id.size());
  const std::string owner = c.owner.empty() ? c.user : c.owner;
  for (const std::string& password : {c.user, owner, std::string("wrong"), std::string()}) {
    const bool right = password == c.user || password == owner;
    handler.SetPassword(password.c_str());
    EXPECT_EQ(handler.Authenticate(), right ? 1 : 0)
        << "R" << c.revision << " n=" << c.keyBytes << " password '" << password << "'";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Handler, SecurityHandlerAgainstReference,
    ::testing::Values(ReferenceCase{2, 5, "user", "owner"}, ReferenceCase{2, 1, "u", "o"},
                      ReferenceCase{2, 16, "user", "owner"}, ReferenceCase{2, 7, "", "owner"},
                      ReferenceCase{3, 16, "user", "owner"}, ReferenceCase{3, 5, "user", "owner"},
                      ReferenceCase{3, 1, "u", "o"}, ReferenceCase{3, 2, "u", "o"},
                      ReferenceCase{3, 16, "", "owner"}, ReferenceCase{3, 16, "user", ""},
                      ReferenceCase{3, 12, "a much longer user password than 32 bytes", "o"}));

struct KnownAesFile {
  const char* name;
  int revision;
  bool encryptMetadata;
  const char* o;
  const char* u;
  const char* id;  // revision 4 only
};

// Made with qpdf 11 from the fixtures' source: `--encrypt user4 owner4 128
// --use-aes=n --force-V4` (and `--cleartext-metadata`), `--encrypt user5
// owner5 256 --force-R5`, `--encrypt user6 owner6 256`; P -4.
const KnownAesFile kQpdfAesFiles[] = {
    {"R4 RC4", 4, true, "4f1c98a5b8ad69da8e1c145805509469435e9ecd49648a516148f38ac6e699e0",
     "be2e6146f83a489de21f205f37a2cdf80122456a91bae5134273a6db134c87c4",
     "2c99046c91e3fba31ad021491663591a"},
    {"R4 EncryptMetadata false", 4, false,
     "4f1c98a5b8ad69da8e1c145805509469435e9ecd49648a516148f38ac6e699e0",
     "b7ae56dceb72776e075a0acdee83e4120122456a91bae5134273a6db134c87c4",
     "2c99046c91e3fba31ad021491663591a"},
    {"R5", 5, true,
     "0418774d68792e0f93147b49b85cd3a06268531ad188a1dc1f211294556a966230b4596702005017d2fcdd94e409"
     "4c1e",
     "7fff22e1bf3be5d8e0f741c7749aa71f98dffb4ebb9da694dda77b8169bd599e42205d6743adf6dfc86ec3edba6a"
     "e03d",
     ""},
    {"R6", 6, true,
     "bbaa041cba678448a6afc84d39c2e8c4a9dc7591b43d4144a7e95eb816a50fef356141e7982e5c4435bfc6e8548a"
     "9a25",
     "9633ac0d1696699699f6872c38cb9b3bd0795c614fb9723b3b3b0260b583e585a45f571e5307eb98c6f11d200ef3"
     "3250",
     ""},
};

StandardSecurityHandler HandlerFor(const KnownAesFile& file, bool encryptMetadata) {
  StandardSecurityHandler handler;
  handler.SetRevisionAndKeyLength(file.revision, 16);
  handler.SetOwnerValue(FromHex(file.o).data());
  handler.SetUserValue(FromHex(file.u).data());
  handler.SetPermissions(-4);
  handler.SetEncryptMetadata(encryptMetadata);
  const auto id = FromHex(file.id);
  handler.SetDocumentId(id.data(), id.size());
  return handler;
}

TEST(SecurityHandlerKnownAnswers, QpdfAesFilesAcceptUserAndOwnerPasswordsOnly) {
  for (const KnownAesFile& file : kQpdfAesFiles) {
    StandardSecurityHandler handler = HandlerFor(file, file.encryptMetadata);
    const std::string digit(1, char('0' + file.revision));
    const std::pair<std::string, int> cases[] = {
        {"user" + digit, 1}, {"owner" + digit, 1}, {"", 0}, {"user", 0}, {"User" + digit, 0},
        {"user" + digit + "x", 0}};
    for (const auto& [password, expected] : cases) {
      handler.SetPassword(password.c_str());
      EXPECT_EQ(handler.Authenticate(), expected) << file.name << " '" << password << "'";
    }
  }
}

// The four 0xFF bytes of EncryptMetadata false change the key: the flag read
// the other way round refuses the right passwords.
TEST(SecurityHandlerKnownAnswers, Revision4EncryptMetadataEntersTheKey) {
  for (const KnownAesFile& file : kQpdfAesFiles) {
    if (file.revision != 4) continue;
    StandardSecurityHandler handler = HandlerFor(file, !file.encryptMetadata);
    handler.SetPassword("user4");
    EXPECT_EQ(handler.Authenticate(), 0) << file.name;
  }
}

// Revision 5's user value is SHA-256 over the password and a salt, simple
// enough to build here: only the first 127 password bytes count.
TEST(SecurityHandlerAes, OnlyTheFirst127BytesOfAPasswordCount) {
  const std::string password(127, 'p');
  const std::string salts = "saltsaltKEYSALT!";
  const std::string hashed = password + salts.substr(0, 8);
  const auto hash = crypto::Sha2Of(crypto::Sha2::Sha256, hashed.data(), hashed.size());
  std::vector<std::uint8_t> u(hash.begin(), hash.end());
  u.insert(u.end(), salts.begin(), salts.end());
  const std::vector<std::uint8_t> o(48, 0);
  StandardSecurityHandler handler;
  handler.SetRevisionAndKeyLength(5, 16);
  handler.SetOwnerValue(o.data());
  handler.SetUserValue(u.data());
  const std::pair<std::string, int> cases[] = {
      {password, 1}, {password + "tail", 1}, {password.substr(1), 0}, {"p", 0}};
  for (const auto& [candidate, expected] : cases) {
    handler.SetPassword(candidate.c_str());
    EXPECT_EQ(handler.Authenticate(), expected) << candidate.size() << " bytes";
  }
}

}  // namespace
}  // namespace pagewire::pdf

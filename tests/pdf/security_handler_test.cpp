#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

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
// --encrypt user owner 40 -- in.pdf out.pdf` (and `128 --use-aes=n`,
// `128 --use-aes=y`, `256 --force-R5`, `256`); P -4. Revisions 5 and 6 use
// no ID and no key length.
const KnownFile kQpdfFiles[] = {
    {"R2 40-bit", 2, 5, "94e8094419662a774442fb072e3d9f19e9d130ec09a4d0061e78fe920f7ab62f",
     "bf36cca873a50e8f3c2d0761a156e27e83238ee606b8a26609f39a7956191d54",
     "98eea21c23ade4852387571f361355cd"},
    {"R3 128-bit", 3, 16, "0ba3835f88f90388e74e54584125ce142be0de24c6b0d37746e075b891756671",
     "aaaab5198a25a2d8d08234a226f9ca470122456a91bae5134273a6db134c87c4",
     "3b30f2b4c833576403ef03633e1fcc85"},
    {"R4 AES-128", 4, 16, "0ba3835f88f90388e74e54584125ce142be0de24c6b0d37746e075b891756671",
     "105849500cbcd22e88c757488d8aea080122456a91bae5134273a6db134c87c4",
     "2c99046c91e3fba31ad021491663591a"},
    {"R5 AES-256", 5, 0,
     "01148d67c308c1e998d1737ec029335d5c83ea0968bb201a91af90b1d609f009"
     "f47fb7764ca10d862b3b0b7ca93322ae",
     "af5170cd20def6240ea884677290e1d8a216a0c0b73acd844f6d661a03cfc480"
     "2aa58d56e4892c474cc7ae2f4c82de53",
     ""},
    {"R6 AES-256", 6, 0,
     "035faaa967e6b2b80168f085b3a4e51ee2256de987aae305ffd84075c47aabc7"
     "5b62055f999511b3a167d88889da1fe0",
     "e49e420355743ec6da221a6292ca0fcf232be6f794508597ebddcab80a082654"
     "a48d33a3c62b25b90ca4b66955b48d25",
     ""},
};

template <typename Bytes>
StandardSecurityHandler::Value ValueOf(const Bytes& bytes) {
  StandardSecurityHandler::Value value{};
  std::copy(bytes.begin(), bytes.end(), value.begin());
  return value;
}

StandardSecurityHandler HandlerFor(int revision, std::size_t keyBytes, std::string_view o,
                                   std::string_view u, std::int32_t p, std::string_view id) {
  StandardSecurityHandler::Values values;
  values.revision = revision;
  values.keyLength = keyBytes;
  values.owner = ValueOf(o);
  values.user = ValueOf(u);
  values.permissions = p;
  values.documentId = std::string(id);
  return StandardSecurityHandler(std::move(values));
}

StandardSecurityHandler HandlerFor(const KnownFile& file) {
  const auto o = FromHex(file.o);
  const auto u = FromHex(file.u);
  const auto id = FromHex(file.id);
  const auto text = [](const auto& bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  };
  return HandlerFor(file.revision, file.keyBytes, text(o), text(u), -4, text(id));
}

// Each test answers alone, however often and in whatever order it is asked.
TEST(SecurityHandlerKnownAnswers, QpdfFilesAcceptUserAndOwnerPasswordsOnly) {
  for (const KnownFile& file : kQpdfFiles) {
    const StandardSecurityHandler handler = HandlerFor(file);
    struct Case {
      std::string password;
      bool user;
      bool owner;
    };
    const Case cases[] = {{"user", true, false},          {"owner", false, true},
                          {"", false, false},             {"User", false, false},
                          {"use", false, false},          {std::string("user\0x", 6), true, false},
                          {"owner", false, true},         {"user", true, false}};
    for (const Case& c : cases) {
      EXPECT_EQ(handler.CheckUserPassword(c.password), c.user) << file.name << " " << c.password;
      EXPECT_EQ(handler.CheckOwnerPassword(c.password), c.owner) << file.name << " " << c.password;
      EXPECT_EQ(handler.CheckPassword(c.password), c.user || c.owner) << file.name;
    }
    EXPECT_EQ(handler.passwordForm(),
              file.revision >= 5 ? PasswordForm::Utf8 : PasswordForm::CodePage);
  }
}

TEST(SecurityHandlerKnownAnswers, UserValueMatchesQpdf) {
  for (const KnownFile& file : kQpdfFiles) {
    if (file.revision >= 5) continue;  // a hash, not an RC4 user value
    const auto value = HandlerFor(file).UserValueForTesting("user");
    const auto u = FromHex(file.u);
    const std::size_t compared = file.revision == 2 ? 32 : 16;
    EXPECT_TRUE(std::equal(u.begin(), u.begin() + long(compared), value.begin())) << file.name;
  }
}

TEST(SecurityHandlerPadding, OnlyTheFirst32BytesOfAPasswordCount) {
  const std::string user = "0123456789abcdef0123456789ABCDEF";  // 32 bytes
  const std::string id = "document-id";
  const auto values = test::MakeEncryption(3, 16, user, "owner", -4, id);
  const StandardSecurityHandler handler = HandlerFor(3, 16, values.o, values.u, -4, id);
  for (const std::string& password : {user, user + "12345678", user + "other tail"})
    EXPECT_TRUE(handler.CheckPassword(password)) << password;
  EXPECT_FALSE(handler.CheckPassword(user.substr(0, 31)));
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
  const StandardSecurityHandler handler =
      HandlerFor(c.revision, c.keyBytes, values.o, values.u, p, id);
  const std::string owner = c.owner.empty() ? c.user : c.owner;
  for (const std::string& password : {c.user, owner, std::string("wrong"), std::string()}) {
    const bool right = password == c.user || password == owner;
    EXPECT_EQ(handler.CheckPassword(password), right)
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

}  // namespace
}  // namespace pagewire::pdf

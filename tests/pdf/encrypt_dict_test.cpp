#include <gtest/gtest.h>

#include <string>

#include "crypto/crypto.h"
#include "pagewire/pagewire.h"
#include "pdf_test_util.h"
#include "reference_encryption.h"

namespace pagewire::pdf {
namespace {

using test::AddMinimalDocument;
using test::HexString;
using test::PdfBuilder;
using test::TempFile;

const std::string kId = "0123456789abcdef";

struct Answers {
  int passwd;
  int print;
  int user;   // CheckPDFPasswd with "user"
  int owner;  // with "owner"
  int wrong;  // with "wrong"
  bool operator==(const Answers&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answers& a) {
  return out << "{" << a.passwd << "," << a.print << "," << a.user << "," << a.owner << ","
             << a.wrong << "}";
}

const Answers kProtected{1, 0, 1, 1, 0};
const Answers kFailed{-1, -1, -1, -1, -1};

Answers Ask(const std::string& bytes) {
  TempFile file(bytes);
  return {IsPDFPasswd(file.path()), IsPrintDisable(file.path()),
          CheckPDFPasswd(file.path(), "user"), CheckPDFPasswd(file.path(), "owner"),
          CheckPDFPasswd(file.path(), "wrong")};
}

// A document whose object 4 is the encryption dictionary `dict`, with any
// further objects, and a trailer with `idEntry`.
std::string EncryptedFile(const std::string& dict, const std::string& idEntry,
                          const std::string& extraObjects = "") {
  PdfBuilder b;
  AddMinimalDocument(b).Object(4, dict);
  if (!extraObjects.empty()) b.Raw(extraObjects);
  b.Section("/Size 5 /Root 1 0 R /Encrypt 4 0 R " + idEntry);
  return b.str();
}

std::string IdEntry(const std::string& id) { return "/ID [" + HexString(id) + HexString(id) + "]"; }

// The dictionary entries of a correct R3 128-bit file with P -4.
struct Entries {
  std::string filter = "/Standard";
  std::string v = "2";
  std::string length = "128";
  std::string r = "3";
  std::string o, u;
  std::string p = "-4";
  std::string Dict() const {
    std::string d = "<<";
    if (!filter.empty()) d += " /Filter " + filter;
    if (!v.empty()) d += " /V " + v;
    if (!length.empty()) d += " /Length " + length;
    if (!r.empty()) d += " /R " + r;
    if (!o.empty()) d += " /O " + o;
    if (!u.empty()) d += " /U " + u;
    if (!p.empty()) d += " /P " + p;
    return d + " >>";
  }
};

Entries CorrectEntries(int revision = 3, std::size_t keyBytes = 16, std::int32_t p = -4,
                       const std::string& id = kId) {
  const auto values = test::MakeEncryption(revision, keyBytes, "user", "owner", p, id);
  Entries e;
  e.r = std::to_string(revision);
  e.length = std::to_string(keyBytes * 8);
  e.o = HexString(values.o);
  e.u = HexString(values.u);
  e.p = std::to_string(p);
  return e;
}

TEST(EncryptDict, CorrectDictionaryAsksForAPassword) {
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries().Dict(), IdEntry(kId))), kProtected);
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries(2, 5).Dict(), IdEntry(kId))), kProtected);
}

struct BadValue {
  std::string what;
  void (*spoil)(Entries&);
};

TEST(EncryptDict, EveryBadValueFailsEveryQuery) {
  const BadValue cases[] = {
      {"Filter missing", [](Entries& e) { e.filter.clear(); }},
      {"Filter other case", [](Entries& e) { e.filter = "/standard"; }},
      {"Filter other handler", [](Entries& e) { e.filter = "/Adobe.PubSec"; }},
      {"Filter as string", [](Entries& e) { e.filter = "(Standard)"; }},
      {"V missing", [](Entries& e) { e.v.clear(); }},
      {"V 4", [](Entries& e) { e.v = "4"; }},
      {"V 0", [](Entries& e) { e.v = "0"; }},
      {"V real", [](Entries& e) { e.v = "2.0"; }},
      {"Length missing", [](Entries& e) { e.length.clear(); }},
      {"Length 41", [](Entries& e) { e.length = "41"; }},
      {"Length real", [](Entries& e) { e.length = "128.0"; }},
      {"Length 0", [](Entries& e) { e.length = "0"; }},
      {"Length -8", [](Entries& e) { e.length = "-8"; }},
      {"Length 136", [](Entries& e) { e.length = "136"; }},
      {"Length huge", [](Entries& e) { e.length = "8589934592"; }},
      {"R missing", [](Entries& e) { e.r.clear(); }},
      {"R 4", [](Entries& e) { e.r = "4"; }},
      {"R 1", [](Entries& e) { e.r = "1"; }},
      {"O missing", [](Entries& e) { e.o.clear(); }},
      {"O 31 bytes", [](Entries& e) { e.o = e.o.substr(0, 63) + ">"; }},
      {"O 48 bytes", [](Entries& e) { e.o = e.o.substr(0, 65) + std::string(32, 'A') + ">"; }},
      {"O a name", [](Entries& e) { e.o = "/O"; }},
      {"U missing", [](Entries& e) { e.u.clear(); }},
      {"U 31 bytes", [](Entries& e) { e.u = e.u.substr(0, 63) + ">"; }},
      {"U 48 bytes", [](Entries& e) { e.u = e.u.substr(0, 65) + std::string(32, 'A') + ">"; }},
      {"P missing", [](Entries& e) { e.p.clear(); }},
      {"P real", [](Entries& e) { e.p = "-3904.0"; }},
      {"P beyond 32 bits", [](Entries& e) { e.p = "4294967296"; }},
      {"P below 32 bits", [](Entries& e) { e.p = "-2147483649"; }},
  };
  for (const BadValue& c : cases) {
    Entries e = CorrectEntries();
    c.spoil(e);
    EXPECT_EQ(Ask(EncryptedFile(e.Dict(), IdEntry(kId))), kFailed) << c.what;
  }
}

// Revision 5 values for "user" and "owner": SHA-256 of the password and a
// validation salt (and U for O), then that salt and a key salt.
std::string Revision5Value(const std::string& password, const std::string& salts,
                           const std::string& u = "") {
  const std::string input = password + salts.substr(0, 8) + u;
  const auto hash = crypto::Sha2Of(crypto::Sha2::Sha256, input.data(), input.size());
  return std::string(hash.begin(), hash.end()) + salts;
}

struct DictCase {
  std::string what;
  std::string dict;
  Answers answers;
};

TEST(EncryptDict, Versions4And5DecideByRevisionCryptFiltersAndValues) {
  const auto v3 = test::MakeEncryption(3, 16, "user", "owner", -4, kId);
  const std::string r4 = "/Filter /Standard /V 4 /R 4 /O " + HexString(v3.o) + " /U " +
                         HexString(v3.u) + " /P -4 ";
  const std::string aesv2 =
      "/CF << /StdCF << /CFM /AESV2 /Length 16 >> >> /StmF /StdCF /StrF /StdCF";
  const std::string u5 = Revision5Value("user", "uvsaltuuuksaltuu");
  const std::string o5 = Revision5Value("owner", "ovsaltoooksaltoo", u5);
  const std::string wrapped = " /OE " + HexString(std::string(32, 'e')) + " /UE " +
                              HexString(std::string(32, 'e')) + " /Perms " +
                              HexString(std::string(16, 'p'));
  const std::string r5 = "/Filter /Standard /V 5 /R 5 /O " + HexString(o5) + " /U " +
                         HexString(u5) + wrapped + " ";
  const std::string aesv3 =
      "/CF << /StdCF << /CFM /AESV3 /Length 32 >> >> /StmF /StdCF /StrF /StdCF";
  const std::string pad(79, '\0');
  // The first of two equal keys counts: a spoilt entry goes in front.
  const DictCase cases[] = {
      {"R4 AESV2", r4 + aesv2, kProtected},
      {"R4 V2, Length in bits", r4 + "/CF << /F << /CFM /V2 /Length 128 >> >> /StmF /F /StrF /F",
       kProtected},
      {"R4 CFM None and absent", r4 + "/CF << /A << /CFM /None >> /B << >> >> /StmF /A /StrF /B",
       kProtected},
      {"R4 Identity, no CF", r4 + "/StmF /Identity", kProtected},
      {"R4 AESV3", r4 + "/CF << /F << /CFM /AESV3 >> >> /StmF /F", kFailed},
      {"R4 unknown CFM", r4 + "/CF << /F << /CFM /Rot13 >> >> /StmF /F", kFailed},
      {"R4 filter not in CF", r4 + "/CF << /F << /CFM /V2 >> >> /StmF /G", kFailed},
      {"R4 40-bit filter", r4 + "/CF << /F << /CFM /V2 /Length 40 >> >> /StmF /F", kProtected},
      {"R4 32-bit filter", r4 + "/CF << /F << /CFM /V2 /Length 32 >> >> /StmF /F", kFailed},
      {"R4 136-bit filter", r4 + "/CF << /F << /CFM /V2 /Length 136 >> >> /StmF /F", kFailed},
      {"R4 44-bit filter", r4 + "/CF << /F << /CFM /V2 /Length 44 >> >> /StmF /F", kFailed},
      {"R4 EncryptMetadata 0", r4 + aesv2 + " /EncryptMetadata 0", kFailed},
      {"V4 R3", "/R 3 " + r4, kFailed},
      {"R5", r5 + aesv3, kProtected},
      {"R5 P bit 3 clear", r5 + "/P -3904", {1, 1, 1, 1, 0}},
      {"R5 O and U padded to 127 bytes",
       "/O " + HexString(o5 + pad) + " /U " + HexString(u5 + pad) + " " + r5, kProtected},
      {"R5 AESV2", r5 + "/CF << /F << /CFM /AESV2 >> >> /StmF /F", kFailed},
      {"R5 O 47 bytes", "/O " + HexString(o5.substr(0, 47)) + " " + r5, kFailed},
      {"R5 UE 31 bytes", "/UE " + HexString(std::string(31, 'e')) + " " + r5, kFailed},
      {"V5 R4", "/R 4 " + r5, kFailed},
  };
  for (const DictCase& c : cases) {
    // P is always given; the R5 base has none of its own.
    const std::string p = c.dict.find("/P ") == std::string::npos ? " /P -4" : "";
    EXPECT_EQ(Ask(EncryptedFile("<< " + c.dict + p + " >>", IdEntry(kId))), c.answers)
        << c.what;
  }
}

// A real file's revision 4 dictionary: Length 40 beside a filter of
// Length 5, meaning 5 bytes; the key is 128 bits all the same.
TEST(EncryptDict, CryptFilterLengthInBytesIsRead) {
  const auto values = test::MakeEncryption(3, 16, "user", "owner", -4, kId);
  const std::string r4 = "/Filter /Standard /V 4 /R 4 /Length 40 /O " + HexString(values.o) +
                         " /U " + HexString(values.u) + " /P -4 /StmF /StdCF /StrF /StdCF";
  for (const char* length : {"5", "16", "2", "-2305843009213693952"}) {
    const std::string cf = std::string(" /CF << /StdCF << /CFM /V2 /Length ") + length + " >> >>";
    EXPECT_EQ(Ask(EncryptedFile("<< " + r4 + cf + " >>", IdEntry(kId))),
              length[0] == '2' || length[0] == '-' ? kFailed : kProtected)
        << length;
  }
}

TEST(EncryptDict, Version1UsesA5ByteKeyAndIgnoresLength) {
  Entries e = CorrectEntries(3, 5);
  e.v = "1";
  e.length = "128";
  EXPECT_EQ(Ask(EncryptedFile(e.Dict(), IdEntry(kId))), kProtected);
  e.length = "(not looked at)";
  EXPECT_EQ(Ask(EncryptedFile(e.Dict(), IdEntry(kId))), kProtected);
}

TEST(EncryptDict, Version2WithRevision2IsAccepted) {
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries(2, 16).Dict(), IdEntry(kId))), kProtected);
}

// Revision 3 with a 1-byte key is left out: its 19 passes under key XOR i
// make whole groups of keys equivalent, so a wrong password can pass there.
TEST(EncryptDict, KeysOfOneToSixteenBytes) {
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries(2, 1).Dict(), IdEntry(kId))), kProtected);
  for (std::size_t n : {2u, 5u, 8u, 15u, 16u})
    for (int revision : {2, 3})
      EXPECT_EQ(Ask(EncryptedFile(CorrectEntries(revision, n).Dict(), IdEntry(kId))), kProtected)
          << "R" << revision << " n=" << n;
}

TEST(EncryptDict, PrintingDisallowedWhenBit3OfPIsClear) {
  const Answers noPrint{1, 1, 1, 1, 0};
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries(3, 16, -3904).Dict(), IdEntry(kId))), noPrint);
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries(2, 5, -64).Dict(), IdEntry(kId))), noPrint);
}

TEST(EncryptDict, UnsignedFormOfPIsTheSameBits) {
  Entries e = CorrectEntries(3, 16, -3904);
  e.p = "4294963392";  // -3904 as unsigned 32 bits
  EXPECT_EQ(Ask(EncryptedFile(e.Dict(), IdEntry(kId))), (Answers{1, 1, 1, 1, 0}));
}

TEST(EncryptDict, IndirectValuesAreFollowed) {
  const Entries e = CorrectEntries();
  Entries indirect;
  indirect.filter = "5 0 R";
  indirect.v = "6 0 R";
  indirect.length = "7 0 R";
  indirect.r = "8 0 R";
  indirect.o = "9 0 R";
  indirect.u = "10 0 R";
  indirect.p = "11 0 R";
  PdfBuilder b;
  AddMinimalDocument(b).Object(4, indirect.Dict()).Object(5, e.filter).Object(6, e.v)
      .Object(7, e.length).Object(8, e.r).Object(9, e.o).Object(10, e.u).Object(11, e.p)
      .Object(12, HexString(kId))
      .Section("/Size 13 /Root 1 0 R /Encrypt 4 0 R /ID [12 0 R 12 0 R]");
  EXPECT_EQ(Ask(b.str()), kProtected);
}

TEST(EncryptDict, EncryptWrittenInlineIsUsedDirectly) {
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R /Encrypt " + CorrectEntries().Dict() + " " +
                                IdEntry(kId));
  EXPECT_EQ(Ask(b.str()), kProtected);
}

TEST(EncryptDict, EncryptThatIsNoDictionaryFails) {
  for (const std::string& body : {std::string("42"), CorrectEntries().Dict() + "\nstream\n",
                                  std::string("[1 2]")})
    EXPECT_EQ(Ask(EncryptedFile(body, IdEntry(kId))), kFailed) << body;
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R /Encrypt 99 0 R " + IdEntry(kId));
  EXPECT_EQ(Ask(b.str()), kFailed) << "uncovered object";
  PdfBuilder s;
  AddMinimalDocument(s).Section("/Size 4 /Root 1 0 R /Encrypt (x) " + IdEntry(kId));
  EXPECT_EQ(Ask(s.str()), kFailed) << "string";
}

TEST(EncryptDict, MissingOrUnusableIdComputesWithNoIdBytes) {
  const std::string dict = CorrectEntries(3, 16, -4, "").Dict();
  for (const std::string& id : {std::string(), std::string("/ID []"), std::string("/ID [5 (x)]"),
                                std::string("/ID [<> <>]")})
    EXPECT_EQ(Ask(EncryptedFile(dict, id)), kProtected) << id;
}

TEST(EncryptDict, IdThatIsNoArrayFails) {
  EXPECT_EQ(Ask(EncryptedFile(CorrectEntries().Dict(), "/ID (" + kId + ")")), kFailed);
}

TEST(EncryptDict, DamagedEncryptedFileFailsIsPrintDisableToo) {
  std::string bytes = EncryptedFile(CorrectEntries(3, 16, -3904).Dict(), IdEntry(kId));
  bytes.replace(bytes.rfind(" n \n"), 4, " q \n");
  EXPECT_EQ(Ask(bytes), kFailed);
}

TEST(Queries, EmptyUserPasswordNeedsNone) {
  const auto values = test::MakeEncryption(3, 16, "", "owner", -4, kId);
  Entries e = CorrectEntries();
  e.o = HexString(values.o);
  e.u = HexString(values.u);
  TempFile file(EncryptedFile(e.Dict(), IdEntry(kId)));
  EXPECT_EQ(IsPDFPasswd(file.path()), 0);
  EXPECT_EQ(CheckPDFPasswd(file.path(), ""), 1);
  EXPECT_EQ(CheckPDFPasswd(file.path(), nullptr), 1);
  EXPECT_EQ(CheckPDFPasswd(file.path(), "wrong"), 0);
  EXPECT_EQ(CheckPDFPasswd(file.path(), "owner"), 1);
}

TEST(Queries, EmptyOwnerPasswordPassesTheOwnerTest) {
  // O made from the empty owner password, U from "user".
  std::string hash = test::Md5(test::Pad(""));
  for (int i = 0; i < 50; ++i) hash = test::Md5(hash.substr(0, 16));
  std::string o = test::Rc4(hash.substr(0, 16), test::Pad("user"));
  for (int i = 1; i <= 19; ++i) o = test::Rc4(test::XorEach(hash.substr(0, 16), i), o);
  const auto values = test::MakeEncryption(3, 16, "user", "user", -4, kId);
  // U depends on O: recompute it for this O.
  Entries e = CorrectEntries();
  e.o = HexString(o);
  {
    const std::string pBytes = "\xFC\xFF\xFF\xFF";
    std::string key = test::Md5(test::Pad("user") + o + pBytes + kId);
    for (int i = 0; i < 50; ++i) key = test::Md5(key.substr(0, 16));
    key = key.substr(0, 16);
    std::string u = test::Rc4(key, test::Md5(test::Pad("") + kId));
    for (int i = 1; i <= 19; ++i) u = test::Rc4(test::XorEach(key, i), u);
    e.u = HexString(u + std::string(16, '\0'));
  }
  (void)values;
  TempFile file(EncryptedFile(e.Dict(), IdEntry(kId)));
  EXPECT_EQ(IsPDFPasswd(file.path()), 0);
  EXPECT_EQ(CheckPDFPasswd(file.path(), "user"), 1);
  EXPECT_EQ(CheckPDFPasswd(file.path(), "other"), 0);
}

TEST(Queries, PasswordBeyond32BytesCountsOnlyItsHead) {
  const std::string user = "0123456789abcdef0123456789ABCDEF";
  const auto values = test::MakeEncryption(2, 5, user, "owner", -4, kId);
  Entries e = CorrectEntries(2, 5);
  e.o = HexString(values.o);
  e.u = HexString(values.u);
  TempFile file(EncryptedFile(e.Dict(), IdEntry(kId)));
  EXPECT_EQ(CheckPDFPasswd(file.path(), (user + "tail of 8").c_str()), 1);
  EXPECT_EQ(CheckPDFPasswd(file.path(), user.c_str()), 1);
  EXPECT_EQ(CheckPDFPasswd(file.path(), user.substr(1).c_str()), 0);
}

TEST(Queries, UnreadablePathsFail) {
  EXPECT_EQ(IsPDFPasswd(nullptr), -1);
  EXPECT_EQ(IsPrintDisable(nullptr), -1);
  EXPECT_EQ(CheckPDFPasswd(nullptr, "x"), -1);
  EXPECT_EQ(IsPDFPasswd("/nonexistent/file.pdf"), -1);
  EXPECT_EQ(CheckPDFPasswd(PAGEWIRE_SOURCE_DIR, "x"), -1);  // a folder
}

}  // namespace
}  // namespace pagewire::pdf

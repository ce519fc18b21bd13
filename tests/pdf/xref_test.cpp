#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pagewire/pagewire.h"
#include "reader_test_util.h"

namespace pagewire::pdf {
namespace {

using test::AddMinimalDocument;
using test::ErrorOf;
using test::PdfBuilder;
using test::TempFile;

// --- XrefTable: the first-added subsection wins, offsets 0 give way.

TEST(XrefTable, FirstAddedSubsectionKeepsANonZeroOffset) {
  XrefTable table;
  table.AddSubsection(0, 5);
  table.SetEntry(2, 100, 0, 'n');
  table.AddSubsection(2, 1);
  table.SetEntry(2, 200, 0, 'n');
  EXPECT_EQ(table.Lookup(2)->offset, 100);
}

TEST(XrefTable, ZeroOffsetEntryTakesTheValuesReadLater) {
  XrefTable table;
  table.AddSubsection(0, 2);
  table.SetEntry(0, 0, 65535, 'f');
  table.SetEntry(1, 0, 0, 'f');
  table.AddSubsection(0, 2);
  table.SetEntry(0, 0, 7, 'f');
  table.SetEntry(1, 555, 3, 'n');
  EXPECT_EQ(table.Lookup(0)->generation, 7);
  EXPECT_EQ(table.Lookup(1)->offset, 555);
  EXPECT_EQ(table.Lookup(1)->type, 'n');
}

TEST(XrefTable, UncoveredNumbersHaveNoEntry) {
  XrefTable table;
  table.AddSubsection(10, 3);
  table.AddSubsection(20, 0);
  table.AddSubsection(30, -4);
  EXPECT_FALSE(table.Lookup(9).has_value());
  EXPECT_TRUE(table.Lookup(12).has_value());
  EXPECT_FALSE(table.Lookup(13).has_value());
  EXPECT_FALSE(table.Lookup(20).has_value());
  EXPECT_FALSE(table.Lookup(30).has_value());
}

TEST(XrefTable, OverlappingRangesMapEachNumberToTheFirstHolder) {
  XrefTable table;
  XrefSubsection& a = table.AddSubsection(5, 5);    // 5..9
  XrefSubsection& b = table.AddSubsection(0, 20);   // 0..19
  XrefSubsection& c = table.AddSubsection(8, 4);    // 8..11
  EXPECT_EQ(table.FindSubsection(4), &b);
  EXPECT_EQ(table.FindSubsection(5), &a);
  EXPECT_EQ(table.FindSubsection(9), &a);
  EXPECT_EQ(table.FindSubsection(10), &b);
  EXPECT_EQ(table.FindSubsection(19), &b);
  EXPECT_EQ(table.FindSubsection(20), nullptr);
  (void)c;
  table.SetEntry(40, 9, 0, 'n');  // no holder: a subsection of its own
  EXPECT_EQ(table.Lookup(40)->offset, 9);
  EXPECT_EQ(table.SubsectionCountForTesting(), 4u);
}

TEST(XrefTable, ManySingleEntrySubsectionsKeepTheNewest) {
  XrefTable table;
  constexpr int kObjects = 200000;
  for (int i = 0; i < kObjects; ++i) {
    table.AddSubsection(i, 1);
    table.SetEntry(i, 1000 + i, 0, 'n');
  }
  for (int i = 0; i < kObjects; i += 2) {  // an older section
    table.AddSubsection(i, 1);
    table.SetEntry(i, 1, 0, 'n');
  }
  for (int i = 0; i < kObjects; i += 997) ASSERT_EQ(table.Lookup(i)->offset, 1000 + i);
}

// --- Whole files through the queries.

struct Answers {
  int passwd;
  int print;
  int check;
  bool operator==(const Answers&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Answers& a) {
  return out << "{" << a.passwd << "," << a.print << "," << a.check << "}";
}

Answers Ask(const std::string& bytes) {
  TempFile file(bytes);
  return {IsPDFPasswd(file.path()), IsPrintDisable(file.path()),
          CheckPDFPasswd(file.path(), "any")};
}

const Answers kPlain{0, 0, 1};
const Answers kFailed{-1, -1, -1};

// The value of object `number` as Open and FetchObject see it.
std::int64_t FetchedInteger(const std::string& bytes, int number) {
  TempFile file(bytes);
  PdfReader reader;
  reader.Open(file.path());
  PdfObject ref;
  ref.kind = ObjectKind::Reference;
  ref.ref = PdfRef{number, 0};
  return reader.FetchObject(ref)->integer;
}

std::string Minimal() {
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R");
  return b.str();
}

TEST(XrefFiles, PlainFileIsNotEncrypted) { EXPECT_EQ(Ask(Minimal()), kPlain); }

TEST(XrefFiles, NewestSectionWinsOverTwoAndThreeSections) {
  PdfBuilder b;
  AddMinimalDocument(b).Object(4, "111").Object(5, "1").Section("/Size 6 /Root 1 0 R");
  b.Object(4, "222").Section("/Size 6 /Root 1 0 R");
  EXPECT_EQ(FetchedInteger(b.str(), 4), 222);
  EXPECT_EQ(FetchedInteger(b.str(), 5), 1);
  b.Object(5, "3").Section("/Size 6 /Root 1 0 R");
  EXPECT_EQ(FetchedInteger(b.str(), 4), 222);
  EXPECT_EQ(FetchedInteger(b.str(), 5), 3);
  EXPECT_EQ(Ask(b.str()), kPlain);
}

TEST(XrefFiles, EncryptOnlyInAnOlderTrailerIsNotEncrypted) {
  PdfBuilder b;
  AddMinimalDocument(b).Object(4, "<< /Filter /Standard >>").Section("/Size 5 /Root 1 0 R /Encrypt 4 0 R");
  EXPECT_EQ(Ask(b.str()), kFailed);  // the incomplete dictionary fails while it counts
  b.Section("/Size 5 /Root 1 0 R");
  EXPECT_EQ(Ask(b.str()), kPlain);
}

TEST(XrefFiles, EncryptAddedInTheNewestTrailerCounts) {
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R");
  b.Object(4, "<< /Filter /Standard >>").Section("/Size 5 /Root 1 0 R /Encrypt 4 0 R");
  EXPECT_EQ(Ask(b.str()), kFailed);
}

TEST(XrefFiles, RootComesFromTheNewestTrailer) {
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R");
  b.Section("/Size 4 /Root << >>");
  EXPECT_EQ(Ask(b.str()), kFailed);
}

TEST(XrefFiles, EntriesSplitByAnyWhitespaceOrComment) {
  for (const char* separator : {"\r", "\n", "\r\n", "   ", " % note\n", "\r%c\r"}) {
    PdfBuilder b;
    AddMinimalDocument(b);
    const std::string s = separator;
    const std::string body = b.str();
    auto at = [&](const std::string& header) { return body.find(header); };
    const std::size_t xref = body.size();
    std::string section = "xref" + s + "0 4" + s + "0000000000 65535 f" + s;
    for (const char* header : {"1 0 obj", "2 0 obj", "3 0 obj"})
      section += "00" + std::to_string(at(header)) + s + "0" + s + "n" + s;
    b.Raw(section + "trailer" + s + "<< /Size 4 /Root 1 0 R >>" + s + "startxref" + s +
          std::to_string(xref) + s + "%%EOF");
    EXPECT_EQ(Ask(b.str()), kPlain) << "separator " << testing::PrintToString(s);
  }
}

// Fixed 20-byte lines are read in place; an entry written otherwise between
// them is read as tokens, and the lines after it in place again.
TEST(XrefFiles, FixedLinesAndFreeFormEntriesMix) {
  PdfBuilder b;
  AddMinimalDocument(b);
  const std::string body = b.str();
  const std::size_t xref = body.size();
  auto line = [&](const char* header) {
    return PdfBuilder::Entry(body.find(header)) + " 00000 n";
  };
  b.Raw("xref\n0 4\n0000000000 65535 f\r\n" + line("1 0 obj") + "%c\n  " +
        std::to_string(body.find("2 0 obj")) + "  0 n \n" + line("3 0 obj") + "\r\n" +
        "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) +
        "\n%%EOF\n");
  TempFile file(b.str());
  PdfReader reader;
  reader.Open(file.path());
  for (int number : {1, 2, 3})
    EXPECT_EQ(reader.xrefTableForTesting().Lookup(number)->offset,
              static_cast<std::int64_t>(body.find(std::to_string(number) + " 0 obj")));
}

// An incremental update whose trailer goes straight on to the next object,
// and subsection headers with a space before the line end.
TEST(XrefFiles, TrailerFollowedStraightByTheNextObjectReads) {
  PdfBuilder b;
  AddMinimalDocument(b);
  const std::size_t first = b.Size();
  b.Raw("xref\n0 4 \n0000000000 65535 f \n");
  for (const char* header : {"1 0 obj", "2 0 obj", "3 0 obj"})
    b.Raw(PdfBuilder::Entry(b.str().find(header)) + " 00000 n \n");
  b.Raw("trailer\n<< /Size 4 /Root 1 0 R >>\n");
  const std::size_t at4 = b.Size();
  b.Raw("4 0 obj\n44\nendobj\n");
  const std::size_t second = b.Size();
  b.Raw("xref\n4 1 \r\n" + PdfBuilder::Entry(at4) + " 00000 n\r\ntrailer\n<< /Size 5 " +
        "/Root 1 0 R /Prev " + std::to_string(first) + " >>\nstartxref\n" +
        std::to_string(second) + "\n%%EOF\n");
  EXPECT_EQ(Ask(b.str()), kPlain);
  EXPECT_EQ(FetchedInteger(b.str(), 4), 44);
}

struct BrokenFile {
  std::string what;
  std::string bytes;
};

std::string WithSection(const std::string& section, const std::string& tail = "") {
  PdfBuilder b;
  AddMinimalDocument(b);
  const std::size_t xref = b.Size();
  b.Raw(section + "\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n" + tail);
  return b.str();
}

const std::string kEntries = "0 1\n0000000000 65535 f \n1 1\n0000000009 00000 n \n";

TEST(XrefFiles, StructuralFaultsFailEveryQuery) {
  const std::string good = Minimal();
  const BrokenFile cases[] = {
      {"letter x", WithSection("xref\n0 1\n0000000000 65535 x \ntrailer << /Root 1 0 R >>")},
      {"third number", WithSection("xref\n0 1\n0 65535 0 f \ntrailer << /Root 1 0 R >>")},
      {"two-letter keyword", WithSection("xref\n0 1\n0 65535 ff \ntrailer << /Root 1 0 R >>")},
      {"no trailer keyword", WithSection("xref\n" + kEntries + "<< /Root 1 0 R >>")},
      {"unknown keyword for trailer", WithSection("xref\n" + kEntries + "trailor << /Root 1 0 R >>")},
      {"trailer not a dictionary", WithSection("xref\n" + kEntries + "trailer [ /Root 1 0 R ]")},
      {"trailer stream", WithSection("xref\n" + kEntries + "trailer << /Root 1 0 R >> stream")},
      {"no Root", WithSection("xref\n" + kEntries + "trailer << /Size 2 >>")},
      {"direct Root", WithSection("xref\n" + kEntries + "trailer << /Root << >> >>")},
      {"Prev not integer", WithSection("xref\n" + kEntries + "trailer << /Root 1 0 R /Prev (0) >>")},
      {"Prev below -1", WithSection("xref\n" + kEntries + "trailer << /Root 1 0 R /Prev -2 >>")},
      {"count beyond the file", WithSection("xref\n0 2000000000\ntrailer << /Root 1 0 R >>")},
      {"count beyond 32 bits", WithSection("xref\n0 4294967296\ntrailer << /Root 1 0 R >>")},
      {"negative first", WithSection("xref\n-1 1\n0 0 f\ntrailer << /Root 1 0 R >>")},
      {"first beyond 32 bits", WithSection("xref\n4294967296 1\n0 0 f\ntrailer << /Root 1 0 R >>")},
      {"subsection header without count", WithSection("xref\n0 trailer << /Root 1 0 R >>")},
      {"no %%EOF", good.substr(0, good.rfind("%%EOF"))},
      {"no startxref", "%PDF-1.4\nnothing here\n%%EOF\n"},
      {"startxref without offset", "%PDF-1.4\nstartxref\nxref\n%%EOF\n"},
      {"negative startxref", "%PDF-1.4\nstartxref\n-5\n%%EOF\n"},
      {"startxref beyond the end", "%PDF-1.4\nstartxref\n99999\n%%EOF\n"},
      {"startxref not at xref", "%PDF-1.4\nstartxref\n3\n%%EOF\n"},
      {"empty file", ""},
      {"cross-reference stream",
       "%PDF-1.5\n1 0 obj\n<< /Type /XRef /Size 2 /W [1 1 1] /Length 0 >>\nstream\n\nendstream\n"
       "endobj\nstartxref\n9\n%%EOF\n"},
  };
  for (const BrokenFile& c : cases) EXPECT_EQ(Ask(c.bytes), kFailed) << c.what;
}

TEST(XrefFiles, PrevLoopsEnd) {
  PdfBuilder self;
  AddMinimalDocument(self);
  const std::size_t at = self.Size();
  self.Raw("xref\n" + kEntries + "trailer << /Root 1 0 R /Prev " + std::to_string(at) +
           " >>\nstartxref\n" + std::to_string(at) + "\n%%EOF\n");
  EXPECT_EQ(Ask(self.str()), kFailed);

  PdfBuilder pair;
  AddMinimalDocument(pair).Section("/Size 4 /Root 1 0 R /Prev 999999");
  const std::size_t first = pair.LastXref();
  pair.Section("/Size 4 /Root 1 0 R");
  // Point the first section's Prev back at the second.
  std::string bytes = pair.str();
  const std::string second = std::to_string(pair.LastXref());
  bytes.replace(bytes.find("/Prev 999999", first), 12, "/Prev " + second + std::string(6 - second.size(), ' '));
  EXPECT_EQ(Ask(bytes), kFailed);
}

TEST(XrefFiles, PrevOfMinusOneEndsTheChain) {
  EXPECT_EQ(Ask(WithSection("xref\n" + kEntries + "trailer << /Root 1 0 R /Prev -1 >>")), kPlain);
}

TEST(XrefFiles, PrevAsIndirectReferenceIsFollowed) {
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R");
  const std::size_t prev = b.LastXref();
  b.Object(4, std::to_string(prev)).Section("/Size 5 /Root 1 0 R /Prev 4 0 R", false);
  EXPECT_EQ(Ask(b.str()), kPlain);
}

TEST(XrefFiles, DataAfterTheLastEofIsIgnored) {
  EXPECT_EQ(Ask(Minimal() + "garbage ) ] startxref 77 \x80\xFF"), kPlain);
  EXPECT_EQ(Ask(Minimal() + std::string(200000, 'g')), kPlain);
}

// The stream a hybrid table names is read too, so one that is not there
// fails the file.
TEST(XrefFiles, HybridTableWithAMissingXRefStmFails) {
  PdfBuilder b;
  AddMinimalDocument(b).Section("/Size 4 /Root 1 0 R /XRefStm 12345");
  EXPECT_EQ(Ask(b.str()), kFailed);
}

TEST(XrefFiles, EveryTruncationFails) {
  const std::string good = Minimal();
  const std::size_t end = good.rfind("%%EOF") + 5;
  for (std::size_t length = 0; length < end; ++length)
    ASSERT_EQ(Ask(good.substr(0, length)), kFailed) << length;
  EXPECT_EQ(Ask(good.substr(0, end)), kPlain);
}

TEST(XrefFiles, UncoveredObjectNumberIsNotFound) {
  TempFile file(Minimal());
  PdfReader reader;
  reader.Open(file.path());
  PdfObject ref;
  ref.kind = ObjectKind::Reference;
  ref.ref = PdfRef{99, 0};
  EXPECT_EQ(ErrorOf([&] { reader.FetchObject(ref); }), "ObjectNotFound");
  ref.ref = PdfRef{1, 1};  // covered, wrong generation
  EXPECT_EQ(ErrorOf([&] { reader.FetchObject(ref); }), "Syntax");
}

TEST(XrefFiles, FindBackwardStopsOnTheKeywordsFirstCharacter) {
  test::ReaderOver reader("x %%%EOF %%EO");
  reader->input().Seek(0, ByteSource::Origin::End);
  reader->FindBackward("%%EOF");
  EXPECT_EQ(reader->input().Tell(), 3);
  EXPECT_EQ(ErrorOf([&] { reader->FindBackward("%%EOF"); }), "Syntax");
}

TEST(XrefFiles, FindBackwardCrossesBufferBlocks) {
  const std::string bytes = "startxref" + std::string(3 * ByteSource::kBackwardBlock + 17, ' ');
  test::ReaderOver reader(bytes);
  reader->input().Seek(0, ByteSource::Origin::End);
  reader->FindBackward("startxref");
  EXPECT_EQ(reader->input().Tell(), 0);
  EXPECT_EQ(reader->NextToken(), TokenKind::Keyword);
}

}  // namespace
}  // namespace pagewire::pdf

namespace pagewire::pdf {
namespace {

// The byte-by-byte rule, plainly: where the search stops, or -1.
std::int64_t BytewiseFindBackward(const std::string& data, const std::string& keyword) {
  std::size_t matched = 0;
  for (std::int64_t pos = std::int64_t(data.size()) - 1; pos >= 0; --pos) {
    const char c = data[std::size_t(pos)];
    if (c == keyword[keyword.size() - 1 - matched]) {
      if (++matched == keyword.size()) return pos;
    } else {
      matched = c == keyword.back() ? 1 : 0;
    }
  }
  return -1;
}

TEST(XrefFiles, FindBackwardAgreesWithTheBytewiseRule) {
  std::mt19937 random(7);
  const std::string alphabet = "%%EOFstarxef ";
  for (int round = 0; round < 40; ++round) {
    std::string data(std::size_t(random() % (2 * ByteSource::kBackwardBlock + 100)), ' ');
    for (char& c : data) c = alphabet[random() % alphabet.size()];
    for (const std::string keyword : {"%%EOF", "startxref", "%%", "aa"}) {
      test::ReaderOver reader(data);
      reader->input().Seek(0, ByteSource::Origin::End);
      const std::int64_t expected = BytewiseFindBackward(data, keyword);
      const std::string error = ErrorOf([&] { reader->FindBackward(keyword); });
      if (expected < 0) {
        EXPECT_EQ(error, "Syntax") << keyword;
      } else {
        ASSERT_EQ(error, "none");
        EXPECT_EQ(reader->input().Tell(), expected) << keyword << " round " << round;
      }
    }
  }
}

}  // namespace
}  // namespace pagewire::pdf

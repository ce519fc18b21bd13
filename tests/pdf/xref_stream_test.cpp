#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pdf/png_predictor.h"
#include "pdf/xref_stream.h"
#include "reader_test_util.h"

namespace pagewire::pdf {
namespace {

using test::ErrorOf;
using test::PdfBuilder;
using test::ReaderOver;

std::string Deflate(const std::string& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string out(size, '\0');
  compress(reinterpret_cast<Bytef*>(out.data()), &size,
           reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()));
  out.resize(size);
  return out;
}

std::string BigEndian(std::uint64_t value, int width) {
  std::string out;
  for (int i = width - 1; i >= 0; --i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

// --- PNG rows: each filter undone against the row above.

struct PngCase {
  int filter;
  std::vector<std::uint8_t> row, previous, expected;
};

TEST(PngPredictor, UndoesEachFilter) {
  const std::vector<PngCase> cases = {
      {0, {1, 2, 3}, {9, 9, 9}, {1, 2, 3}},
      {1, {1, 2, 3}, {9, 9, 9}, {1, 3, 6}},
      {2, {1, 2, 3}, {10, 20, 250}, {11, 22, 253}},
      {3, {1, 2, 3}, {10, 20, 30}, {6, 15, 25}},
      {4, {1, 2, 3}, {10, 20, 30}, {11, 22, 33}},
      {4, {5, 0, 0}, {0, 0, 0}, {5, 5, 5}},
  };
  for (const PngCase& c : cases) {
    std::vector<std::uint8_t> row = c.row;
    ASSERT_TRUE(UnfilterPngRow(c.filter, row.data(), c.previous.data(), row.size(), 1));
    EXPECT_EQ(row, c.expected) << "filter " << c.filter;
  }
  std::vector<std::uint8_t> row(3);
  EXPECT_FALSE(UnfilterPngRow(5, row.data(), row.data(), row.size(), 1));
}

// --- Entries: /W and /Index combinations over raw, inflated and
// PNG-predicted data.

struct Entry {
  int number;
  std::uint64_t type, second, third;
};

struct LayoutCase {
  std::string name;
  std::array<int, 3> widths;
  std::vector<std::pair<std::int32_t, std::int32_t>> index;
  std::vector<Entry> entries;  // in Index order
};

std::string Encode(const LayoutCase& c) {
  std::string raw;
  for (const Entry& e : c.entries)
    raw += BigEndian(e.type, c.widths[0]) + BigEndian(e.second, c.widths[1]) +
           BigEndian(e.third, c.widths[2]);
  return raw;
}

// PNG Up rows of `columns` bytes, the last one padded with zeros.
std::string PredictUp(std::string raw, std::size_t columns) {
  raw.resize((raw.size() + columns - 1) / columns * columns, '\0');
  std::string out, previous(columns, '\0');
  for (std::size_t at = 0; at < raw.size(); at += columns) {
    out += '\x02';
    for (std::size_t i = 0; i < columns; ++i)
      out += static_cast<char>(static_cast<std::uint8_t>(raw[at + i]) -
                               static_cast<std::uint8_t>(previous[i]));
    previous = raw.substr(at, columns);
  }
  return out;
}

// Reads `data` as the stream's data of `layout` into a fresh table.
std::string ReadEntries(const XrefStreamLayout& layout, const std::string& data,
                        StreamData::Filter filter, XrefTable& xref) {
  ByteSource source;
  source.OpenMemory(data);
  return ErrorOf([&] {
    StreamData stream(source, 0, static_cast<std::int64_t>(data.size()), filter);
    ReadXrefStreamEntries(layout, stream, xref, 0);
  });
}

TEST(XrefStreamEntries, ReadEveryLayoutAndEncoding) {
  const std::vector<LayoutCase> cases = {
      {"default index", {1, 2, 1}, {{0, 3}},
       {{0, 0, 0, 255}, {1, 1, 15, 0}, {2, 2, 7, 3}}},
      {"two subsections", {1, 4, 2}, {{5, 2}, {40, 1}},
       {{5, 1, 70000, 0}, {6, 0, 0, 1}, {40, 1, 123456, 2}}},
      {"no type field", {0, 3, 1}, {{1, 2}}, {{1, 1, 100, 0}, {2, 1, 200, 0}}},
      {"eight-byte offset", {1, 8, 0}, {{3, 1}}, {{3, 1, 0x100000000ULL, 0}}},
      {"entries across decoding chunks", {1, 4, 2}, {{0, 12000}}, {}},
  };
  for (LayoutCase c : cases) {
    if (c.entries.empty()) {  // made here: more entries than a 64 KiB chunk holds
      for (int n = 0; n < c.index[0].second; ++n)
        c.entries.push_back({n, 1, 1000u + 7u * n, static_cast<std::uint64_t>(n % 3)});
    }
    SCOPED_TRACE(c.name);
    XrefStreamLayout layout;
    layout.widths = c.widths;
    layout.subsections = c.index;
    const std::string raw = Encode(c);
    const std::string deflated = Deflate(raw);
    XrefStreamLayout predicted = layout;
    predicted.predictor = 12;
    predicted.columns = layout.EntryWidth() + 1;  // rows that straddle entries
    XrefStreamLayout rows = predicted;
    rows.columns = layout.EntryWidth();  // one row an entry, as writers lay them out
    const struct {
      const XrefStreamLayout& layout;
      std::string data;
      StreamData::Filter filter;
    } forms[] = {{layout, raw, StreamData::Filter::None},
                 {layout, deflated, StreamData::Filter::Flate},
                 // data that ends before its checksum: every entry is there
                 {layout, deflated.substr(0, deflated.size() - 4), StreamData::Filter::Flate},
                 {predicted, Deflate(PredictUp(raw, predicted.columns)), StreamData::Filter::Flate},
                 {rows, Deflate(PredictUp(raw, rows.columns)), StreamData::Filter::Flate}};
    for (const auto& form : forms) {
      XrefTable xref;
      ASSERT_EQ(ReadEntries(form.layout, form.data, form.filter, xref), "none");
      for (const Entry& e : c.entries) {
        const auto got = xref.Lookup(e.number);
        ASSERT_TRUE(got.has_value()) << e.number;
        EXPECT_EQ(got->type, "fnc"[e.type]) << e.number;
        EXPECT_EQ(got->offset, static_cast<std::int64_t>(e.second)) << e.number;
        EXPECT_EQ(got->generation, static_cast<std::int32_t>(e.third)) << e.number;
      }
    }
  }
}

TEST(XrefStreamEntries, DataThatDoesNotFitTheLayoutFails) {
  XrefStreamLayout layout;
  layout.widths = {1, 2, 1};
  layout.subsections = {{0, 2}};
  const std::string raw = std::string("\x01\x00\x10\x00", 4) + std::string("\x01\x00\x20\x00", 4);
  const std::string bomb = raw + std::string(16u << 20, '\0');
  const struct {
    std::string data;
    StreamData::Filter filter;
    std::string error;
  } cases[] = {
      {raw.substr(0, 7), StreamData::Filter::None, "Syntax"},
      {raw + "x", StreamData::Filter::None, "RangeCheck"},
      {Deflate(raw).substr(0, 6), StreamData::Filter::Flate, "Syntax"},
      {"not zlib data", StreamData::Filter::Flate, "Syntax"},
      // Inflating stops at the first byte beyond the entries.
      {Deflate(bomb), StreamData::Filter::Flate, "RangeCheck"},
  };
  for (const auto& c : cases) {
    XrefTable xref;
    EXPECT_EQ(ReadEntries(layout, c.data, c.filter, xref), c.error) << c.data.size();
  }
}

// --- Stream dictionaries: what LayoutOf accepts.

TEST(XrefStreamLayoutOf, ChecksWidthsIndexAndPredictor) {
  const struct {
    std::string dict;
    std::string error;
  } cases[] = {
      {"<< /W [1 2 1] /Size 3 >>", "none"},
      {"<< /W [1 2 1] /Size 3 /Index [0 1 2 1] >>", "none"},
      {"<< /W [1 2 1] /Size 3 /DecodeParms << /Predictor 12 /Columns 4 >> >>", "none"},
      {"<< /W [1 2 1] /Size 3 /DecodeParms [<< /Predictor 15 /Columns 4 >>] >>", "none"},
      {"<< /W [1 2] /Size 3 >>", "TypeMismatch"},
      {"<< /W [1 9 1] /Size 3 >>", "RangeCheck"},
      {"<< /W [0 0 0] /Size 3 >>", "RangeCheck"},
      {"<< /W [1 -1 1] /Size 3 >>", "RangeCheck"},
      {"<< /W [1 2 1] >>", "ObjectNotFound"},
      {"<< /W [1 2 1] /Size 3 /Index [0] >>", "TypeMismatch"},
      {"<< /W [1 2 1] /Size 3 /Index [2147483647 2] >>", "RangeCheck"},
      {"<< /W [1 2 1] /Size 3 /Index [0 2 5 -1] >>", "RangeCheck"},  // counts 1 in all
      {"<< /W [1 2 1] /Size 3 /Index [0 1000000] >>", "RangeCheck"},  // beyond the file
      {"<< /W [1 2 1] /Size 3 /DecodeParms << /Predictor 2 >> >>", "TypeMismatch"},
      {"<< /W [1 2 1] /Size 3 /DecodeParms << /Predictor 12 /Columns 0 >> >>", "RangeCheck"},
      {"<< /W [1 2 1] /Size 3 /DecodeParms << /Predictor 12 /BitsPerComponent 4 >> >>",
       "TypeMismatch"},
  };
  for (const auto& c : cases) {
    ReaderOver reader(c.dict + std::string(4096, ' '));
    const ObjectPtr dict = reader->ReadObject();
    EXPECT_EQ(ErrorOf([&] { reader->xrefReader().LayoutOf(*dict->dict, 0); }), c.error) << c.dict;
  }
}

// --- Whole files: a table's XRefStm, and the Prev chain behind it.

// A cross-reference stream object of /W [1 4 2], unfiltered, listing
// `entries` (number, type, field 2) as one subsection each.
std::string StreamObject(int number, const std::vector<Entry>& entries, const std::string& extra) {
  std::string index, data;
  for (const Entry& e : entries) {
    index += std::to_string(e.number) + " 1 ";
    data += BigEndian(e.type, 1) + BigEndian(e.second, 4) + BigEndian(e.third, 2);
  }
  return std::to_string(number) + " 0 obj\n<< /Type /XRef /W [1 4 2] /Size 20 /Index [" + index +
         "] /Length " + std::to_string(data.size()) + extra + " >>\nstream\n" + data +
         "\nendstream\nendobj\n";
}

std::int64_t Fetched(PdfReader& reader, int number) {
  PdfObject ref;
  ref.kind = ObjectKind::Reference;
  ref.ref = PdfRef{number, 0};
  return reader.FetchObject(ref)->integer;
}

// Objects 4 to 7 hold the integers 41, 50, 60, 70; older copies of 4 and 5
// hold 40 and 51. The table lists 4; its XRefStm lists 4 (an older copy), 5
// and 6; the section before both lists 5 (an older copy) and 7.
TEST(XrefFiles, HybridReadsTheTableThenItsStreamThenPrev) {
  PdfBuilder b;
  b.Object(1, "<< /Type /Catalog >>").Object(7, "70").Object(5, "51").Object(4, "40");
  const std::size_t old4 = b.str().rfind("4 0 obj");
  b.Section("/Size 8 /Root 1 0 R");
  const std::size_t at5 = b.Size();
  b.Raw("5 0 obj\n50\nendobj\n");
  const std::size_t at6 = b.Size();
  b.Raw("6 0 obj\n60\nendobj\n");
  const std::size_t streamAt = b.Size();
  b.Raw(StreamObject(9, {{4, 1, old4, 0}, {5, 1, at5, 0}, {6, 1, at6, 0}, {8, 2, 9, 0}}, ""));
  b.Object(4, "41").Section("/Size 10 /Root 1 0 R /XRefStm " + std::to_string(streamAt));
  test::TempFile file(b.str());
  PdfReader reader;
  reader.Open(file.path());
  EXPECT_EQ(Fetched(reader, 4), 41);
  EXPECT_EQ(Fetched(reader, 5), 50);
  EXPECT_EQ(Fetched(reader, 6), 60);
  EXPECT_EQ(Fetched(reader, 7), 70);
  // Recorded as in object stream 9, which is not read.
  EXPECT_EQ(reader.xrefTableForTesting().Lookup(8)->type, XrefEntry::kCompressed);
  EXPECT_EQ(ErrorOf([&] { Fetched(reader, 8); }), "ObjectNotFound");
}

// A hybrid's newest update: a table of one empty subsection, its objects in
// the stream.
TEST(XrefFiles, EmptySubsectionIsValid) {
  PdfBuilder b;
  b.Object(1, "<< /Type /Catalog >>").Section("/Size 2 /Root 1 0 R");
  const std::size_t prev = b.LastXref();
  const std::size_t at4 = b.Size();
  b.Raw("4 0 obj\n44\nendobj\n");
  const std::size_t streamAt = b.Size();
  b.Raw(StreamObject(5, {{4, 1, at4, 0}, {5, 1, streamAt, 0}}, ""));
  const std::size_t xref = b.Size();
  b.Raw("xref\n0 0\ntrailer\n<< /Size 6 /Root 1 0 R /Prev " + std::to_string(prev) +
        " /XRefStm " + std::to_string(streamAt) + " >>\nstartxref\n" + std::to_string(xref) +
        "\n%%EOF\n");
  test::TempFile file(b.str());
  PdfReader reader;
  reader.Open(file.path());
  EXPECT_EQ(Fetched(reader, 4), 44);
}

// Where XRefStm names the table itself, a plain object, another stream or
// bytes that are no object, the table is read on its own.
TEST(XrefFiles, XRefStmThatIsNoCrossReferenceStreamIsIgnored) {
  const std::string targets[] = {
      "",  // the table itself
      "7 0 obj\n<< /Type /Catalog >>\nendobj\n",
      "7 0 obj\n77\nendobj\n",
      "7 0 obj\n<< /Type /Foo /Length 1 >>\nstream\nx\nendstream\nendobj\n",
      "7 0 obj stream\nendobj\n",
      ")) >> ] 7 0 R",
      "7 0 objection << >>",
  };
  for (const std::string& target : targets) {
    PdfBuilder b;
    b.Object(1, "<< /Type /Catalog >>").Object(2, "22");
    const std::size_t at = b.Size();
    b.Raw(target);
    const std::size_t xref = b.Size();
    b.Raw("xref\n0 3\n0000000000 65535 f \n0000000009 00000 n \n" +
          PdfBuilder::Entry(b.str().find("2 0 obj")) + " 00000 n \ntrailer\n<< /Size 3 " +
          "/Root 1 0 R /XRefStm " + std::to_string(target.empty() ? xref : at) +
          " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n");
    test::TempFile file(b.str());
    PdfReader reader;
    reader.Open(file.path());
    EXPECT_EQ(Fetched(reader, 2), 22) << target;
  }
}

// The newest section is a stream: its dictionary gives Root and Encrypt,
// and an encryption dictionary in an object stream fails the file.
TEST(XrefFiles, NewestStreamGivesTheTrailerFacts) {
  PdfBuilder b;
  b.Raw("1 0 obj\n<< /Type /Catalog >>\nendobj\n");
  const std::size_t at = b.Size();
  b.Raw(StreamObject(2, {{1, 1, 9, 0}, {2, 1, at, 0}, {3, 2, 5, 0}},
                     " /Root 1 0 R /Encrypt 3 0 R"));
  b.Raw("startxref\n" + std::to_string(at) + "\n%%EOF\n");
  test::TempFile file(b.str());
  PdfReader reader;
  EXPECT_EQ(ErrorOf([&] { reader.Open(file.path()); }), "ObjectNotFound");
  EXPECT_TRUE(reader.encrypted());
  EXPECT_TRUE(reader.rootForTesting()->Is(ObjectKind::Reference));
}

TEST(XrefFiles, BareStreamKeywordWhereTheStreamBelongsFails) {
  const std::string bytes = "%PDF-1.5\n1 0 obj stream\nendobj\nstartxref\n9\n%%EOF\n";
  PdfReader reader;
  EXPECT_EQ(ErrorOf([&] { reader.OpenMemory(bytes); }), "Syntax");
}

// --- Errors carry the offset where reading gave up.

TEST(PdfErrorOffsets, PointAtTheOffendingToken) {
  const struct {
    std::string input;
    std::int64_t offset;
  } cases[] = {
      {"  )", 2},
      {"<< /A 1 >x", 8},
      {"  <12G4>", 5},
      {"[ 1 2 3 bogus ]", 8},
      {"  [1 R]", 2},
      {"(abc", 4},
  };
  for (const auto& c : cases) {
    ReaderOver reader(c.input);
    std::int64_t offset = PdfError::kNoOffset;
    try {
      for (int i = 0; i < 8; ++i) reader->ReadObject();
    } catch (const PdfError& error) {
      offset = error.offset();
    }
    EXPECT_EQ(offset, c.offset) << c.input;
  }
}

// Memory input is read where it lies: a change to the bytes shows.
TEST(ByteSource, MemoryIsReadInPlace) {
  std::string bytes = "abc";
  ByteSource source;
  ASSERT_TRUE(source.OpenMemory(bytes));
  bytes[2] = 'z';
  ASSERT_TRUE(source.Seek(2, ByteSource::Origin::Start));
  EXPECT_EQ(source.ReadByte(), 'z');
}

}  // namespace
}  // namespace pagewire::pdf

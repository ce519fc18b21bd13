// The cross-reference sections of a file, newest first: classic tables read
// as tokens, cross-reference streams, and tables whose trailer names a
// stream of further entries (XRefStm). Every entry goes into one XrefTable.
#pragma once

#include <cstdint>
#include <set>

#include "pdf/indirect_objects.h"
#include "pdf/object_parser.h"
#include "pdf/pdf_object.h"
#include "pdf/xref_stream.h"
#include "pdf/xref_table.h"

namespace pagewire::pdf {

class XrefReader {
 public:
  // Each table entry takes at least "0 0 n" and a separator; a count that
  // the rest of the file cannot hold is refused before anything is set up.
  static constexpr std::int64_t kMinEntryBytes = 6;
  // Decoded cross-reference stream bytes per query; a file of ten million
  // objects needs well under half of it.
  static constexpr std::uint64_t kMaxDecodedBytes = 256u << 20;
  // Entries of all cross-reference streams per query: twice the number of
  // objects a PDF may hold (8,388,607), at 16 bytes each 256 MiB.
  static constexpr std::uint64_t kMaxStreamEntries = 1u << 24;

  XrefReader(ObjectParser& parser, XrefTable& xref, IndirectObjects& objects)
      : parser_(parser), xref_(xref), objects_(objects) {}
  XrefReader(const XrefReader&) = delete;
  XrefReader& operator=(const XrefReader&) = delete;

  // The offset after the last "startxref" before the last "%%EOF".
  std::int64_t FindStartXref();
  // Reads the section at `offset` (a table, with its XRefStm, or a stream)
  // and returns its trailer dictionary, or the stream's. A section read
  // twice, as a "Prev" loop would have it, is a Syntax error.
  const PdfDict& ReadSection(std::int64_t offset);
  // "Prev" of a trailer or stream dictionary; -1 without one.
  std::int64_t PrevOf(const PdfDict& trailer);

  // The parts, open for tests.
  void FindBackward(std::string_view keyword);
  // Subsections and entries after "xref", up to and including "trailer".
  void ReadTableEntries();
  // The trailer dictionary.
  const PdfDict& ReadTableTrailer();
  // The cross-reference stream object at `offset`, its entries read.
  const PdfDict& ReadStream(std::int64_t offset);
  // /W, /Index, /Size and the filter parameters of a stream dictionary.
  XrefStreamLayout LayoutOf(const PdfDict& dict, std::int64_t offset);

 private:
  // Digits of an object number or generation that a probed header may have;
  // both fit in ten.
  static constexpr int kMaxHeaderDigits = 10;

  bool ReadFixedEntry(std::int64_t& offset, std::int64_t& generation, char& letter);
  bool StartsObjectWithDict(std::int64_t offset);
  const PdfObject* ReadStreamObject(std::int64_t offset, std::int64_t& start);
  void ReadStreamEntries(const PdfObject& stream, std::int64_t start, std::int64_t offset);
  StreamData::Filter FilterOf(const PdfDict& dict, std::int64_t offset);
  void ReadDecodeParms(const PdfDict& dict, XrefStreamLayout& layout, std::int64_t offset);
  std::int64_t EncodedLength(const PdfDict& dict, std::int64_t start, std::int64_t offset);
  std::int64_t DataStart();

  ObjectParser& parser_;
  XrefTable& xref_;
  IndirectObjects& objects_;
  std::set<std::int64_t> visited_;
  std::uint64_t decodedBytes_ = 0;
  std::uint64_t streamEntries_ = 0;
};

}  // namespace pagewire::pdf

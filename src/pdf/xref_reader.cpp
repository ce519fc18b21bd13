#include "pdf/xref_reader.h"

#include <algorithm>

#include "pdf/number_text.h"
#include "pdf/pdf_error.h"

namespace pagewire::pdf {
namespace {

const PdfObject& Required(const PdfObject* value, std::int64_t offset) {
  if (value == nullptr) Raise(PdfErrorKind::ObjectNotFound, offset);
  return *value;
}

std::int64_t IntegerOf(const PdfObject* value, std::int64_t offset) {
  if (!value->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch, offset);
  return value->integer;
}

// A single filter, or an array of at most one, or null.
const PdfObject* SingleOf(const PdfObject* value, std::int64_t offset) {
  if (value == nullptr || !value->Is(ObjectKind::Array)) return value;
  if (value->array->Count() > 1) Raise(PdfErrorKind::TypeMismatch, offset);
  return value->array->At(0);
}

}  // namespace

// The start of the file without the keyword: nothing more to find.
void XrefReader::FindBackward(std::string_view keyword) {
  if (!parser_.lexer().FindBackward(keyword)) Raise(PdfErrorKind::Syntax, 0);
}

std::int64_t XrefReader::FindStartXref() {
  Lexer& lexer = parser_.lexer();
  lexer.Seek(0, ByteSource::Origin::End);
  FindBackward("%%EOF");
  FindBackward("startxref");
  parser_.ExpectKeyword(KeywordClass::StartXref);
  const std::int64_t at = lexer.Tell();
  const std::int64_t offset = parser_.NextInteger();
  if (offset < 0) Raise(PdfErrorKind::RangeCheck, at);
  return offset;
}

const PdfDict& XrefReader::ReadSection(std::int64_t offset) {
  // A Prev chain that comes back to a section already read would never end.
  if (!visited_.insert(offset).second) Raise(PdfErrorKind::Syntax, offset);
  Lexer& lexer = parser_.lexer();
  if (!lexer.Seek(offset)) Raise(PdfErrorKind::RangeCheck, offset);
  const Token first = lexer.NextToken();
  if (first.kind == TokenKind::Integer) return ReadStream(offset);
  if (!lexer.KeywordIs(first.kind, KeywordClass::Xref)) Raise(PdfErrorKind::Syntax, first.offset);
  ReadTableEntries();
  const PdfDict& trailer = ReadTableTrailer();
  // A hybrid file: the stream's entries stand behind the table's, for the
  // objects the table leaves out, and before those of older sections.
  if (const PdfObject* stream = objects_.Get(trailer, "XRefStm")) {
    const std::int64_t streamOffset = IntegerOf(stream, offset);
    if (streamOffset < 0 || streamOffset >= lexer.Size()) Raise(PdfErrorKind::RangeCheck, offset);
    // One that names anything but a cross-reference stream is ignored: the
    // table is read on its own.
    std::int64_t start = 0;
    const PdfObject* object = nullptr;
    if (StartsObjectWithDict(streamOffset)) object = ReadStreamObject(streamOffset, start);
    if (object != nullptr) ReadStreamEntries(*object, start, streamOffset);
  }
  return trailer;
}

namespace {

constexpr std::size_t kOffsetDigits = 10;
constexpr std::size_t kGenerationDigits = 5;
// "oooooooooo ggggg n" and the byte after the letter.
constexpr std::size_t kFixedEntryBytes = kOffsetDigits + 1 + kGenerationDigits + 1 + 1 + 1;
// The whole line, its two-byte end included.
constexpr std::int64_t kFixedLineBytes = 20;

// `count` decimal digits at `text`; false where one is no digit.
bool FixedDigits(const std::uint8_t* text, std::size_t count, std::int64_t& value) {
  value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned digit = text[i] - unsigned{'0'};
    if (digit > 9) return false;
    value = value * 10 + digit;
  }
  return true;
}

}  // namespace

// An entry as writers put it, a fixed 20-byte line, read in place: the
// leading whitespace, 10 and 5 digits each followed by one space, the letter
// and one whitespace byte. False, with nothing taken, for anything else.
bool XrefReader::ReadFixedEntry(std::int64_t& offset, std::int64_t& generation, char& letter) {
  ByteSource& source = parser_.lexer().source();
  const std::uint8_t* line = source.Peek(1);
  while (line != nullptr && line[0] <= ' ') {
    source.Skip(1);
    line = source.Peek(1);
  }
  line = source.Peek(kFixedEntryBytes);
  if (line == nullptr || line[kOffsetDigits] != ' ' ||
      line[kOffsetDigits + 1 + kGenerationDigits] != ' ' || line[kFixedEntryBytes - 1] > ' ')
    return false;
  letter = static_cast<char>(line[kFixedEntryBytes - 2]);
  if ((letter != XrefEntry::kFree && letter != XrefEntry::kInUse) ||
      !FixedDigits(line, kOffsetDigits, offset) ||
      !FixedDigits(line + kOffsetDigits + 1, kGenerationDigits, generation))
    return false;
  source.Skip(kFixedEntryBytes);
  return true;
}

// Entries are taken as fixed lines where they are written so, and as tokens
// (any whitespace and comments between the fields) where not.
void XrefReader::ReadTableEntries() {
  Lexer& lexer = parser_.lexer();
  Token token = lexer.NextToken();
  while (token.kind == TokenKind::Integer) {
    const auto first = ParseIntegerText(lexer.TokenText());
    const std::int64_t count = parser_.NextInteger();
    if (!first || *first < 0 || !FitsInt32(*first) || !FitsInt32(count))
      Raise(PdfErrorKind::RangeCheck, token.offset);
    if (count > lexer.Size() / kMinEntryBytes + 1) Raise(PdfErrorKind::RangeCheck, token.offset);
    XrefSubsection& subsection =
        xref_.AddSubsection(static_cast<std::int32_t>(*first), static_cast<std::int32_t>(count));
    const bool owned = xref_.Owns(subsection);
    // Room at once for as many entries as the rest of the file holds as
    // fixed lines; beyond that they come into being as they are read.
    if (count <= (lexer.Size() - lexer.Tell()) / kFixedLineBytes) subsection.ReserveAll();
    // The source is read directly from here: no pushed-back byte stands between.
    lexer.Seek(lexer.Tell());
    for (std::int64_t i = 0; i < count; ++i) {
      const std::int64_t entryOffset = lexer.Tell();
      std::int64_t offset = 0;
      std::int64_t generation = 0;
      char letter = 0;
      if (!ReadFixedEntry(offset, generation, letter)) {
        offset = parser_.NextInteger();
        generation = parser_.NextInteger();
        const Token letterToken = lexer.NextToken();
        if (letterToken.kind != TokenKind::Keyword || (!lexer.TokenIs("f") && !lexer.TokenIs("n")))
          Raise(PdfErrorKind::Syntax, letterToken.offset);
        letter = lexer.TokenText()[0];
        lexer.Seek(lexer.Tell());
      }
      if (!FitsInt32(*first + i) || !FitsInt32(generation))
        Raise(PdfErrorKind::RangeCheck, entryOffset);
      const XrefEntry entry{offset, static_cast<std::int32_t>(generation), letter};
      if (owned) {
        subsection.SetOwnEntry(*first + i, entry);
      } else {
        xref_.SetEntry(static_cast<std::int32_t>(*first + i), offset, entry.generation, letter);
      }
    }
    token = lexer.NextToken();
  }
  if (!lexer.KeywordIs(token.kind, KeywordClass::Trailer)) Raise(PdfErrorKind::Syntax, token.offset);
}

// What follows the dictionary is not read: "startxref" as a rule, but an
// incremental update may go straight on with its first object.
const PdfDict& XrefReader::ReadTableTrailer() {
  const std::int64_t at = parser_.lexer().Tell();
  const PdfObject* trailer = objects_.Keep(parser_.ReadObject());
  if (!trailer->Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::Syntax, at);
  return *trailer->dict;
}

std::int64_t XrefReader::PrevOf(const PdfDict& trailer) {
  const PdfObject* prev = objects_.Get(trailer, "Prev");
  if (prev == nullptr) return -1;
  if (!prev->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
  if (prev->integer < -1) Raise(PdfErrorKind::RangeCheck);
  return prev->integer;
}

// After the "stream" keyword: CR LF or LF, or a lone CR, ends its line.
std::int64_t XrefReader::DataStart() {
  Lexer& lexer = parser_.lexer();
  const int c = lexer.GetChar();
  if (c == '\r') {
    const int next = lexer.GetChar();
    if (next != '\n') lexer.UngetChar(next);
  } else if (c != '\n') {
    lexer.UngetChar(c);
  }
  return lexer.Tell();
}

const PdfDict& XrefReader::ReadStream(std::int64_t offset) {
  std::int64_t start = 0;
  const PdfObject* stream = ReadStreamObject(offset, start);
  if (stream == nullptr) Raise(PdfErrorKind::Syntax, offset);
  ReadStreamEntries(*stream, start, offset);
  return *stream->dict;
}

namespace {

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsLowercase(int c) { return c >= 'a' && c <= 'z'; }

}  // namespace

// "n g obj <<" at `offset`, read byte by byte, so that whatever else stands
// there raises nothing.
bool XrefReader::StartsObjectWithDict(std::int64_t offset) {
  Lexer& lexer = parser_.lexer();
  if (!lexer.Seek(offset)) return false;
  for (int field = 0; field < 2; ++field) {
    int c = lexer.SkipSpace();
    if (!IsDigit(c)) return false;
    for (int digits = 0; IsDigit(c); c = lexer.GetChar())
      if (++digits > kMaxHeaderDigits) return false;
    lexer.UngetChar(c);
  }
  int c = lexer.SkipSpace();
  for (const char letter : std::string_view("obj")) {
    if (c != letter) return false;
    c = lexer.GetChar();
  }
  if (IsDigit(c) || IsLowercase(c)) return false;
  lexer.UngetChar(c);
  return lexer.SkipSpace() == '<' && lexer.GetChar() == '<';
}

// "n g obj", a dictionary of Type XRef and "stream"; `start` is set to
// where the data begins.
const PdfObject* XrefReader::ReadStreamObject(std::int64_t offset, std::int64_t& start) {
  Lexer& lexer = parser_.lexer();
  if (!lexer.Seek(offset)) Raise(PdfErrorKind::RangeCheck, offset);
  parser_.NextInteger();
  parser_.NextInteger();
  parser_.ExpectKeyword(KeywordClass::Obj);
  const PdfObject* stream = objects_.Keep(parser_.ReadObject());
  // A bare "stream" keyword makes a stream without a dictionary.
  if (!stream->Is(ObjectKind::Stream) || !stream->dict) return nullptr;
  start = DataStart();
  const PdfObject* type = objects_.Get(*stream->dict, "Type");
  if (type == nullptr || !type->Is(ObjectKind::Name) || type->bytes != "XRef") return nullptr;
  return stream;
}

void XrefReader::ReadStreamEntries(const PdfObject& stream, std::int64_t start,
                                   std::int64_t offset) {
  Lexer& lexer = parser_.lexer();
  const PdfDict& dict = *stream.dict;
  const XrefStreamLayout layout = LayoutOf(dict, offset);
  const StreamData::Filter filter = FilterOf(dict, offset);
  decodedBytes_ += layout.DataLength();
  if (decodedBytes_ > kMaxDecodedBytes) Raise(PdfErrorKind::RangeCheck, offset);
  std::int64_t length = EncodedLength(dict, start, offset);
  // Data as it stands ends where the entries end when its length is unknown.
  if (length < 0) {
    length = filter == StreamData::Filter::None ? static_cast<std::int64_t>(layout.DataLength())
                                                : lexer.Size() - start;
  }
  StreamData data(lexer.source(), start, length, filter);
  ReadXrefStreamEntries(layout, data, xref_, offset);
}

// Length may name an object that only this section or an older one lists.
// Such a length cannot be known yet (-1): the caller bounds the data by what
// the entries need, or by the end of the file and zlib's end marker.
std::int64_t XrefReader::EncodedLength(const PdfDict& dict, std::int64_t start,
                                       std::int64_t offset) {
  const PdfObject& length = Required(dict.Find("Length"), offset);
  std::int64_t value = 0;
  if (length.Is(ObjectKind::Reference)) {
    const auto entry = xref_.Lookup(length.ref.number);
    if (!entry || entry->type != XrefEntry::kInUse || entry->offset == 0) return -1;
    value = IntegerOf(objects_.Fetch(length), offset);
  } else {
    value = IntegerOf(&length, offset);
  }
  if (value < 0) Raise(PdfErrorKind::RangeCheck, offset);
  return std::min(value, parser_.lexer().Size() - start);
}

StreamData::Filter XrefReader::FilterOf(const PdfDict& dict, std::int64_t offset) {
  const PdfObject* filter = SingleOf(objects_.Get(dict, "Filter"), offset);
  if (filter == nullptr || filter->Is(ObjectKind::Null)) return StreamData::Filter::None;
  if (filter->Is(ObjectKind::Name) && filter->bytes == "FlateDecode")
    return StreamData::Filter::Flate;
  Raise(PdfErrorKind::TypeMismatch, offset);
}

void XrefReader::ReadDecodeParms(const PdfDict& dict, XrefStreamLayout& layout,
                                 std::int64_t offset) {
  const PdfObject* parms = SingleOf(objects_.Get(dict, "DecodeParms"), offset);
  if (parms == nullptr || parms->Is(ObjectKind::Null)) return;
  if (!parms->Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::TypeMismatch, offset);
  const auto valueOr = [&](std::string_view key, std::int64_t fallback) {
    const PdfObject* value = objects_.Get(*parms->dict, key);
    return value == nullptr ? fallback : IntegerOf(value, offset);
  };
  const std::int64_t predictor = valueOr("Predictor", XrefStreamLayout::kNoPredictor);
  if (predictor == XrefStreamLayout::kNoPredictor) return;
  if (predictor < XrefStreamLayout::kFirstPngPredictor ||
      predictor > XrefStreamLayout::kLastPngPredictor)
    Raise(PdfErrorKind::TypeMismatch, offset);
  const std::int64_t columns = valueOr("Columns", 1);
  const std::int64_t colors = valueOr("Colors", 1);
  if (valueOr("BitsPerComponent", 8) != 8 || colors < 1 || colors > 4)
    Raise(PdfErrorKind::TypeMismatch, offset);
  if (columns < 1 || columns > std::int64_t{XrefStreamLayout::kMaxColumns})
    Raise(PdfErrorKind::RangeCheck, offset);
  layout.predictor = static_cast<int>(predictor);
  layout.columns = static_cast<std::size_t>(columns) * static_cast<std::size_t>(colors);
  layout.bytesPerPixel = static_cast<std::size_t>(colors);
}

XrefStreamLayout XrefReader::LayoutOf(const PdfDict& dict, std::int64_t offset) {
  XrefStreamLayout layout;
  const PdfObject& widths = Required(objects_.Get(dict, "W"), offset);
  if (!widths.Is(ObjectKind::Array) || widths.array->Count() != layout.widths.size())
    Raise(PdfErrorKind::TypeMismatch, offset);
  for (std::size_t i = 0; i < layout.widths.size(); ++i) {
    const std::int64_t width = IntegerOf(widths.array->At(i), offset);
    if (width < 0 || width > XrefStreamLayout::kMaxFieldWidth)
      Raise(PdfErrorKind::RangeCheck, offset);
    layout.widths[i] = static_cast<int>(width);
  }
  if (layout.EntryWidth() == 0) Raise(PdfErrorKind::RangeCheck, offset);

  const std::int64_t size = IntegerOf(&Required(objects_.Get(dict, "Size"), offset), offset);
  if (size < 0 || !FitsInt32(size)) Raise(PdfErrorKind::RangeCheck, offset);
  const PdfObject* index = objects_.Get(dict, "Index");
  if (index == nullptr) {
    layout.subsections.emplace_back(0, static_cast<std::int32_t>(size));
  } else {
    if (!index->Is(ObjectKind::Array) || index->array->Count() % 2 != 0)
      Raise(PdfErrorKind::TypeMismatch, offset);
    for (std::size_t i = 0; i < index->array->Count(); i += 2) {
      const std::int64_t first = IntegerOf(index->array->At(i), offset);
      const std::int64_t count = IntegerOf(index->array->At(i + 1), offset);
      if (first < 0 || count < 0 || !FitsInt32(first) || !FitsInt32(first + count))
        Raise(PdfErrorKind::RangeCheck, offset);
      layout.subsections.emplace_back(static_cast<std::int32_t>(first),
                                      static_cast<std::int32_t>(count));
    }
  }
  // Every object listed takes at least one byte of the file; the streams of
  // a query together may list each byte's worth once, which leaves room for
  // many updates of a real file, and the table's memory stays bounded.
  streamEntries_ += layout.EntryCount();
  if (streamEntries_ > static_cast<std::uint64_t>(parser_.lexer().Size()) ||
      streamEntries_ > kMaxStreamEntries)
    Raise(PdfErrorKind::RangeCheck, offset);
  ReadDecodeParms(dict, layout, offset);
  return layout;
}

}  // namespace pagewire::pdf

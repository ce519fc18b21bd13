// Open and the cross-reference reading: the chain of classic tables from the
// newest section back through "Prev", the newest trailer's facts, and the
// fetching of indirect objects.
#include "pdf/pdf_reader.h"

#include <limits>
#include <set>

#include "pdf/pdf_error.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {
namespace {

// Each entry takes at least "0 0 n" and a separator; a count that the rest
// of the file cannot hold is refused before anything is set up for it.
constexpr std::int64_t kMinEntryBytes = 6;

bool FitsInt32(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace

KeywordClass ClassOfKeyword(std::string_view keyword) {
  if (keyword == "xref") return KeywordClass::Xref;
  if (keyword == "trailer") return KeywordClass::Trailer;
  if (keyword == "startxref") return KeywordClass::StartXref;
  if (keyword == "obj") return KeywordClass::Obj;
  return KeywordClass::Other;
}

PdfReader::PdfReader() = default;
PdfReader::~PdfReader() = default;

bool PdfReader::OpenInput(const char* path) { return input_.Open(path); }

const PdfObject* PdfReader::Keep(ObjectPtr object) {
  kept_.push_back(std::move(object));
  return kept_.back().get();
}

std::int64_t PdfReader::NextInteger() {
  if (NextToken() != TokenKind::Integer) Raise(PdfErrorKind::Syntax);
  PdfObject number;
  FillInteger(number);
  return number.integer;
}

// The start of the file without the keyword: nothing more to find.
void PdfReader::FindBackward(std::string_view keyword) {
  if (!input_.FindBackward(keyword)) Raise(PdfErrorKind::Syntax);
}

void PdfReader::ReadXrefSection() {
  if (NextToken() != TokenKind::Keyword || ClassOfKeyword(TokenText()) != KeywordClass::Xref)
    Raise(PdfErrorKind::Syntax);
  TokenKind token = NextToken();
  while (token == TokenKind::Integer) {
    PdfObject firstObject;
    FillInteger(firstObject);
    const std::int64_t first = firstObject.integer;
    const std::int64_t count = NextInteger();
    if (first < 0 || !FitsInt32(first) || !FitsInt32(count)) Raise(PdfErrorKind::RangeCheck);
    if (count > input_.Size() / kMinEntryBytes + 1) Raise(PdfErrorKind::RangeCheck);
    xref_->AddSubsection(static_cast<std::int32_t>(first), static_cast<std::int32_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
      const std::int64_t offset = NextInteger();
      const std::int64_t generation = NextInteger();
      if (NextToken() != TokenKind::Keyword || (!TokenIs("f") && !TokenIs("n")))
        Raise(PdfErrorKind::Syntax);
      if (!FitsInt32(first + i) || !FitsInt32(generation)) Raise(PdfErrorKind::RangeCheck);
      xref_->SetEntry(static_cast<std::int32_t>(first + i), offset,
                      static_cast<std::int32_t>(generation), token_[0]);
    }
    token = NextToken();
  }
  if (token != TokenKind::Keyword || ClassOfKeyword(TokenText()) != KeywordClass::Trailer)
    Raise(PdfErrorKind::Syntax);
}

void PdfReader::ReadNewestTrailerFacts(const PdfDict& trailer) {
  root_ = trailer.Find("Root");
  // A trailer without Root is no trailer of a usable file.
  if (root_ == nullptr) Raise(PdfErrorKind::ObjectNotFound);
  if (!root_->Is(ObjectKind::Reference)) Raise(PdfErrorKind::TypeMismatch);
  id_ = Get(trailer, "ID");
  encrypt_ = trailer.Find("Encrypt");
  encrypted_ = encrypt_ != nullptr;
}

std::int64_t PdfReader::ReadTrailer() {
  const PdfObject* trailer = Keep(ReadObject());
  if (!trailer->Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::Syntax);
  if (NextToken() != TokenKind::Keyword ||
      ClassOfKeyword(TokenText()) != KeywordClass::StartXref)
    Raise(PdfErrorKind::Syntax);
  std::int64_t previous = -1;
  if (const PdfObject* prev = Get(*trailer->dict, "Prev")) {
    if (!prev->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
    if (prev->integer < -1) Raise(PdfErrorKind::RangeCheck);
    previous = prev->integer;
  }
  if (root_ == nullptr) ReadNewestTrailerFacts(*trailer->dict);
  return previous;
}

const PdfObject* PdfReader::FetchObject(const PdfObject& reference) {
  const PdfRef ref = reference.ref;
  const auto entry = xref_ ? xref_->Lookup(ref.number) : std::nullopt;
  if (!entry) Raise(PdfErrorKind::ObjectNotFound);
  if (!input_.Seek(entry->offset)) Raise(PdfErrorKind::RangeCheck);
  if (NextInteger() != ref.number || NextInteger() != ref.generation) Raise(PdfErrorKind::Syntax);
  if (NextToken() != TokenKind::Keyword || ClassOfKeyword(TokenText()) != KeywordClass::Obj)
    Raise(PdfErrorKind::Syntax);
  return Keep(ReadObject());
}

// A fetched object is returned as it stands: an object whose body is itself
// "n g R" reads as an integer, so Get never follows more than one reference.
const PdfObject* PdfReader::Get(const PdfDict& dict, std::string_view key) {
  const PdfObject* value = dict.Find(key);
  return (value != nullptr && value->Is(ObjectKind::Reference)) ? FetchObject(*value) : value;
}

const PdfObject* PdfReader::Get(const PdfArray& array, std::size_t index) {
  const PdfObject* value = array.At(index);
  return (value != nullptr && value->Is(ObjectKind::Reference)) ? FetchObject(*value) : value;
}

void PdfReader::ReadSecurity() {
  const PdfObject* encrypt = encrypt_;
  // Encrypt may be written inline; a dictionary is what both forms must give.
  if (encrypt->Is(ObjectKind::Reference)) encrypt = FetchObject(*encrypt);
  if (!encrypt->Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::TypeMismatch);
  const PdfObject* idElement = nullptr;
  if (id_ != nullptr) {
    if (!id_->Is(ObjectKind::Array)) Raise(PdfErrorKind::TypeMismatch);
    idElement = Get(*id_->array, 0);
  }
  handler_ = std::make_unique<StandardSecurityHandler>();
  ReadEncryptDict(*encrypt->dict, idElement);
}

void PdfReader::Open(const char* path) {
  if (!OpenInput(path)) Raise(PdfErrorKind::ObjectNotFound);
  ReadStructure();
}

void PdfReader::OpenMemory(std::string_view bytes) {
  if (!OpenInputMemory(bytes)) Raise(PdfErrorKind::ObjectNotFound);
  ReadStructure();
}

void PdfReader::ReadStructure() {
  input_.Seek(0, PdfFile::Origin::End);
  FindBackward("%%EOF");
  FindBackward("startxref");
  if (NextToken() != TokenKind::Keyword ||
      ClassOfKeyword(TokenText()) != KeywordClass::StartXref)
    Raise(PdfErrorKind::Syntax);
  std::int64_t offset = NextInteger();
  if (offset < 0) Raise(PdfErrorKind::RangeCheck);
  xref_ = std::make_unique<XrefTable>();
  // A Prev chain that comes back to a section already read would never end.
  std::set<std::int64_t> visited;
  while (offset != -1) {
    if (!visited.insert(offset).second) Raise(PdfErrorKind::Syntax);
    if (!input_.Seek(offset)) Raise(PdfErrorKind::RangeCheck);
    ReadXrefSection();
    offset = ReadTrailer();
  }
  if (encrypted_) ReadSecurity();
}

}  // namespace pagewire::pdf

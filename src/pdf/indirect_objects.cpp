#include "pdf/indirect_objects.h"

#include <utility>

#include "pdf/pdf_error.h"

namespace pagewire::pdf {

const PdfObject* IndirectObjects::Keep(ObjectPtr object) {
  kept_.push_back(std::move(object));
  return kept_.back().get();
}

ObjectPtr IndirectObjects::ReadAt(std::int64_t offset, const PdfRef& expected) {
  Lexer& lexer = parser_.lexer();
  if (!lexer.Seek(offset)) Raise(PdfErrorKind::RangeCheck, offset);
  if (parser_.NextInteger() != expected.number || parser_.NextInteger() != expected.generation)
    Raise(PdfErrorKind::Syntax, offset);
  parser_.ExpectKeyword(KeywordClass::Obj);
  return parser_.ReadObject();
}

// The entry's letter is not looked at, except that an object stream's
// member cannot be read from an offset.
const PdfObject* IndirectObjects::Fetch(const PdfObject& reference) {
  const auto entry = xref_.Lookup(reference.ref.number);
  if (!entry || entry->type == XrefEntry::kCompressed) Raise(PdfErrorKind::ObjectNotFound);
  return Keep(ReadAt(entry->offset, reference.ref));
}

// A fetched object is returned as it stands: an object whose body is itself
// "n g R" reads as an integer, so Get never follows more than one reference.
const PdfObject* IndirectObjects::Get(const PdfDict& dict, std::string_view key) {
  const PdfObject* value = dict.Find(key);
  return (value != nullptr && value->Is(ObjectKind::Reference)) ? Fetch(*value) : value;
}

const PdfObject* IndirectObjects::Get(const PdfArray& array, std::size_t index) {
  const PdfObject* value = array.At(index);
  return (value != nullptr && value->Is(ObjectKind::Reference)) ? Fetch(*value) : value;
}

}  // namespace pagewire::pdf

// Indirect objects by reference: the cross-reference entry gives the offset,
// the object header there must match, and the object read is kept for the
// rest of the query.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "pdf/object_parser.h"
#include "pdf/pdf_object.h"
#include "pdf/xref_table.h"

namespace pagewire::pdf {

class IndirectObjects {
 public:
  IndirectObjects(ObjectParser& parser, const XrefTable& xref) : parser_(parser), xref_(xref) {}
  IndirectObjects(const IndirectObjects&) = delete;
  IndirectObjects& operator=(const IndirectObjects&) = delete;

  // The object a reference names, through the entries read so far. An
  // object kept in an object stream is not read: ObjectNotFound.
  const PdfObject* Fetch(const PdfObject& reference);
  // The object "n g obj" at `offset` names, checked against `expected`.
  ObjectPtr ReadAt(std::int64_t offset, const PdfRef& expected);

  // Find or At, then Fetch when the value is a reference.
  const PdfObject* Get(const PdfDict& dict, std::string_view key);
  const PdfObject* Get(const PdfArray& array, std::size_t index);

  // Keeps an object for the rest of the query; returns it.
  const PdfObject* Keep(ObjectPtr object);

 private:
  ObjectParser& parser_;
  const XrefTable& xref_;
  std::vector<ObjectPtr> kept_;
};

}  // namespace pagewire::pdf

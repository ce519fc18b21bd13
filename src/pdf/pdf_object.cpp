#include "pdf/pdf_object.h"

namespace pagewire::pdf {

PdfObject::PdfObject() = default;
PdfObject::~PdfObject() = default;

const PdfObject* PdfDict::Find(std::string_view key) const {
  for (const auto& [k, v] : entries_)
    if (k == key) return v.get();
  return nullptr;
}

}  // namespace pagewire::pdf

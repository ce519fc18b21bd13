#include "pdf/pdf_error.h"

namespace pagewire::pdf {

const char* PdfError::what() const noexcept {
  switch (kind_) {
    case PdfErrorKind::Syntax: return "Syntax";
    case PdfErrorKind::TypeMismatch: return "TypeMismatch";
    case PdfErrorKind::ObjectNotFound: return "ObjectNotFound";
    case PdfErrorKind::RangeCheck: return "RangeCheck";
    case PdfErrorKind::StackOverflow: return "StackOverflow";
    case PdfErrorKind::StackUnderflow: return "StackUnderflow";
  }
  return "PdfError";
}

}  // namespace pagewire::pdf

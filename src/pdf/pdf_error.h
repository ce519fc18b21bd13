// The six ways the PDF reader gives up. Raising one abandons the whole query;
// the exported queries turn every one of them into -1.
#pragma once

#include <exception>

namespace pagewire::pdf {

enum class PdfErrorKind {
  Syntax,
  TypeMismatch,
  ObjectNotFound,
  RangeCheck,
  StackOverflow,
  StackUnderflow,
};

class PdfError : public std::exception {
 public:
  explicit PdfError(PdfErrorKind kind) : kind_(kind) {}
  PdfErrorKind kind() const { return kind_; }
  const char* what() const noexcept override;

 private:
  PdfErrorKind kind_;
};

[[noreturn]] inline void Raise(PdfErrorKind kind) { throw PdfError(kind); }

}  // namespace pagewire::pdf

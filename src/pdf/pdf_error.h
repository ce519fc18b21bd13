// The six ways the PDF reader gives up, with the file offset where it did
// when one is known. Raising one abandons the whole query; the exported
// queries turn every one of them into -1.
#pragma once

#include <cstdint>
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
  static constexpr std::int64_t kNoOffset = -1;

  explicit PdfError(PdfErrorKind kind, std::int64_t offset = kNoOffset)
      : kind_(kind), offset_(offset) {}
  PdfErrorKind kind() const { return kind_; }
  // Where in the file the reader gave up; kNoOffset when no place applies.
  std::int64_t offset() const { return offset_; }
  // The kind's name.
  const char* what() const noexcept override;

 private:
  PdfErrorKind kind_;
  std::int64_t offset_;
};

[[noreturn]] inline void Raise(PdfErrorKind kind, std::int64_t offset = PdfError::kNoOffset) {
  throw PdfError(kind, offset);
}

}  // namespace pagewire::pdf

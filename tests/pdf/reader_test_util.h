// Runs the reader's byte source, lexer and object parser over literal bytes.
#pragma once

#include <string>
#include <string_view>

#include "pdf/byte_source.h"
#include "pdf/indirect_objects.h"
#include "pdf/object_parser.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_lexer.h"
#include "pdf/pdf_reader.h"
#include "pdf/xref_reader.h"
#include "pdf/xref_table.h"
#include "pdf_test_util.h"

namespace pagewire::test {

// The layers of one reader over bytes kept by the harness, positioned at
// their start.
class ParserHarness {
 public:
  explicit ParserHarness(std::string_view bytes) : bytes_(bytes) {
    source_.OpenMemory(bytes_);
    source_.Seek(0, pdf::ByteSource::Origin::Start);
  }

  pdf::TokenKind NextToken() { return lexer_.NextToken().kind; }
  std::string_view TokenText() const { return lexer_.TokenText(); }
  std::size_t LiteralStringLength() const { return lexer_.LiteralStringLength(); }
  pdf::TokenKind ParseObject(pdf::PdfObject& object) { return parser_.ParseObject(object); }
  pdf::ObjectPtr ReadObject() { return parser_.ReadObject(); }
  void FindBackward(std::string_view keyword) { xrefReader_.FindBackward(keyword); }
  pdf::Lexer& input() { return lexer_; }
  pdf::Lexer& lexer() { return lexer_; }
  pdf::XrefReader& xrefReader() { return xrefReader_; }
  pdf::XrefTable& xref() { return xref_; }

 private:
  std::string bytes_;
  pdf::ByteSource source_;
  pdf::Lexer lexer_{source_};
  pdf::ObjectParser parser_{lexer_};
  pdf::XrefTable xref_;
  pdf::IndirectObjects objects_{parser_, xref_};
  pdf::XrefReader xrefReader_{parser_, xref_, objects_};
};

class ReaderOver {
 public:
  explicit ReaderOver(std::string_view bytes) : harness_(bytes) {}
  ParserHarness& operator*() { return harness_; }
  ParserHarness* operator->() { return &harness_; }

 private:
  ParserHarness harness_;
};

// The kind of error that `action` raises; none when it raises nothing.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const pdf::PdfError& error) {
    return error.what();
  }
  return "none";
}

}  // namespace pagewire::test

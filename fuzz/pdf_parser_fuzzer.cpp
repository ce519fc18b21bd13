// Feeds each input from memory, read in place, to the lexer and object
// parser alone, object after object from the start until the end or the
// first error, and then to the whole reading of the file: cross-reference
// tables and streams (inflated and unfiltered), trailers and the encryption
// dictionary.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pdf/byte_source.h"
#include "pdf/object_parser.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_lexer.h"
#include "pdf/pdf_reader.h"

using pagewire::pdf::ByteSource;
using pagewire::pdf::Lexer;
using pagewire::pdf::ObjectParser;
using pagewire::pdf::PdfError;
using pagewire::pdf::PdfObject;
using pagewire::pdf::PdfReader;
using pagewire::pdf::TokenKind;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    ByteSource source;
    source.OpenMemory(bytes);
    source.Seek(0, ByteSource::Origin::Start);
    Lexer lexer(source);
    ObjectParser parser(lexer);
    for (;;) {
      PdfObject object;
      if (parser.ParseObject(object) == TokenKind::EndOfFile) break;
    }
  } catch (const PdfError&) {
  }
  try {
    PdfReader reader;
    reader.OpenMemory(bytes);
  } catch (const PdfError&) {
  }
  return 0;
}

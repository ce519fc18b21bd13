// Feeds each input from memory to the lexer and object parser alone, object
// after object from the start until the end or the first error, and then to
// the cross-reference and trailer reading.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pdf/pdf_error.h"
#include "pdf/pdf_reader.h"

using pagewire::pdf::PdfError;
using pagewire::pdf::PdfObject;
using pagewire::pdf::PdfReader;
using pagewire::pdf::TokenKind;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    PdfReader reader;
    reader.OpenInputMemory(bytes);
    reader.input().Seek(0);
    for (;;) {
      PdfObject object;
      if (reader.ParseObject(object) == TokenKind::EndOfFile) break;
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

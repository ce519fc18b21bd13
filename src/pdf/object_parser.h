// Tokens to objects: arrays and dictionaries gathered on the object stack,
// "n g R" folded into references, a dictionary followed by "stream" made a
// stream. One parser per query: its limits count over the whole query.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pdf/object_stack.h"
#include "pdf/pdf_lexer.h"
#include "pdf/pdf_object.h"

namespace pagewire::pdf {

class ObjectParser {
 public:
  // Arrays and dictionaries nest by recursion; real files nest a few levels.
  static constexpr int kMaxNestingDepth = 256;
  // Bytes of parsed objects per query. Trailers and an encryption
  // dictionary need a few KiB; this only stops hostile files.
  static constexpr std::size_t kMaxParsedBytes = 64u << 20;

  explicit ObjectParser(Lexer& lexer) : lexer_(lexer) {}
  ObjectParser(const ObjectParser&) = delete;
  ObjectParser& operator=(const ObjectParser&) = delete;

  // Fills `object` from the next token and returns the token's kind; a
  // token that makes no object (']', '>>', braces, the end of the file)
  // leaves it as is.
  TokenKind ParseObject(PdfObject& object);
  // A new object, with the look-ahead for "stream" after a dictionary; at
  // the end of the file an empty string, as a new object stands.
  ObjectPtr ReadObject();
  // The next token as an integer; Syntax when it is not one.
  std::int64_t NextInteger();
  // The next token is a keyword of this class; Syntax when not.
  void ExpectKeyword(KeywordClass keywordClass);

  Lexer& lexer() { return lexer_; }

 private:
  ObjectPtr NewObject();
  void Charge(std::size_t bytes);
  void FillKeyword(PdfObject& object, const Token& token);
  void FillInteger(PdfObject& object, const Token& token);
  void FillHexString(PdfObject& object);
  void PushElementsUntil(TokenKind closing, std::int64_t start);
  void FillArray(PdfObject& object, std::int64_t start);
  void FillDict(PdfObject& object, std::int64_t start);
  ObjectPtr PopFolded(std::int64_t start);
  ObjectPtr PopInteger(std::int64_t start);

  Lexer& lexer_;
  ObjectStack stack_;
  std::size_t parsedBytes_ = 0;
  int depth_ = 0;
};

}  // namespace pagewire::pdf

// One query's view of a PDF file: the lexer, the object parser, the
// cross-reference reading and the facts of the newest trailer.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "pdf/object_stack.h"
#include "pdf/pdf_input.h"
#include "pdf/pdf_object.h"
#include "pdf/xref_table.h"

namespace pagewire::pdf {

class StandardSecurityHandler;

enum class TokenKind : int {
  EndOfFile = -1,
  Error = 0,
  Keyword = 1,
  Integer = 2,
  Real = 3,
  LiteralString = 4,
  HexString = 5,
  Name = 6,
  ArrayStart = 7,
  ArrayEnd = 8,
  DictStart = 9,
  DictEnd = 10,
  BraceOpen = 11,
  BraceClose = 12,
};

enum class KeywordClass : int { Xref = 0, Trailer = 1, StartXref = 2, Obj = 3, Other = 4 };
KeywordClass ClassOfKeyword(std::string_view keyword);

class PdfReader {
 public:
  // Holds the text of one token and its NUL.
  static constexpr std::size_t kTokenBufferSize = 2080;
  // Arrays and dictionaries nest by recursion; real files nest a few levels.
  static constexpr int kMaxNestingDepth = 256;
  // Bytes of parsed objects per query. A trailer and an encryption
  // dictionary need a few KiB; this only stops hostile files.
  static constexpr std::size_t kMaxParsedBytes = 64u << 20;

  PdfReader();
  ~PdfReader();
  PdfReader(const PdfReader&) = delete;
  PdfReader& operator=(const PdfReader&) = delete;

  // Reads the cross-reference chain and the newest trailer and, for an
  // encrypted file, the encryption dictionary. Raises PdfError.
  void Open(const char* path);
  void OpenMemory(std::string_view bytes);
  // Opens the file (or bytes) only, for reading tokens and objects.
  bool OpenInput(const char* path);
  bool OpenInputMemory(std::string_view bytes) { return input_.OpenMemory(bytes); }

  // Lexer and parser.
  int SkipSpace();
  TokenKind NextToken();
  TokenKind ParseObject(PdfObject& object);
  ObjectPtr ReadObject();

  // Cross-reference reading.
  void FindBackward(std::string_view keyword);
  void ReadXrefSection();
  std::int64_t ReadTrailer();
  const PdfObject* FetchObject(const PdfObject& reference);
  const PdfObject* Get(const PdfDict& dict, std::string_view key);
  const PdfObject* Get(const PdfArray& array, std::size_t index);

  // Encryption dictionary into the security handler.
  void ReadEncryptDict(const PdfDict& encrypt, const PdfObject* idElement);

  std::string_view TokenText() const { return {token_.data(), tokenLength_}; }
  std::size_t LiteralStringLength() const { return literalLength_; }
  PdfInput& input() { return input_; }
  const XrefTable* xrefTable() const { return xref_.get(); }
  const PdfObject* id() const { return id_; }
  const PdfObject* root() const { return root_; }
  const PdfObject* encrypt() const { return encrypt_; }
  bool encrypted() const { return encrypted_; }
  bool printDisabled() const { return printDisabled_; }
  StandardSecurityHandler* securityHandler() const { return handler_.get(); }

 private:
  // Lexer helpers, one per token kind.
  void SkipComment();
  void Store(int c);
  TokenKind LexKeyword(int c);
  TokenKind LexNumber(int c);
  TokenKind LexName();
  TokenKind LexLiteralString();
  bool LexOctalEscape(int first);
  TokenKind LexAfterLess();
  bool TokenIs(std::string_view text) const { return TokenText() == text; }

  // Parser helpers.
  ObjectPtr NewObject();
  void Charge(std::size_t bytes);
  void FillKeyword(PdfObject& object);
  void FillInteger(PdfObject& object);
  void FillHexString(PdfObject& object);
  void PushElementsUntil(TokenKind closing);
  void FillArray(PdfObject& object);
  void FillDict(PdfObject& object);
  ObjectPtr PopFolded();
  std::int64_t NextInteger();  // Syntax when the next token is not one
  const PdfObject* Keep(ObjectPtr object);

  void ReadStructure();
  void ReadNewestTrailerFacts(const PdfDict& trailer);
  void ReadSecurity();

  PdfInput input_;
  std::unique_ptr<XrefTable> xref_;
  ObjectStack stack_;
  std::unique_ptr<StandardSecurityHandler> handler_;
  // Trailers and fetched objects; ID, Root and Encrypt point into them.
  std::vector<ObjectPtr> kept_;
  const PdfObject* id_ = nullptr;
  const PdfObject* root_ = nullptr;
  const PdfObject* encrypt_ = nullptr;
  std::size_t literalLength_ = 0;
  std::array<char, kTokenBufferSize> token_{};
  std::size_t tokenLength_ = 0;
  std::size_t parsedBytes_ = 0;
  int depth_ = 0;
  bool encrypted_ = false;
  bool printDisabled_ = false;
};

}  // namespace pagewire::pdf

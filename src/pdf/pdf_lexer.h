// Bytes to tokens: the kind and file offset of each token, its text in the
// lexer's token buffer, and one character of pushback over the byte source.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "pdf/byte_source.h"

namespace pagewire::pdf {

enum class TokenKind : int {
  EndOfFile = -1,
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

struct Token {
  TokenKind kind = TokenKind::EndOfFile;
  std::int64_t offset = 0;  // of the token's first byte; the end for EndOfFile
};

enum class KeywordClass : int { Xref = 0, Trailer = 1, StartXref = 2, Obj = 3, Other = 4 };
KeywordClass ClassOfKeyword(std::string_view keyword);

class Lexer {
 public:
  // Holds the text of one token and its NUL.
  static constexpr std::size_t kTokenBufferSize = 2080;

  explicit Lexer(ByteSource& source) : source_(source) {}
  Lexer(const Lexer&) = delete;
  Lexer& operator=(const Lexer&) = delete;

  // The first byte above 0x20 that is not in a comment; -1 at the end.
  int SkipSpace();
  // Raises PdfError (Syntax) where no token can be made.
  Token NextToken();

  std::string_view TokenText() const { return {token_.data(), tokenLength_}; }
  // Literal strings may hold NULs: their byte count.
  std::size_t LiteralStringLength() const { return literalLength_; }
  bool TokenIs(std::string_view text) const { return TokenText() == text; }
  // The last token is a keyword of this class.
  bool KeywordIs(TokenKind kind, KeywordClass keywordClass) const {
    return kind == TokenKind::Keyword && ClassOfKeyword(TokenText()) == keywordClass;
  }

  int GetChar() {
    if (pushedBack_) {
      pushedBack_ = false;
      return pushed_;
    }
    return source_.ReadByte();
  }
  // One slot only: a second call before GetChar replaces the first.
  void UngetChar(int c) {
    pushed_ = c;
    pushedBack_ = true;
  }

  // Each drops a pushed-back character.
  bool Seek(std::int64_t offset, ByteSource::Origin origin = ByteSource::Origin::Start) {
    pushedBack_ = false;
    return source_.Seek(offset, origin);
  }
  bool FindBackward(std::string_view keyword) {
    pushedBack_ = false;
    return source_.FindBackward(keyword);
  }
  // The offset of the next character GetChar gives, pushback included.
  std::int64_t Tell() const { return source_.Tell() - (pushedBack_ && pushed_ >= 0 ? 1 : 0); }
  std::int64_t Size() const { return source_.Size(); }
  ByteSource& source() { return source_; }

 private:
  void SkipComment();
  void Store(int c);
  TokenKind LexKeyword(int c);
  TokenKind LexNumber(int c);
  TokenKind LexName();
  TokenKind LexLiteralString();
  void LexOctalEscape(int first);
  TokenKind LexAfterLess();

  ByteSource& source_;
  bool pushedBack_ = false;
  int pushed_ = 0;
  std::size_t literalLength_ = 0;
  std::array<char, kTokenBufferSize> token_{};
  std::size_t tokenLength_ = 0;
};

}  // namespace pagewire::pdf

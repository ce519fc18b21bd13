#include "pdf/pdf_lexer.h"

#include <cstring>

#include "pdf/number_text.h"
#include "pdf/pdf_error.h"

namespace pagewire::pdf {
namespace {

bool IsDelimiter(int c) { return c != 0 && std::strchr("%()/<>[]{}", c) != nullptr; }

// 0x21..0x7E except the delimiters; everything else (and the end of the file)
// ends a keyword or a name.
bool IsRegular(int c) { return c >= 0x21 && c <= 0x7E && !IsDelimiter(c); }

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

}  // namespace

KeywordClass ClassOfKeyword(std::string_view keyword) {
  if (keyword == "xref") return KeywordClass::Xref;
  if (keyword == "trailer") return KeywordClass::Trailer;
  if (keyword == "startxref") return KeywordClass::StartXref;
  if (keyword == "obj") return KeywordClass::Obj;
  return KeywordClass::Other;
}

void Lexer::SkipComment() {
  for (;;) {
    const int c = GetChar();
    if (c < 0 || c == '\n') return;
    if (c == '\r') {
      const int next = GetChar();
      if (next >= 0 && next != '\n') UngetChar(next);
      return;
    }
  }
}

int Lexer::SkipSpace() {
  for (;;) {
    const int c = GetChar();
    if (c < 0) return -1;
    if (c == '%') {
      SkipComment();
    } else if (c > 0x20) {
      return c;
    }
  }
}

// A token that would not fit the buffer with its NUL ends the query.
void Lexer::Store(int c) {
  if (tokenLength_ + 1 >= kTokenBufferSize) Raise(PdfErrorKind::Syntax, Tell());
  token_[tokenLength_++] = static_cast<char>(c);
}

TokenKind Lexer::LexKeyword(int c) {
  Store(c);
  for (c = GetChar(); IsRegular(c); c = GetChar()) Store(c);
  UngetChar(c);
  return TokenKind::Keyword;
}

TokenKind Lexer::LexNumber(int c) {
  Store(c);
  for (c = GetChar(); IsDigit(c); c = GetChar()) Store(c);
  TokenKind kind = TokenKind::Integer;
  if (c == '.') {
    Store(c);
    for (c = GetChar(); IsDigit(c); c = GetChar()) Store(c);
    kind = TokenKind::Real;
  }
  UngetChar(c);
  return kind;
}

// A '#' not followed by two hex digits stays in the name as it stands, and
// what follows it is read on as name characters (as qpdf reads it).
TokenKind Lexer::LexName() {
  int c = GetChar();
  while (IsRegular(c)) {
    if (c != '#') {
      Store(c);
      c = GetChar();
      continue;
    }
    const int first = GetChar();
    const int high = HexDigitValue(first);
    if (high < 0) {
      Store('#');
      c = first;
      continue;
    }
    const int second = GetChar();
    const int low = HexDigitValue(second);
    if (low < 0) {
      Store('#');
      Store(first);
      c = second;
      continue;
    }
    Store(high * 16 + low);
    c = GetChar();
  }
  UngetChar(c);
  return TokenKind::Name;
}

// After a backslash and the first octal digit: up to two more make one
// byte; the first other character after them is read again as itself.
void Lexer::LexOctalEscape(int first) {
  int value = first - '0';
  for (int i = 0; i < 2; ++i) {
    const int c = GetChar();
    if (c < '0' || c > '7') {
      UngetChar(c);
      break;
    }
    value = value * 8 + (c - '0');
  }
  Store(value & 0xFF);
  ++literalLength_;
}

TokenKind Lexer::LexLiteralString() {
  literalLength_ = 0;
  int depth = 0;
  for (;;) {
    int c = GetChar();
    if (c < 0) Raise(PdfErrorKind::Syntax, Tell());
    if (c == ')' && depth == 0) return TokenKind::LiteralString;
    if (c == ')') --depth;
    if (c == '(') ++depth;
    if (c == '\\') {
      c = GetChar();
      switch (c) {
        case -1: Raise(PdfErrorKind::Syntax, Tell());
        case 'n': c = '\n'; break;
        case 'r': c = '\r'; break;
        case 't': c = '\t'; break;
        case 'b': c = '\b'; break;
        case 'f': c = '\f'; break;
        case '\r': continue;  // a line break in the source: the next byte stands alone
        case 0x08:
          if (literalLength_ > 0) {
            --literalLength_;
            --tokenLength_;
          }
          continue;
        default:
          if (c >= '0' && c <= '7') {
            LexOctalEscape(c);
            continue;
          }
          break;  // any other byte stands for itself
      }
    }
    Store(c);
    ++literalLength_;
  }
}

// After '<': a second '<' (whitespace between allowed) opens a dictionary,
// anything else is a hex string up to '>'.
TokenKind Lexer::LexAfterLess() {
  int c = SkipSpace();
  if (c == '<') {
    Store('<');
    Store('<');
    return TokenKind::DictStart;
  }
  for (; c != '>'; c = SkipSpace()) {
    if (HexDigitValue(c) < 0) Raise(PdfErrorKind::Syntax, c < 0 ? Tell() : Tell() - 1);
    Store(c >= 'a' ? c - ('a' - 'A') : c);
  }
  return TokenKind::HexString;
}

Token Lexer::NextToken() {
  tokenLength_ = 0;
  const int c = SkipSpace();
  // The first character has been taken: it stood just before the position.
  const std::int64_t offset = c < 0 ? Tell() : Tell() - 1;
  TokenKind kind;
  if (IsLetter(c)) {
    kind = LexKeyword(c);
  } else if (c == '\'' || c == '"') {
    Store(c);
    kind = TokenKind::Keyword;
  } else if (c == '+' || c == '-' || IsDigit(c)) {
    kind = LexNumber(c);
  } else {
    switch (c) {
      case '/': kind = LexName(); break;
      case '(': kind = LexLiteralString(); break;
      case '<': kind = LexAfterLess(); break;
      case '>':
        if (GetChar() != '>') Raise(PdfErrorKind::Syntax, offset);
        Store('>');
        Store('>');
        kind = TokenKind::DictEnd;
        break;
      case '[': Store(c); kind = TokenKind::ArrayStart; break;
      case ']': Store(c); kind = TokenKind::ArrayEnd; break;
      case '{': Store(c); kind = TokenKind::BraceOpen; break;
      case '}': Store(c); kind = TokenKind::BraceClose; break;
      case -1: kind = TokenKind::EndOfFile; break;
      default: Raise(PdfErrorKind::Syntax, offset);
    }
  }
  token_[tokenLength_] = '\0';
  return Token{kind, offset};
}

}  // namespace pagewire::pdf

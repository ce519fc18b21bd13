// NextToken and its helpers: bytes to tokens, the text of each token in the
// reader's token buffer.
#include <cstring>

#include "pdf/pdf_error.h"
#include "pdf/pdf_reader.h"

namespace pagewire::pdf {
namespace {

bool IsDelimiter(int c) { return c != 0 && std::strchr("%()/<>[]{}", c) != nullptr; }

// 0x21..0x7E except the delimiters; everything else (and the end of the file)
// ends a keyword or a name.
bool IsRegular(int c) { return c >= 0x21 && c <= 0x7E && !IsDelimiter(c); }

bool IsDigit(int c) { return c >= '0' && c <= '9'; }
bool IsLetter(int c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void PdfReader::SkipComment() {
  for (;;) {
    const int c = input_.GetChar();
    if (c < 0 || c == '\n') return;
    if (c == '\r') {
      const int next = input_.GetChar();
      if (next >= 0 && next != '\n') input_.UngetChar(next);
      return;
    }
  }
}

int PdfReader::SkipSpace() {
  for (;;) {
    const int c = input_.GetChar();
    if (c < 0) return -1;
    if (c == '%') {
      SkipComment();
    } else if (c > 0x20) {
      return c;
    }
  }
}

// A token that would not fit the buffer with its NUL ends the query.
void PdfReader::Store(int c) {
  if (tokenLength_ + 1 >= kTokenBufferSize) Raise(PdfErrorKind::Syntax);
  token_[tokenLength_++] = static_cast<char>(c);
}

TokenKind PdfReader::LexKeyword(int c) {
  Store(c);
  for (c = input_.GetChar(); IsRegular(c); c = input_.GetChar()) Store(c);
  input_.UngetChar(c);
  return TokenKind::Keyword;
}

TokenKind PdfReader::LexNumber(int c) {
  Store(c);
  for (c = input_.GetChar(); IsDigit(c); c = input_.GetChar()) Store(c);
  TokenKind kind = TokenKind::Integer;
  if (c == '.') {
    Store(c);
    for (c = input_.GetChar(); IsDigit(c); c = input_.GetChar()) Store(c);
    kind = TokenKind::Real;
  }
  input_.UngetChar(c);
  return kind;
}

TokenKind PdfReader::LexName() {
  int c = input_.GetChar();
  for (; IsRegular(c); c = input_.GetChar()) {
    if (c != '#') {
      Store(c);
      continue;
    }
    const int high = HexValue(input_.GetChar());
    if (high < 0) return TokenKind::Error;
    const int low = HexValue(input_.GetChar());
    if (low < 0) return TokenKind::Error;
    Store(high * 16 + low);
  }
  input_.UngetChar(c);
  return TokenKind::Name;
}

// After a backslash and the first octal digit: two more make one byte.
bool PdfReader::LexOctalEscape(int first) {
  int value = first - '0';
  for (int i = 0; i < 2; ++i) {
    const int c = input_.GetChar();
    if (c < '0' || c > '7') return false;
    value = value * 8 + (c - '0');
  }
  Store(value & 0xFF);
  ++literalLength_;
  return true;
}

TokenKind PdfReader::LexLiteralString() {
  literalLength_ = 0;
  int depth = 0;
  for (;;) {
    int c = input_.GetChar();
    if (c < 0) Raise(PdfErrorKind::Syntax);
    if (c == ')' && depth == 0) return TokenKind::LiteralString;
    if (c == ')') --depth;
    if (c == '(') ++depth;
    if (c == '\\') {
      c = input_.GetChar();
      switch (c) {
        case -1: Raise(PdfErrorKind::Syntax);
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
            if (!LexOctalEscape(c)) return TokenKind::Error;
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
TokenKind PdfReader::LexAfterLess() {
  int c = SkipSpace();
  if (c == '<') {
    Store('<');
    Store('<');
    return TokenKind::DictStart;
  }
  for (; c != '>'; c = SkipSpace()) {
    if (HexValue(c) < 0) Raise(PdfErrorKind::Syntax);
    Store(c >= 'a' ? c - ('a' - 'A') : c);
  }
  return TokenKind::HexString;
}

TokenKind PdfReader::NextToken() {
  tokenLength_ = 0;
  const int c = SkipSpace();
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
        if (input_.GetChar() != '>') Raise(PdfErrorKind::Syntax);
        Store('>');
        Store('>');
        kind = TokenKind::DictEnd;
        break;
      case '[': Store(c); kind = TokenKind::ArrayStart; break;
      case ']': Store(c); kind = TokenKind::ArrayEnd; break;
      case '{': Store(c); kind = TokenKind::BraceOpen; break;
      case '}': Store(c); kind = TokenKind::BraceClose; break;
      case -1: kind = TokenKind::EndOfFile; break;
      default: Raise(PdfErrorKind::Syntax);
    }
  }
  token_[tokenLength_] = '\0';
  return kind;
}

}  // namespace pagewire::pdf

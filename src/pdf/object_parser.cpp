#include "pdf/object_parser.h"

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "pdf/number_text.h"
#include "pdf/pdf_error.h"

namespace pagewire::pdf {
namespace {

// Counts one more nesting level for as long as it lives.
class DepthGuard {
 public:
  DepthGuard(int& depth, std::int64_t offset) : depth_(depth) {
    if (++depth_ > ObjectParser::kMaxNestingDepth) {
      --depth_;
      Raise(PdfErrorKind::StackOverflow, offset);
    }
  }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

void ObjectParser::Charge(std::size_t bytes) {
  parsedBytes_ += bytes;
  if (parsedBytes_ > kMaxParsedBytes) Raise(PdfErrorKind::RangeCheck, lexer_.Tell());
}

ObjectPtr ObjectParser::NewObject() {
  Charge(sizeof(PdfObject));
  return std::make_unique<PdfObject>();
}

void ObjectParser::FillKeyword(PdfObject& object, const Token& token) {
  if (lexer_.TokenIs("null")) {
    object.kind = ObjectKind::Null;
  } else if (lexer_.TokenIs("true") || lexer_.TokenIs("false")) {
    object.kind = ObjectKind::Boolean;
    object.boolean = lexer_.TokenIs("true");
  } else if (lexer_.TokenIs("R")) {
    object.kind = ObjectKind::Reference;
  } else if (lexer_.TokenIs("stream")) {
    object.kind = ObjectKind::Stream;
  } else {
    Raise(PdfErrorKind::Syntax, token.offset);
  }
}

void ObjectParser::FillInteger(PdfObject& object, const Token& token) {
  const auto value = ParseIntegerText(lexer_.TokenText());
  if (!value) Raise(PdfErrorKind::RangeCheck, token.offset);
  object.kind = ObjectKind::Integer;
  object.integer = *value;
}

// The lexer has checked the digits and made them uppercase; an odd last
// digit is the high half of the last byte.
void ObjectParser::FillHexString(PdfObject& object) {
  const std::string_view digits = lexer_.TokenText();
  object.kind = ObjectKind::String;
  object.bytes.assign((digits.size() + 1) / 2, '\0');
  Charge(object.bytes.size());
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const int nibble = HexDigitValue(digits[i]);
    auto& byte = object.bytes[i / 2];
    byte = static_cast<char>(byte | (i % 2 == 0 ? nibble << 4 : nibble));
  }
}

ObjectPtr ObjectParser::PopInteger(std::int64_t start) {
  ObjectPtr top = stack_.Pop();
  if (!top || !top->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch, start);
  return top;
}

// The object on top of the stack (none for the mark); an "R" marker takes
// the generation and the object number below it and becomes the reference
// that stands for all three.
ObjectPtr ObjectParser::PopFolded(std::int64_t start) {
  ObjectPtr top = stack_.Pop();
  if (!top || !top->Is(ObjectKind::Reference)) return top;
  ObjectPtr generation = PopInteger(start);
  ObjectPtr number = PopInteger(start);
  if (!FitsInt32(number->integer) || !FitsInt32(generation->integer))
    Raise(PdfErrorKind::RangeCheck, start);
  number->kind = ObjectKind::Reference;
  number->ref = PdfRef{static_cast<std::int32_t>(number->integer),
                       static_cast<std::int32_t>(generation->integer)};
  return number;
}

// Pushes a mark, then every object up to the closing token, whatever its
// kind; the end of the file before that token is a syntax error.
void ObjectParser::PushElementsUntil(TokenKind closing, std::int64_t start) {
  Charge(sizeof(PdfObject));  // as much as an object: the limits stay put
  stack_.PushMark();
  for (;;) {
    ObjectPtr element = NewObject();
    const TokenKind token = ParseObject(*element);
    if (token == closing) return;
    if (token == TokenKind::EndOfFile) Raise(PdfErrorKind::Syntax, start);
    stack_.Push(std::move(element));
  }
}

void ObjectParser::FillArray(PdfObject& object, std::int64_t start) {
  DepthGuard guard(depth_, start);
  PushElementsUntil(TokenKind::ArrayEnd, start);
  std::vector<ObjectPtr> reversed;
  for (ObjectPtr top = PopFolded(start); top; top = PopFolded(start))
    reversed.push_back(std::move(top));
  auto array = std::make_unique<PdfArray>();
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) array->Append(std::move(*it));
  object.kind = ObjectKind::Array;
  object.array = std::move(array);
}

void ObjectParser::FillDict(PdfObject& object, std::int64_t start) {
  DepthGuard guard(depth_, start);
  PushElementsUntil(TokenKind::DictEnd, start);
  std::vector<std::pair<std::string, ObjectPtr>> reversed;
  for (ObjectPtr value = PopFolded(start); value; value = PopFolded(start)) {
    // An odd number of entries brings the mark up where a key belongs.
    ObjectPtr key = stack_.Pop();
    if (!key || !key->Is(ObjectKind::Name)) Raise(PdfErrorKind::TypeMismatch, start);
    reversed.emplace_back(std::move(key->bytes), std::move(value));
  }
  auto dict = std::make_unique<PdfDict>();
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it)
    dict->Append(std::move(it->first), std::move(it->second));
  object.kind = ObjectKind::Dictionary;
  object.dict = std::move(dict);
}

TokenKind ObjectParser::ParseObject(PdfObject& object) {
  const Token token = lexer_.NextToken();
  switch (token.kind) {
    case TokenKind::Keyword: FillKeyword(object, token); break;
    case TokenKind::Integer: FillInteger(object, token); break;
    case TokenKind::Real:
      object.kind = ObjectKind::Real;
      object.real = ParseRealText(lexer_.TokenText());
      break;
    case TokenKind::LiteralString:
      object.kind = ObjectKind::String;
      object.bytes.assign(lexer_.TokenText().data(), lexer_.LiteralStringLength());
      Charge(lexer_.LiteralStringLength());
      break;
    case TokenKind::HexString: FillHexString(object); break;
    case TokenKind::Name:
      // A name is its text up to the first NUL that a #00 escape put there.
      object.kind = ObjectKind::Name;
      object.bytes.assign(lexer_.TokenText().data(), std::strlen(lexer_.TokenText().data()));
      Charge(object.bytes.size());
      break;
    case TokenKind::ArrayStart: FillArray(object, token.offset); break;
    case TokenKind::DictStart: FillDict(object, token.offset); break;
    default: break;  // ']' '>>' '{' '}' and the end leave the object as it is
  }
  return token.kind;
}

ObjectPtr ObjectParser::ReadObject() {
  ObjectPtr object = NewObject();
  const std::int64_t start = lexer_.Tell();
  const TokenKind token = ParseObject(*object);
  if (token == TokenKind::ArrayEnd || token == TokenKind::DictEnd)
    Raise(PdfErrorKind::Syntax, start);
  if (object->Is(ObjectKind::Dictionary)) {
    const std::int64_t position = lexer_.Tell();
    if (lexer_.NextToken().kind == TokenKind::Keyword && lexer_.TokenIs("stream")) {
      object->kind = ObjectKind::Stream;
    } else if (!lexer_.Seek(position)) {
      Raise(PdfErrorKind::RangeCheck, position);
    }
  }
  return object;
}

std::int64_t ObjectParser::NextInteger() {
  const Token token = lexer_.NextToken();
  if (token.kind != TokenKind::Integer) Raise(PdfErrorKind::Syntax, token.offset);
  PdfObject number;
  FillInteger(number, token);
  return number.integer;
}

void ObjectParser::ExpectKeyword(KeywordClass keywordClass) {
  const Token token = lexer_.NextToken();
  if (!lexer_.KeywordIs(token.kind, keywordClass)) Raise(PdfErrorKind::Syntax, token.offset);
}

}  // namespace pagewire::pdf

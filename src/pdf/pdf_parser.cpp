// ParseObject and ReadObject: tokens to objects, with arrays and
// dictionaries gathered on the object stack and "n g R" folded into
// references.
#include <cstring>
#include <limits>

#include "pdf/number_text.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_reader.h"

namespace pagewire::pdf {
namespace {

int HexDigitValue(char c) { return c <= '9' ? c - '0' : c - 'A' + 10; }

bool FitsInt32(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() &&
         v <= std::numeric_limits<std::int32_t>::max();
}

// Counts one more nesting level for as long as it lives.
class DepthGuard {
 public:
  explicit DepthGuard(int& depth) : depth_(depth) {
    if (++depth_ > PdfReader::kMaxNestingDepth) Raise(PdfErrorKind::StackOverflow);
  }
  ~DepthGuard() { --depth_; }
  DepthGuard(const DepthGuard&) = delete;
  DepthGuard& operator=(const DepthGuard&) = delete;

 private:
  int& depth_;
};

}  // namespace

void PdfReader::Charge(std::size_t bytes) {
  parsedBytes_ += bytes;
  if (parsedBytes_ > kMaxParsedBytes) Raise(PdfErrorKind::RangeCheck);
}

ObjectPtr PdfReader::NewObject() {
  Charge(sizeof(PdfObject));
  return std::make_unique<PdfObject>();
}

void PdfReader::FillKeyword(PdfObject& object) {
  if (TokenIs("null")) {
    object.kind = ObjectKind::Null;
  } else if (TokenIs("true") || TokenIs("false")) {
    object.kind = ObjectKind::Boolean;
    object.boolean = TokenIs("true");
  } else if (TokenIs("R")) {
    object.kind = ObjectKind::Reference;
  } else if (TokenIs("stream")) {
    object.kind = ObjectKind::Stream;
  } else {
    Raise(PdfErrorKind::Syntax);
  }
}

void PdfReader::FillInteger(PdfObject& object) {
  const auto value = ParseIntegerText(TokenText());
  if (!value) Raise(PdfErrorKind::RangeCheck);
  object.kind = ObjectKind::Integer;
  object.integer = *value;
}

// An odd last digit is the high half of the last byte.
void PdfReader::FillHexString(PdfObject& object) {
  object.kind = ObjectKind::String;
  object.bytes.assign((tokenLength_ + 1) / 2, '\0');
  Charge(object.bytes.size());
  for (std::size_t i = 0; i < tokenLength_; ++i) {
    const int nibble = HexDigitValue(token_[i]);
    auto& byte = object.bytes[i / 2];
    byte = static_cast<char>(byte | (i % 2 == 0 ? nibble << 4 : nibble));
  }
}

// The object on top of the stack; an "R" marker takes the generation and the
// object number below it and becomes the reference that stands for all three.
ObjectPtr PdfReader::PopFolded() {
  ObjectPtr top = stack_.Pop();
  if (!top->Is(ObjectKind::Reference)) return top;
  ObjectPtr generation = stack_.Pop();
  if (!generation->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
  ObjectPtr number = stack_.Pop();
  if (!number->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
  if (!FitsInt32(number->integer) || !FitsInt32(generation->integer))
    Raise(PdfErrorKind::RangeCheck);
  number->kind = ObjectKind::Reference;
  number->ref = PdfRef{static_cast<std::int32_t>(number->integer),
                       static_cast<std::int32_t>(generation->integer)};
  return number;
}

// Pushes a mark, then every object up to the closing token, whatever its
// kind; the end of the file before that token is a syntax error.
void PdfReader::PushElementsUntil(TokenKind closing) {
  ObjectPtr mark = NewObject();
  mark->kind = ObjectKind::Mark;
  stack_.Push(std::move(mark));
  for (;;) {
    ObjectPtr element = NewObject();
    const TokenKind token = ParseObject(*element);
    if (token == closing) return;
    if (token == TokenKind::EndOfFile) Raise(PdfErrorKind::Syntax);
    stack_.Push(std::move(element));
  }
}

void PdfReader::FillArray(PdfObject& object) {
  DepthGuard guard(depth_);
  PushElementsUntil(TokenKind::ArrayEnd);
  std::vector<ObjectPtr> reversed;
  for (ObjectPtr top = PopFolded(); !top->Is(ObjectKind::Mark); top = PopFolded())
    reversed.push_back(std::move(top));
  auto array = std::make_unique<PdfArray>();
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it) array->Append(std::move(*it));
  object.kind = ObjectKind::Array;
  object.array = std::move(array);
}

void PdfReader::FillDict(PdfObject& object) {
  DepthGuard guard(depth_);
  PushElementsUntil(TokenKind::DictEnd);
  std::vector<std::pair<std::string, ObjectPtr>> reversed;
  for (ObjectPtr value = PopFolded(); !value->Is(ObjectKind::Mark); value = PopFolded()) {
    // An odd number of entries brings the mark up where a key belongs.
    ObjectPtr key = stack_.Pop();
    if (!key->Is(ObjectKind::Name)) Raise(PdfErrorKind::TypeMismatch);
    reversed.emplace_back(std::move(key->bytes), std::move(value));
  }
  auto dict = std::make_unique<PdfDict>();
  for (auto it = reversed.rbegin(); it != reversed.rend(); ++it)
    dict->Append(std::move(it->first), std::move(it->second));
  object.kind = ObjectKind::Dictionary;
  object.dict = std::move(dict);
}

TokenKind PdfReader::ParseObject(PdfObject& object) {
  const TokenKind token = NextToken();
  switch (token) {
    case TokenKind::Keyword: FillKeyword(object); break;
    case TokenKind::Integer: FillInteger(object); break;
    case TokenKind::Real:
      object.kind = ObjectKind::Real;
      object.real = ParseRealText(TokenText());
      break;
    case TokenKind::LiteralString:
      object.kind = ObjectKind::String;
      object.bytes.assign(token_.data(), literalLength_);
      Charge(literalLength_);
      break;
    case TokenKind::HexString: FillHexString(object); break;
    case TokenKind::Name:
      // A name is its text up to the first NUL that a #00 escape put there.
      object.kind = ObjectKind::Name;
      object.bytes.assign(token_.data(), std::strlen(token_.data()));
      Charge(object.bytes.size());
      break;
    case TokenKind::ArrayStart: FillArray(object); break;
    case TokenKind::DictStart: FillDict(object); break;
    case TokenKind::EndOfFile: object.kind = ObjectKind::EndOfFile; break;
    default: break;  // ']' '>>' '{' '}' and error tokens leave an empty string
  }
  return token;
}

ObjectPtr PdfReader::ReadObject() {
  ObjectPtr object = NewObject();
  const TokenKind token = ParseObject(*object);
  if (token == TokenKind::ArrayEnd || token == TokenKind::DictEnd) Raise(PdfErrorKind::Syntax);
  if (object->Is(ObjectKind::Dictionary)) {
    const std::int64_t position = input_.Tell();
    if (NextToken() == TokenKind::Keyword && TokenIs("stream")) {
      object->kind = ObjectKind::Stream;
    } else if (!input_.Seek(position)) {
      Raise(PdfErrorKind::RangeCheck);
    }
  }
  return object;
}

}  // namespace pagewire::pdf

// The security handler built from the encryption dictionary's values,
// checked in a fixed order, and the document ID.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>
#include <utility>

#include "pdf/indirect_objects.h"
#include "pdf/pdf_error.h"
#include "pdf/pdf_object.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {
namespace {

constexpr std::int64_t kBitsPerByte = 8;
// The shortest key, 40 bits: a crypt filter's Length below it counts bytes.
constexpr std::int64_t kMinKeyBits = 40;
// The key of revision 1 handlers is always 40 bits.
constexpr std::size_t kVersion1KeyLength = 5;
// Version 4 keys are 128 bits, as AESV2 needs; version 5 keys 256 bits.
constexpr std::int64_t kVersion4KeyLength = 16;
constexpr std::int64_t kVersion5KeyLength = 32;
// Revisions 5 and 6: OE and UE hold the wrapped file key, Perms one block.
constexpr std::size_t kWrappedKeyLength = 32;
constexpr std::size_t kPermsLength = 16;

const PdfObject& Required(const PdfObject* value) {
  if (value == nullptr) Raise(PdfErrorKind::ObjectNotFound);
  return *value;
}

std::int64_t RequiredInteger(const PdfObject* value) {
  const PdfObject& object = Required(value);
  if (!object.Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
  return object.integer;
}

using Value = StandardSecurityHandler::Value;

// The first `length` bytes, the rest of the value zero.
Value HeadOf(const std::string& bytes, std::size_t length) {
  Value value{};
  std::copy_n(bytes.begin(), length, value.begin());
  return value;
}

Value RequiredValue32(const PdfObject* value) {
  const PdfObject& object = Required(value);
  if (!object.Is(ObjectKind::String) ||
      object.bytes.size() != StandardSecurityHandler::kValueLength)
    Raise(PdfErrorKind::TypeMismatch);
  return HeadOf(object.bytes, StandardSecurityHandler::kValueLength);
}

// Revisions 5 and 6. Some writers pad these strings with zero bytes, so
// longer ones are accepted and their head is used.
Value RequiredAtLeast(const PdfObject* value, std::size_t length) {
  const PdfObject& object = Required(value);
  if (!object.Is(ObjectKind::String) || object.bytes.size() < length)
    Raise(PdfErrorKind::TypeMismatch);
  return HeadOf(object.bytes, std::min(length, StandardSecurityHandler::kAesValueLength));
}

bool IsName(const PdfObject& object, std::string_view name) {
  return object.Is(ObjectKind::Name) && object.bytes == name;
}

// Some writers give P as the unsigned 32-bit form of the same bits.
std::int32_t PermissionBits(std::int64_t p) {
  if (p < std::numeric_limits<std::int32_t>::min() ||
      p > std::int64_t{std::numeric_limits<std::uint32_t>::max()})
    Raise(PdfErrorKind::RangeCheck);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p));
}

// Versions 4 and 5: "StmF" or "StrF" (a name, Identity when absent) names a
// crypt filter of "CF" whose method (None when absent) is None, V2 (RC4) or
// AESV2 for version 4, None or AESV3 for version 5, and whose "Length", when
// given, is a key length in bits or, under 40, as some writers have it, in
// bytes: 40 to 128 bits for version 4, 256 for version 5. The file key keeps
// the version's length either way, as qpdf has it. Only the choice is
// checked: no data is decrypted.
void CheckCryptFilter(IndirectObjects& reader, const PdfDict& encrypt, std::string_view entry,
                      std::int64_t version, std::int64_t keyLength) {
  const PdfObject* name = reader.Get(encrypt, entry);
  if (name == nullptr) return;
  if (!name->Is(ObjectKind::Name)) Raise(PdfErrorKind::TypeMismatch);
  if (name->bytes == "Identity") return;
  const PdfObject& filters = Required(reader.Get(encrypt, "CF"));
  if (!filters.Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::TypeMismatch);
  const PdfObject& filter = Required(reader.Get(*filters.dict, name->bytes));
  if (!filter.Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::TypeMismatch);
  const PdfObject* method = reader.Get(*filter.dict, "CFM");
  const bool knownMethod =
      method == nullptr || IsName(*method, "None") ||
      (version == 4 ? IsName(*method, "V2") || IsName(*method, "AESV2") : IsName(*method, "AESV3"));
  if (!knownMethod) Raise(PdfErrorKind::TypeMismatch);
  const PdfObject* length = reader.Get(*filter.dict, "Length");
  if (length == nullptr) return;
  if (!length->Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
  if (length->integer < 0) Raise(PdfErrorKind::RangeCheck);
  const std::int64_t bits =
      length->integer < kMinKeyBits ? length->integer * kBitsPerByte : length->integer;
  const bool fits = version == 4 ? bits >= kMinKeyBits && bits <= keyLength * kBitsPerByte &&
                                       bits % kBitsPerByte == 0
                                 : bits == keyLength * kBitsPerByte;
  if (!fits) Raise(PdfErrorKind::RangeCheck);
}

}  // namespace

StandardSecurityHandler StandardSecurityHandler::FromEncryptDict(IndirectObjects& objects,
                                                                 const PdfDict& encrypt,
                                                                 const PdfObject* idElement) {
  const auto Get = [&objects](const PdfDict& dict, std::string_view key) {
    return objects.Get(dict, key);
  };
  Values values;
  const PdfObject& filter = Required(Get(encrypt, "Filter"));
  if (!filter.Is(ObjectKind::Name) || filter.bytes != "Standard") Raise(PdfErrorKind::TypeMismatch);

  const std::int64_t version = RequiredInteger(Get(encrypt, "V"));
  if (version != 1 && version != 2 && version != 4 && version != 5)
    Raise(PdfErrorKind::TypeMismatch);

  std::size_t keyLength = kVersion1KeyLength;
  if (version == 4 || version == 5) {
    const std::int64_t bytes = version == 4 ? kVersion4KeyLength : kVersion5KeyLength;
    CheckCryptFilter(objects, encrypt, "StmF", version, bytes);
    CheckCryptFilter(objects, encrypt, "StrF", version, bytes);
    keyLength = static_cast<std::size_t>(bytes);
  } else if (version == 2) {
    const std::int64_t bits = RequiredInteger(Get(encrypt, "Length"));
    if (bits % kBitsPerByte != 0) Raise(PdfErrorKind::TypeMismatch);
    const std::int64_t bytes = bits / kBitsPerByte;
    // The key is cut from one MD5 digest: 1 to 16 bytes.
    if (bytes < 1 || bytes > std::int64_t{StandardSecurityHandler::kMaxKeyLength})
      Raise(PdfErrorKind::RangeCheck);
    keyLength = static_cast<std::size_t>(bytes);
  }

  // Versions 1 and 2 go with revisions 2 and 3 in any pairing, version 4
  // with revision 4, version 5 with revisions 5 and 6.
  const std::int64_t revision = RequiredInteger(Get(encrypt, "R"));
  const bool known = version == 4   ? revision == 4
                     : version == 5 ? revision == 5 || revision == 6
                                    : revision == 2 || revision == 3;
  if (!known) Raise(PdfErrorKind::TypeMismatch);
  values.revision = static_cast<int>(revision);
  values.keyLength = keyLength;

  if (version == 5) {
    values.owner = RequiredAtLeast(Get(encrypt, "O"), kAesValueLength);
    values.user = RequiredAtLeast(Get(encrypt, "U"), kAesValueLength);
    RequiredAtLeast(Get(encrypt, "OE"), kWrappedKeyLength);
    RequiredAtLeast(Get(encrypt, "UE"), kWrappedKeyLength);
    RequiredAtLeast(Get(encrypt, "Perms"), kPermsLength);
  } else {
    values.owner = RequiredValue32(Get(encrypt, "O"));
    values.user = RequiredValue32(Get(encrypt, "U"));
  }

  values.permissions = PermissionBits(RequiredInteger(Get(encrypt, "P")));

  if (version >= 4) {
    const PdfObject* encryptMetadata = Get(encrypt, "EncryptMetadata");
    if (encryptMetadata != nullptr) {
      if (!encryptMetadata->Is(ObjectKind::Boolean)) Raise(PdfErrorKind::TypeMismatch);
      values.encryptMetadata = encryptMetadata->boolean;
    }
  }

  // Without a usable first ID string the key is computed over no ID bytes.
  if (idElement != nullptr && idElement->Is(ObjectKind::String))
    values.documentId = idElement->bytes;
  return StandardSecurityHandler(std::move(values));
}

}  // namespace pagewire::pdf

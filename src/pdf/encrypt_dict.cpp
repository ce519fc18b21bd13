// ReadEncryptDict: the encryption dictionary's values, checked in a fixed
// order, into the security handler.
#include <cstdint>
#include <limits>

#include "pdf/pdf_error.h"
#include "pdf/pdf_reader.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {
namespace {

constexpr std::int64_t kBitsPerByte = 8;
// The key of revision 1 handlers is always 40 bits.
constexpr std::size_t kVersion1KeyLength = 5;

const PdfObject& Required(const PdfObject* value) {
  if (value == nullptr) Raise(PdfErrorKind::ObjectNotFound);
  return *value;
}

std::int64_t RequiredInteger(const PdfObject* value) {
  const PdfObject& object = Required(value);
  if (!object.Is(ObjectKind::Integer)) Raise(PdfErrorKind::TypeMismatch);
  return object.integer;
}

const std::uint8_t* RequiredValue32(const PdfObject* value) {
  const PdfObject& object = Required(value);
  if (!object.Is(ObjectKind::String) ||
      object.bytes.size() != StandardSecurityHandler::kValueLength)
    Raise(PdfErrorKind::TypeMismatch);
  return reinterpret_cast<const std::uint8_t*>(object.bytes.data());
}

// Some writers give P as the unsigned 32-bit form of the same bits.
std::int32_t PermissionBits(std::int64_t p) {
  if (p < std::numeric_limits<std::int32_t>::min() ||
      p > std::int64_t{std::numeric_limits<std::uint32_t>::max()})
    Raise(PdfErrorKind::RangeCheck);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p));
}

}  // namespace

void PdfReader::ReadEncryptDict(const PdfDict& encrypt, const PdfObject* idElement) {
  const PdfObject& filter = Required(Get(encrypt, "Filter"));
  if (!filter.Is(ObjectKind::Name) || filter.bytes != "Standard") Raise(PdfErrorKind::TypeMismatch);

  const std::int64_t version = RequiredInteger(Get(encrypt, "V"));
  if (version != 1 && version != 2) Raise(PdfErrorKind::TypeMismatch);

  std::size_t keyLength = kVersion1KeyLength;
  if (version == 2) {
    const std::int64_t bits = RequiredInteger(Get(encrypt, "Length"));
    if (bits % kBitsPerByte != 0) Raise(PdfErrorKind::TypeMismatch);
    const std::int64_t bytes = bits / kBitsPerByte;
    // The key is cut from one MD5 digest: 1 to 16 bytes.
    if (bytes < 1 || bytes > std::int64_t{StandardSecurityHandler::kMaxKeyLength})
      Raise(PdfErrorKind::RangeCheck);
    keyLength = static_cast<std::size_t>(bytes);
  }

  const std::int64_t revision = RequiredInteger(Get(encrypt, "R"));
  if (revision != 2 && revision != 3) Raise(PdfErrorKind::TypeMismatch);
  handler_->SetRevisionAndKeyLength(static_cast<int>(revision), keyLength);

  handler_->SetOwnerValue(RequiredValue32(Get(encrypt, "O")));
  handler_->SetUserValue(RequiredValue32(Get(encrypt, "U")));

  const std::int32_t permissions = PermissionBits(RequiredInteger(Get(encrypt, "P")));
  if ((permissions & 4) == 0) printDisabled_ = true;
  handler_->SetPermissions(permissions);

  // Without a usable first ID string the key is computed over no ID bytes.
  if (idElement != nullptr && idElement->Is(ObjectKind::String)) {
    handler_->SetDocumentId(reinterpret_cast<const std::uint8_t*>(idElement->bytes.data()),
                            idElement->bytes.size());
  }
}

}  // namespace pagewire::pdf

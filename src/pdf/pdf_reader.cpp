// Open: the cross-reference sections from the newest back through "Prev",
// the newest trailer's facts, and the encryption dictionary.
#include "pdf/pdf_reader.h"

#include "pdf/pdf_error.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {

PdfReader::PdfReader() = default;
PdfReader::~PdfReader() = default;

std::unique_ptr<StandardSecurityHandler> PdfReader::TakeSecurityHandler() {
  return std::move(handler_);
}

void PdfReader::ReadNewestTrailerFacts(const PdfDict& trailer) {
  root_ = trailer.Find("Root");
  // A trailer without Root is no trailer of a usable file.
  if (root_ == nullptr) Raise(PdfErrorKind::ObjectNotFound);
  if (!root_->Is(ObjectKind::Reference)) Raise(PdfErrorKind::TypeMismatch);
  id_ = Get(trailer, "ID");
  encrypt_ = trailer.Find("Encrypt");
}

void PdfReader::ReadSecurity() {
  const PdfObject* encrypt = encrypt_;
  // Encrypt may be written inline; a dictionary is what both forms must give.
  if (encrypt->Is(ObjectKind::Reference)) encrypt = FetchObject(*encrypt);
  if (!encrypt->Is(ObjectKind::Dictionary)) Raise(PdfErrorKind::TypeMismatch);
  const PdfObject* idElement = nullptr;
  if (id_ != nullptr) {
    if (!id_->Is(ObjectKind::Array)) Raise(PdfErrorKind::TypeMismatch);
    idElement = Get(*id_->array, 0);
  }
  handler_ = std::make_unique<StandardSecurityHandler>(
      StandardSecurityHandler::FromEncryptDict(objects_, *encrypt->dict, idElement));
}

void PdfReader::Open(const char* path) {
  if (!source_.Open(path)) Raise(PdfErrorKind::ObjectNotFound);
  ReadStructure();
}

void PdfReader::OpenMemory(std::string_view bytes) {
  if (!source_.OpenMemory(bytes)) Raise(PdfErrorKind::ObjectNotFound);
  ReadStructure();
}

// Only the first section read, the newest, gives the trailer's facts; its
// ID is taken while only that section's entries are known.
void PdfReader::ReadStructure() {
  std::int64_t offset = xrefReader_.FindStartXref();
  while (offset != -1) {
    const PdfDict& trailer = xrefReader_.ReadSection(offset);
    offset = xrefReader_.PrevOf(trailer);
    if (root_ == nullptr) ReadNewestTrailerFacts(trailer);
  }
  if (encrypted()) ReadSecurity();
}

}  // namespace pagewire::pdf

#include "pdf/pdf_document.h"

#include <cstdint>

#include "pdf/pdf_reader.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {
namespace {

// Bit 3 of P: print the document.
constexpr std::int32_t kPrintPermission = 4;

}  // namespace

PdfDocument::PdfDocument(PdfDocument&&) noexcept = default;
PdfDocument& PdfDocument::operator=(PdfDocument&&) noexcept = default;
PdfDocument::~PdfDocument() = default;

PdfDocument::PdfDocument(PdfReader& reader) : handler_(reader.TakeSecurityHandler()) {}

bool PdfDocument::forbidsPrinting() const {
  return handler_ != nullptr && (handler_->permissions() & kPrintPermission) == 0;
}

PasswordForm PdfDocument::passwordForm() const {
  return handler_ != nullptr ? handler_->passwordForm() : PasswordForm::CodePage;
}

bool PdfDocument::needsPassword() const {
  if (!needsPassword_) needsPassword_ = !CheckPassword(std::string());
  return *needsPassword_;
}

PdfDocument PdfDocument::OpenFile(const char* path) {
  PdfReader reader;
  reader.Open(path);
  return PdfDocument(reader);
}

PdfDocument PdfDocument::OpenMemory(std::string_view bytes) {
  PdfReader reader;
  reader.OpenMemory(bytes);
  return PdfDocument(reader);
}

bool PdfDocument::CheckPassword(const std::string& password) const {
  return handler_ == nullptr || handler_->CheckPassword(password);
}

}  // namespace pagewire::pdf

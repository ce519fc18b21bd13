#include "pdf/pdf_document.h"

#include "pdf/pdf_reader.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {
namespace {

constexpr int kFirstUtf8Revision = 5;

}  // namespace

PdfDocument::PdfDocument(PdfDocument&&) noexcept = default;
PdfDocument& PdfDocument::operator=(PdfDocument&&) noexcept = default;
PdfDocument::~PdfDocument() = default;

PdfDocument::PdfDocument(PdfReader& reader)
    : handler_(reader.TakeSecurityHandler()),
      forbidsPrinting_(reader.encrypted() && reader.printDisabled()) {
  if (!handler_) return;
  if (handler_->revision() >= kFirstUtf8Revision) form_ = PasswordForm::Utf8;
}

bool PdfDocument::needsPassword() const {
  if (!needsPassword_) {
    needsPassword_ = handler_ != nullptr && !TestPassword(std::string());
  }
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

bool PdfDocument::CheckPassword(const std::string& password) {
  return !handler_ || TestPassword(password);
}

bool PdfDocument::TestPassword(const std::string& password) const {
  handler_->SetPassword(password.c_str());
  return handler_->Authenticate() == 1;
}

}  // namespace pagewire::pdf

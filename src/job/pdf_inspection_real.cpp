#include <memory>

#include "job/pdf_inspection.h"
#include "pdf/pdf_document.h"

namespace pagewire::job {

InspectPdf RealPdfInspection() {
  return [](const std::string& path) -> std::optional<PdfFacts> {
    std::shared_ptr<pdf::PdfDocument> document;
    try {
      document = std::make_shared<pdf::PdfDocument>(pdf::PdfDocument::OpenFile(path.c_str()));
    } catch (...) {
      return std::nullopt;
    }
    PdfFacts facts;
    facts.forbidsPrinting = document->forbidsPrinting();
    facts.needsPassword = document->needsPassword();
    facts.passwordForm = document->passwordForm();
    facts.checkPassword = [document](const std::string& password) {
      try {
        return document->CheckPassword(password);
      } catch (...) {
        return false;
      }
    };
    return facts;
  };
}

}  // namespace pagewire::job

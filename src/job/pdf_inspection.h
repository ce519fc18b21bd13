// What the print command needs of a PDF, read once per file: whether it
// forbids printing or needs a password, which bytes of a password count,
// and the password test bound to the file as it was read.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "pdf/password_form.h"

namespace pagewire::job {

struct PdfFacts {
  bool forbidsPrinting = false;
  bool needsPassword = false;
  pdf::PasswordForm passwordForm = pdf::PasswordForm::CodePage;
  // True when the password's bytes open the file.
  std::function<bool(const std::string& password)> checkPassword;
};

// None when the file cannot be read as a PDF. Tests may map paths or
// replace it.
using InspectPdf = std::function<std::optional<PdfFacts>(const std::string& path)>;

// Reads the file at the path with the PDF reader (pdf_inspection_real.cpp).
InspectPdf RealPdfInspection();

}  // namespace pagewire::job

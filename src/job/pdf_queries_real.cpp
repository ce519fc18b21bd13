#include "job/pdf_queries.h"

#include "pagewire/pagewire.h"

namespace pagewire::job {

PdfQueries RealPdfQueries() {
  PdfQueries queries;
  queries.isPrintDisable = [](const std::string& path) { return IsPrintDisable(path.c_str()); };
  queries.isPdfPasswd = [](const std::string& path) { return IsPDFPasswd(path.c_str()); };
  queries.checkPdfPasswd = [](const std::string& path, const std::string& password) {
    return CheckPDFPasswd(path.c_str(), password.c_str());
  };
  return queries;
}

}  // namespace pagewire::job

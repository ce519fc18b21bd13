// The three exported queries. Each runs one reader from open to release and
// lets nothing but its int result out: every failure is -1.
#include <exception>

#include "pagewire/pagewire.h"
#include "pdf/pdf_reader.h"
#include "pdf/security_handler.h"

namespace pagewire::pdf {
namespace {

template <typename Answer>
int RunQuery(const char* path, Answer answer) noexcept {
  if (path == nullptr) return -1;
  try {
    PdfReader reader;
    reader.Open(path);
    return answer(reader);
  } catch (...) {
    return -1;
  }
}

}  // namespace
}  // namespace pagewire::pdf

using pagewire::pdf::PdfReader;

extern "C" PAGEWIRE_API int IsPDFPasswd(const char* path) {
  return pagewire::pdf::RunQuery(path, [](PdfReader& reader) {
    if (!reader.encrypted()) return 0;
    reader.securityHandler()->SetPassword(nullptr);
    return reader.securityHandler()->Authenticate() == 1 ? 0 : 1;
  });
}

extern "C" PAGEWIRE_API int IsPrintDisable(const char* path) {
  return pagewire::pdf::RunQuery(path, [](PdfReader& reader) {
    return reader.encrypted() && reader.printDisabled() ? 1 : 0;
  });
}

extern "C" PAGEWIRE_API int CheckPDFPasswd(const char* path, const char* password) {
  return pagewire::pdf::RunQuery(path, [password](PdfReader& reader) {
    if (!reader.encrypted()) return 1;
    reader.securityHandler()->SetPassword(password);
    return reader.securityHandler()->Authenticate();
  });
}

// A PDF read once for the print command and the exported queries: whether
// it is encrypted, forbids printing or needs a password, and the password
// test against its security handler, as often as asked without reading the
// file again.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "pdf/password_form.h"

namespace pagewire::pdf {

class PdfReader;
class StandardSecurityHandler;

class PdfDocument {
 public:
  // Both read the cross-reference chain, the newest trailer and the
  // encryption dictionary, and raise PdfError. A file is closed again
  // before they return; memory bytes are only read during the call.
  static PdfDocument OpenFile(const char* path);
  static PdfDocument OpenMemory(std::string_view bytes);

  PdfDocument(PdfDocument&&) noexcept;
  PdfDocument& operator=(PdfDocument&&) noexcept;
  ~PdfDocument();

  bool encrypted() const { return handler_ != nullptr; }
  // Encrypted and bit 3 of P clear.
  bool forbidsPrinting() const;
  // Encrypted, and the empty password passes neither the user nor the
  // owner test.
  bool needsPassword() const;
  PasswordForm passwordForm() const;

  // True when the file is not encrypted or the password's bytes (up to a
  // zero byte; only PasswordBytesCounted of them count) pass the user or
  // the owner test.
  bool CheckPassword(const std::string& password) const;

 private:
  explicit PdfDocument(PdfReader& reader);

  std::unique_ptr<StandardSecurityHandler> handler_;
  // Worked out when first asked: the empty password's test costs two
  // hashes of revision 6, which a caller that only checks a password or
  // asks about printing does not need.
  mutable std::optional<bool> needsPassword_;
};

}  // namespace pagewire::pdf

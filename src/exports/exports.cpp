// The five exported C functions: thin wrappers over the PDF document and
// the password encryption. No exception crosses them: every failure of a
// PDF query is -1, and a failed encryption or decryption gives zeros.
#include <cstring>
#include <span>

#include "job/password_crypt.h"
#include "pagewire/pagewire.h"
#include "pdf/pdf_document.h"

namespace {

using pagewire::pdf::PdfDocument;

template <typename Answer>
int RunQuery(const char* path, Answer answer) noexcept {
  if (path == nullptr) return -1;
  try {
    PdfDocument document = PdfDocument::OpenFile(path);
    return answer(document) ? 1 : 0;
  } catch (...) {
    return -1;
  }
}

std::span<const std::uint8_t> KeyOf(const unsigned char* key, int keyLength) {
  if (key == nullptr || keyLength <= 0) return {};
  return {key, static_cast<std::size_t>(keyLength)};
}

}  // namespace

extern "C" PAGEWIRE_API int IsPDFPasswd(const char* path) {
  return RunQuery(path, [](const PdfDocument& document) { return document.needsPassword(); });
}

extern "C" PAGEWIRE_API int IsPrintDisable(const char* path) {
  return RunQuery(path, [](const PdfDocument& document) { return document.forbidsPrinting(); });
}

extern "C" PAGEWIRE_API int CheckPDFPasswd(const char* path, const char* password) {
  return RunQuery(path, [password](PdfDocument& document) {
    return document.CheckPassword(password != nullptr ? password : "");
  });
}

extern "C" PAGEWIRE_API void EncryptPassword(unsigned char* out, const unsigned char* in,
                                             const unsigned char* key, int keyLength) {
  using pagewire::job::PasswordBlock;
  PasswordBlock block;
  std::memcpy(block.data(), in, block.size());
  try {
    const PasswordBlock cipher = pagewire::job::EncryptPasswordBlock(block, KeyOf(key, keyLength));
    std::memcpy(out, cipher.data(), cipher.size());
  } catch (...) {
    // The crypto library could not run (no memory): the caller finds zeros,
    // not whatever its buffer held, which it would take for cipher text.
    std::memset(out, 0, block.size());
  }
  pagewire::job::WipeSecret(block.data(), block.size());
}

extern "C" PAGEWIRE_API void DecryptPassword(unsigned char* out, const unsigned char* in,
                                             const unsigned char* key, int keyLength) {
  using pagewire::job::DecryptedBlocks;
  // Cleared first, as it always was: an `in` that overlaps `out` is read
  // after the clearing.
  std::memset(out, 0, pagewire::job::kDecryptedSize);
  try {
    DecryptedBlocks cipher;
    std::memcpy(cipher.data(), in, cipher.size());
    const DecryptedBlocks plain = pagewire::job::DecryptPasswordBlocks(cipher, KeyOf(key, keyLength));
    std::memcpy(out, plain.data(), plain.size());
  } catch (...) {
  }
}

// Which bytes of a password a PDF's security handler counts: the reader's
// word to those who store, convert or send a password.
#pragma once

#include <cstddef>

namespace pagewire::pdf {

enum class PasswordForm {
  CodePage,  // revisions 2 to 4: code-page text, the first 32 bytes count
  Utf8,      // revisions 5 and 6: UTF-8, the first 127 bytes count
};

inline constexpr std::size_t PasswordBytesCounted(PasswordForm form) {
  return form == PasswordForm::Utf8 ? 127 : 32;
}

}  // namespace pagewire::pdf

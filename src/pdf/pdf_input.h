// The lexer's view of the file: bytes forward and backward with one slot of
// pushback.
#pragma once

#include <cstdint>
#include <string_view>

#include "pdf/pdf_file.h"

namespace pagewire::pdf {

class PdfInput {
 public:
  bool Open(const char* path) {
    pushedBack_ = false;
    return file_.Open(path);
  }

  bool OpenMemory(std::string_view bytes) {
    pushedBack_ = false;
    return file_.OpenMemory(bytes);
  }

  int GetChar() {
    if (pushedBack_) {
      pushedBack_ = false;
      return pushed_;
    }
    return file_.ReadByte();
  }

  // One slot only: a second call before GetChar replaces the first.
  void UngetChar(int c) {
    pushed_ = c;
    pushedBack_ = true;
  }

  int GetCharBackward() {
    pushedBack_ = false;
    return file_.ReadBackward();
  }

  bool FindBackward(std::string_view keyword) {
    pushedBack_ = false;
    return file_.FindBackward(keyword);
  }

  bool Seek(std::int64_t offset, PdfFile::Origin origin = PdfFile::Origin::Start) {
    pushedBack_ = false;
    return file_.Seek(offset, origin);
  }

  // Callers tell only when no character is pushed back.
  std::int64_t Tell() const { return file_.Tell(); }
  std::int64_t Size() const { return file_.Size(); }

 private:
  PdfFile file_;
  bool pushedBack_ = false;
  int pushed_ = 0;
};

}  // namespace pagewire::pdf

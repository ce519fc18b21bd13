// Runs the reader's lexer and parser over literal bytes.
#pragma once

#include <string>
#include <string_view>

#include "pdf/pdf_error.h"
#include "pdf/pdf_reader.h"
#include "pdf_test_util.h"

namespace pagewire::test {

class ReaderOver {
 public:
  explicit ReaderOver(std::string_view bytes) {
    reader_.OpenInputMemory(bytes);
    reader_.input().Seek(0);
  }
  pdf::PdfReader& operator*() { return reader_; }
  pdf::PdfReader* operator->() { return &reader_; }

 private:
  pdf::PdfReader reader_;
};

// The kind of error that `action` raises; none when it raises nothing.
template <typename Action>
std::string ErrorOf(Action action) {
  try {
    action();
  } catch (const pdf::PdfError& error) {
    return error.what();
  }
  return "none";
}

}  // namespace pagewire::test

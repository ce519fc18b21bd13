// Prints the answers of the three PDF queries for one file:
//   pdf_query [--once] PATH [PASSWORD]
// Without PASSWORD, CheckPDFPasswd gets a null pointer (the empty password).
// The exported functions each read the file; with --once one PdfDocument
// read answers all three, as the print command asks them.
#include <cstdio>
#include <cstring>

#include "pagewire/pagewire.h"
#include "pdf/pdf_document.h"

namespace {

void PrintAnswers(int needsPassword, int forbidsPrinting, int passwordOpens) {
  std::printf("IsPDFPasswd %d\n", needsPassword);
  std::printf("IsPrintDisable %d\n", forbidsPrinting);
  std::printf("CheckPDFPasswd %d\n", passwordOpens);
}

void AnswerFromOneRead(const char* path, const char* password) {
  try {
    pagewire::pdf::PdfDocument document = pagewire::pdf::PdfDocument::OpenFile(path);
    PrintAnswers(document.needsPassword(), document.forbidsPrinting(),
                 document.CheckPassword(password != nullptr ? password : ""));
  } catch (...) {
    PrintAnswers(-1, -1, -1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool once = argc > 1 && std::strcmp(argv[1], "--once") == 0;
  const int first = once ? 2 : 1;
  if (argc < first + 1 || argc > first + 2) {
    std::fprintf(stderr, "usage: pdf_query [--once] PATH [PASSWORD]\n");
    return 2;
  }
  const char* path = argv[first];
  const char* password = argc == first + 2 ? argv[first + 1] : nullptr;
  if (once) {
    AnswerFromOneRead(path, password);
  } else {
    PrintAnswers(IsPDFPasswd(path), IsPrintDisable(path), CheckPDFPasswd(path, password));
  }
  return 0;
}

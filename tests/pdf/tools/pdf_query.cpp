// Prints the answers of the three PDF queries for one file:
//   pdf_query PATH [PASSWORD]
// Without PASSWORD, CheckPDFPasswd gets a null pointer (the empty password).
#include <cstdio>

#include "pagewire/pagewire.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: pdf_query PATH [PASSWORD]\n");
    return 2;
  }
  const char* path = argv[1];
  const char* password = argc == 3 ? argv[2] : nullptr;
  std::printf("IsPDFPasswd %d\n", IsPDFPasswd(path));
  std::printf("IsPrintDisable %d\n", IsPrintDisable(path));
  std::printf("CheckPDFPasswd %d\n", CheckPDFPasswd(path, password));
  return 0;
}

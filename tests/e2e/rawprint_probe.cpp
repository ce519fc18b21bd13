// Rig check: sends a file's bytes to a printer as one raw spooler document,
// or shows a message box for the dialog driver to read and dismiss.
//   rawprint_probe print PRINTER FILE
//   rawprint_probe msgbox TEXT      (exit code: the button pressed)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool ReadWholeFile(const char* path, std::vector<char>& bytes) {
  FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + got);
  }
  std::fclose(file);
  return true;
}

int PrintRaw(const char* printer, const char* path) {
  std::vector<char> bytes;
  if (!ReadWholeFile(path, bytes)) {
    std::fprintf(stderr, "cannot read %s\n", path);
    return 2;
  }
  HANDLE handle = nullptr;
  if (!OpenPrinterA(const_cast<char*>(printer), &handle, nullptr)) {
    std::fprintf(stderr, "OpenPrinterA failed: %lu\n", GetLastError());
    return 3;
  }
  char docName[] = "rawprint_probe";
  char dataType[] = "RAW";
  DOC_INFO_1A doc = {docName, nullptr, dataType};
  int rc = 0;
  if (StartDocPrinterA(handle, 1, reinterpret_cast<BYTE*>(&doc)) == 0) {
    std::fprintf(stderr, "StartDocPrinterA failed: %lu\n", GetLastError());
    rc = 4;
  } else {
    DWORD written = 0;
    if (!WritePrinter(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written) ||
        written != bytes.size()) {
      std::fprintf(stderr, "WritePrinter failed: %lu\n", GetLastError());
      rc = 5;
    }
    if (!EndDocPrinter(handle)) rc = rc ? rc : 6;
  }
  ClosePrinter(handle);
  return rc;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "print") == 0) return PrintRaw(argv[2], argv[3]);
  if (argc == 3 && std::strcmp(argv[1], "msgbox") == 0) {
    return MessageBoxA(nullptr, argv[2], "Probe", MB_OKCANCEL | MB_ICONINFORMATION);
  }
  std::fprintf(stderr, "usage: rawprint_probe print PRINTER FILE | msgbox TEXT\n");
  return 2;
}

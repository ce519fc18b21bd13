// Rig check: sends a file's bytes to a printer as one raw spooler document,
// shows a message box for the dialog driver to read and dismiss, or adds a
// printer on a given port with the driver of an existing one.
//   rawprint_probe print PRINTER FILE
//   rawprint_probe cancel PRINTER FILE abort|delete   (writes, then cancels)
//   rawprint_probe msgbox TEXT      (exit code: the button pressed)
//   rawprint_probe add-printer NAME PORT LIKE
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

int PrintRaw(const char* printer, const char* path, const char* cancel = nullptr) {
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
  const DWORD job = StartDocPrinterA(handle, 1, reinterpret_cast<BYTE*>(&doc));
  if (job == 0) {
    std::fprintf(stderr, "StartDocPrinterA failed: %lu\n", GetLastError());
    rc = 4;
  } else {
    DWORD written = 0;
    if (!WritePrinter(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written) ||
        written != bytes.size()) {
      std::fprintf(stderr, "WritePrinter failed: %lu\n", GetLastError());
      rc = 5;
    }
    if (cancel == nullptr) {
      if (!EndDocPrinter(handle)) rc = rc ? rc : 6;
    } else if (std::strcmp(cancel, "abort") == 0) {
      if (!AbortPrinter(handle)) rc = 7;
    } else if (!SetJobA(handle, job, 0, nullptr, JOB_CONTROL_DELETE)) {
      rc = 8;
    }
  }
  ClosePrinter(handle);
  return rc;
}

// Wine lists only its CUPS queues; printers on other ports ("FILE:", a
// TCP/IP port name) are added the way an administrator would, borrowing the
// driver of the queue LIKE.
int AddPrinterLike(const char* name, const char* port, const char* like) {
  HANDLE handle = nullptr;
  if (!OpenPrinterA(const_cast<char*>(like), &handle, nullptr)) {
    std::fprintf(stderr, "OpenPrinterA(%s) failed: %lu\n", like, GetLastError());
    return 3;
  }
  DWORD needed = 0;
  GetPrinterA(handle, 2, nullptr, 0, &needed);
  std::vector<BYTE> buffer(needed);
  const BOOL read = needed != 0 && GetPrinterA(handle, 2, buffer.data(), needed, &needed);
  ClosePrinter(handle);
  if (!read) {
    std::fprintf(stderr, "GetPrinterA(%s) failed: %lu\n", like, GetLastError());
    return 4;
  }
  PRINTER_INFO_2A info = *reinterpret_cast<PRINTER_INFO_2A*>(buffer.data());
  info.pPrinterName = const_cast<char*>(name);
  info.pPortName = const_cast<char*>(port);
  info.pShareName = nullptr;
  info.Attributes &= ~static_cast<DWORD>(PRINTER_ATTRIBUTE_SHARED);
  HANDLE added = AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&info));
  if (added == nullptr) {
    std::fprintf(stderr, "AddPrinterA(%s, %s) failed: %lu\n", name, port, GetLastError());
    return 5;
  }
  ClosePrinter(added);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "print") == 0) return PrintRaw(argv[2], argv[3]);
  if (argc == 5 && std::strcmp(argv[1], "cancel") == 0) return PrintRaw(argv[2], argv[3], argv[4]);
  if (argc == 3 && std::strcmp(argv[1], "msgbox") == 0) {
    return MessageBoxA(nullptr, argv[2], "Probe", MB_OKCANCEL | MB_ICONINFORMATION);
  }
  if (argc == 5 && std::strcmp(argv[1], "add-printer") == 0) {
    return AddPrinterLike(argv[2], argv[3], argv[4]);
  }
  std::fprintf(stderr,
               "usage: rawprint_probe print PRINTER FILE | msgbox TEXT | add-printer NAME PORT LIKE\n");
  return 2;
}

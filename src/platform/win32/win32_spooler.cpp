#include "platform/win32/win32_spooler.h"

#include <windows.h>
#include <winspool.h>

namespace pagewire::platform::win32 {

namespace {

HANDLE HandleOf(PrinterHandle printer) { return reinterpret_cast<HANDLE>(printer); }

std::string TextOf(const char* text) { return text != nullptr ? text : ""; }

PrinterInfo2 FieldsOf(const PRINTER_INFO_2A& info) {
  return PrinterInfo2{TextOf(info.pPrinterName), TextOf(info.pDriverName),
                      TextOf(info.pPortName)};
}

}  // namespace

bool Win32Spooler::EnumeratePrinters(PrinterEnumScope scope, std::vector<PrinterInfo2>& printers) {
  const DWORD flags =
      scope == PrinterEnumScope::Local ? PRINTER_ENUM_LOCAL : PRINTER_ENUM_CONNECTIONS;
  DWORD needed = 0;
  DWORD returned = 0;
  EnumPrintersA(flags, nullptr, 2, nullptr, 0, &needed, &returned);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!EnumPrintersA(flags, nullptr, 2, buffer.data(), needed, &needed, &returned)) return false;
  const auto* entries = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
  for (DWORD i = 0; i < returned; ++i) printers.push_back(FieldsOf(entries[i]));
  return true;
}

bool Win32Spooler::OpenPrinterHandle(const std::string& printerName, PrinterHandle& printer) {
  HANDLE handle = nullptr;
  if (!OpenPrinterA(const_cast<char*>(printerName.c_str()), &handle, nullptr)) {
    printer = 0;
    return false;
  }
  printer = reinterpret_cast<PrinterHandle>(handle);
  return true;
}

bool Win32Spooler::QueryPrinterInfo2(PrinterHandle printer, PrinterInfo2& info) {
  DWORD needed = 0;
  GetPrinterA(HandleOf(printer), 2, nullptr, 0, &needed);
  if (needed == 0) return false;
  std::vector<BYTE> buffer(needed);
  if (!GetPrinterA(HandleOf(printer), 2, buffer.data(), needed, &needed)) return false;
  info = FieldsOf(*reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data()));
  return true;
}

bool Win32Spooler::StartRawDocument(PrinterHandle printer, const std::string& docName) {
  DOC_INFO_1A doc{};
  doc.pDocName = const_cast<char*>(docName.c_str());
  doc.pOutputFile = nullptr;
  doc.pDatatype = nullptr;
  return StartDocPrinterA(HandleOf(printer), 1, reinterpret_cast<BYTE*>(&doc)) != 0;
}

bool Win32Spooler::WriteRawData(PrinterHandle printer, const void* data, std::uint32_t length,
                                std::uint32_t& written) {
  DWORD count = 0;
  const BOOL ok = WritePrinter(HandleOf(printer), const_cast<void*>(data), length, &count);
  written = count;
  return ok != FALSE;
}

bool Win32Spooler::EndRawDocument(PrinterHandle printer) {
  return EndDocPrinter(HandleOf(printer)) != FALSE;
}

bool Win32Spooler::AbortRawDocument(PrinterHandle printer) {
  return AbortPrinter(HandleOf(printer)) != FALSE;
}

bool Win32Spooler::ClosePrinterHandle(PrinterHandle printer) {
  return ClosePrinter(HandleOf(printer)) != FALSE;
}

}  // namespace pagewire::platform::win32

// Print spooler port.
//
// One method per spooler call; each reports success as the call does. The
// two-call size pattern of EnumPrintersA and GetPrinterA stays inside the
// adapter, which returns the fields the program reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pagewire::platform {

// The PRINTER_INFO_2 fields the program reads.
struct PrinterInfo2 {
  std::string printerName;  // pPrinterName
  std::string driverName;   // pDriverName
  std::string portName;     // pPortName
};

enum class PrinterEnumScope { Local, Connections };  // PRINTER_ENUM_LOCAL / _CONNECTIONS

// An open printer; 0 is none. Opaque to the logic.
using PrinterHandle = std::uintptr_t;

class Spooler {
 public:
  virtual ~Spooler() = default;

  // EnumPrintersA(scope, no name, 2, ...): false when the call fails.
  virtual bool EnumeratePrinters(PrinterEnumScope scope, std::vector<PrinterInfo2>& printers) = 0;
  // OpenPrinterA(name, &printer, no defaults).
  virtual bool OpenPrinterHandle(const std::string& printerName, PrinterHandle& printer) = 0;
  // GetPrinterA(printer, 2, ...).
  virtual bool QueryPrinterInfo2(PrinterHandle printer, PrinterInfo2& info) = 0;
  // StartDocPrinterA(printer, 1, DOC_INFO_1{docName, no output file, no data
  // type}): one raw document, no page calls. False when it returns 0.
  virtual bool StartRawDocument(PrinterHandle printer, const std::string& docName) = 0;
  // WritePrinter(printer, data, length, &written).
  virtual bool WriteRawData(PrinterHandle printer, const void* data, std::uint32_t length,
                            std::uint32_t& written) = 0;
  // EndDocPrinter(printer): the document goes to the printer.
  virtual bool EndRawDocument(PrinterHandle printer) = 0;
  // Cancels a document that was not written whole, so that the printer gets
  // nothing of it (AbortPrinter).
  virtual bool AbortRawDocument(PrinterHandle printer) = 0;
  // ClosePrinter(printer).
  virtual bool ClosePrinterHandle(PrinterHandle printer) = 0;
};

}  // namespace pagewire::platform

// Spooler port over winspool; the two-call size pattern stays in here.
#pragma once

#include "platform/spooler.h"

namespace pagewire::platform::win32 {

class Win32Spooler : public Spooler {
 public:
  bool EnumeratePrinters(PrinterEnumScope scope, std::vector<PrinterInfo2>& printers) override;
  bool OpenPrinterHandle(const std::string& printerName, PrinterHandle& printer) override;
  bool QueryPrinterInfo2(PrinterHandle printer, PrinterInfo2& info) override;
  bool StartRawDocument(PrinterHandle printer, const std::string& docName) override;
  bool WriteRawData(PrinterHandle printer, const void* data, std::uint32_t length,
                    std::uint32_t& written) override;
  bool EndRawDocument(PrinterHandle printer) override;
  bool AbortRawDocument(PrinterHandle printer) override;
  bool ClosePrinterHandle(PrinterHandle printer) override;
};

}  // namespace pagewire::platform::win32

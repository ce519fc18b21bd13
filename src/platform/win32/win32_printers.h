// Printers port over winspool: the two-call size pattern of EnumPrintersA
// and GetPrinterA, and one raw spooler document per Document.
#pragma once

#include "platform/printers.h"

namespace pagewire::platform::win32 {

class Win32Printers : public Printers {
 public:
  // Local printers, then (except on Windows 95/98/Me) connections.
  std::vector<std::string> Names() override;
  std::optional<PrinterDetails> DetailsOf(const std::string& printer) override;
  // Each document: OpenPrinterA, StartDocPrinterA (level 1, the title, no
  // output file, the default data type), WritePrinter; on Commit
  // EndDocPrinter, whose result is not looked at, and ClosePrinter, whose
  // result is; dropped, AbortPrinter and ClosePrinter.
  std::unique_ptr<Destination> DestinationFor(const std::string& printer) override;
};

}  // namespace pagewire::platform::win32

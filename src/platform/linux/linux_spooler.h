// Spooler port for the pagewire command. The printer name picks the way:
//
//   socket://HOST[:PORT]  a raw TCP connection per document (port 9100 by
//                         default; HOST is a name, an IPv4 address or an
//                         IPv6 address in brackets)
//   anything else         a CUPS destination ("queue" or "queue/instance"),
//                         printed as a raw job on the default server
//
// Writes are gathered in a 256 KiB buffer; a write reports all its bytes
// written once they are buffered, and the buffer goes out when full and at
// EndRawDocument. AbortRawDocument drops the buffer: on CUPS the job is
// cancelled, so nothing of it prints; on a socket the connection is reset,
// which cannot recall what the printer has already read.
//
// A document whose printer takes no data is waited for as the stall policy
// says: each notice, and the timeout that ends it as a failure (the socket
// reset, the CUPS job cancelled), go through `report`.
//
// Every failure is told once through `report` as "NAME: cause", since the
// program itself only says that the operation failed.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/stall_watch.h"
#include "platform/spooler.h"

namespace pagewire::platform {

class LinuxSpooler : public Spooler {
 public:
  using Report = std::function<void(const std::string&)>;

  explicit LinuxSpooler(Report report, StallPolicy stalls = {});
  // Open documents are cancelled.
  ~LinuxSpooler() override;
  LinuxSpooler(const LinuxSpooler&) = delete;
  LinuxSpooler& operator=(const LinuxSpooler&) = delete;

  // Local: the CUPS destinations, with their make and model and device URI.
  // Connections: none.
  bool EnumeratePrinters(PrinterEnumScope scope, std::vector<PrinterInfo2>& printers) override;
  // Checks the name: a socket address must parse, a CUPS destination must
  // exist. Connects nothing.
  bool OpenPrinterHandle(const std::string& printerName, PrinterHandle& printer) override;
  // A socket printer has its name as printer and port name, no driver.
  bool QueryPrinterInfo2(PrinterHandle printer, PrinterInfo2& info) override;
  // Connects, or creates the CUPS job titled docName.
  bool StartRawDocument(PrinterHandle printer, const std::string& docName) override;
  bool WriteRawData(PrinterHandle printer, const void* data, std::uint32_t length,
                    std::uint32_t& written) override;
  // Sends the rest and ends the document. A CUPS job that could not be
  // ended is cancelled.
  bool EndRawDocument(PrinterHandle printer) override;
  bool AbortRawDocument(PrinterHandle printer) override;
  // A document still open is cancelled.
  bool ClosePrinterHandle(PrinterHandle printer) override;

  // True once opening a printer, or starting, writing or ending a document,
  // has failed.
  bool DestinationFailed() const { return destinationFailed_; }

 private:
  struct OpenPrinter;

  // Reports a handle that is not open, as a destination failure when asked.
  OpenPrinter* Find(PrinterHandle printer, bool destination);
  // Reports "name: cause"; marks the destination failed when asked. False.
  bool Fail(const std::string& name, const std::string& cause, bool destination);
  // Sends what is buffered; a failure is reported.
  bool Flush(OpenPrinter& open);

  Report report_;
  StallPolicy stalls_;
  std::map<PrinterHandle, std::unique_ptr<OpenPrinter>> printers_;
  PrinterHandle nextHandle_ = 1;
  bool destinationFailed_ = false;
};

// docName as an IPP job name: at most 255 bytes of UTF-8 without control
// characters, each byte that is not such replaced by '?'.
std::string CupsJobTitle(const std::string& docName);

}  // namespace pagewire::platform

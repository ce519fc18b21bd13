// The printers of the pagewire command. The name picks the destination:
//
//   socket://HOST[:PORT]  a raw TCP connection per document
//   ipp://HOST[:PORT]/PATH, ipps://...
//                         an IPP printer, a Print-Job request per document
//   anything else         a CUPS destination, a raw job per document
#pragma once

#include <memory>
#include <string>

#include "platform/printers.h"
#include "transport/destination_options.h"

namespace pagewire::transport {

// The destination `name` picks; failures show when a document starts.
std::unique_ptr<Destination> DestinationFor(const std::string& name,
                                            const DestinationOptions& options);

// Why `name` names no destination: a socket:// or IPP URI that is not well
// formed, or a URI of another scheme; none when it names one.
std::optional<std::string> DestinationNameProblem(const std::string& name);

class LinuxPrinters : public platform::Printers {
 public:
  explicit LinuxPrinters(DestinationOptions options) : options_(std::move(options)) {}

  // The CUPS destinations; a listing that fails is reported.
  std::vector<std::string> Names() override;
  // A CUPS destination's make and model and device URI; a socket or IPP
  // printer has no driver, and its name as port.
  std::optional<platform::PrinterDetails> DetailsOf(const std::string& printer) override;
  std::unique_ptr<Destination> DestinationFor(const std::string& printer) override {
    return transport::DestinationFor(printer, options_);
  }

 private:
  DestinationOptions options_;
};

}  // namespace pagewire::transport

// The printers the system offers, what the program reads of one, and the
// destination that prints on it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/destination.h"

namespace pagewire::platform {

// What an application that prints a file itself is told of the printer.
struct PrinterDetails {
  std::string driver;
  std::string port;
};

class Printers {
 public:
  virtual ~Printers() = default;
  // The printers to choose from, in the system's order, duplicates kept; a
  // list that cannot be read adds nothing.
  virtual std::vector<std::string> Names() = 0;
  // The driver and port of `printer`; none when it cannot be opened or read.
  virtual std::optional<PrinterDetails> DetailsOf(const std::string& printer) = 0;
  // Where the documents for `printer` go; the printer is opened for each
  // document, so a name that opens nothing fails at StartDocument.
  virtual std::unique_ptr<Destination> DestinationFor(const std::string& printer) = 0;
};

}  // namespace pagewire::platform

#include "platform/linux/linux_destinations.h"

#include "platform/linux/cups_destination.h"
#include "platform/linux/ipp_destination.h"
#include "platform/linux/socket_destination.h"

namespace pagewire::platform {

std::unique_ptr<Destination> DestinationFor(const std::string& name,
                                            const DestinationOptions& options) {
  if (IsSocketName(name)) return std::make_unique<SocketDestination>(name, options);
  if (IppDestination::Names(name)) return std::make_unique<IppDestination>(name, options);
  return std::make_unique<CupsDestination>(name, options);
}

std::vector<std::string> LinuxPrinters::Names() {
  std::vector<std::string> names;
  std::string cause;
  const std::optional<std::vector<CupsPrinter>> printers = ListCupsPrinters(cause);
  if (!printers) Tell(options_, "CUPS destinations", cause);
  for (const CupsPrinter& printer : printers.value_or(std::vector<CupsPrinter>{})) {
    names.push_back(printer.name);
  }
  return names;
}

std::optional<PrinterDetails> LinuxPrinters::DetailsOf(const std::string& printer) {
  std::string cause;
  if (IsSocketName(printer)) {
    if (!ParseSocketName(printer, cause)) return std::nullopt;
    return PrinterDetails{"", printer};
  }
  if (IppDestination::Names(printer)) return PrinterDetails{"", printer};
  const std::optional<CupsPrinter> found = FindCupsPrinter(printer);
  if (!found) return std::nullopt;
  return found->details;
}

}  // namespace pagewire::platform

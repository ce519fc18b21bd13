#include "transport/linux_destinations.h"

#include "transport/cups_destination.h"
#include "transport/ipp_destination.h"
#include "transport/socket_destination.h"

namespace pagewire::transport {

std::unique_ptr<Destination> DestinationFor(const std::string& name,
                                            const DestinationOptions& options) {
  if (IsSocketName(name)) return std::make_unique<SocketDestination>(name, options);
  if (IppDestination::Names(name)) return std::make_unique<IppDestination>(name, options);
  return std::make_unique<CupsDestination>(name, options);
}

std::optional<std::string> DestinationNameProblem(const std::string& name) {
  std::string cause;
  if (IsSocketName(name)) {
    if (ParseSocketName(name, cause)) return std::nullopt;
    return cause;
  }
  if (IppDestination::Names(name)) return IppDestination::AddressProblem(name);
  // A CUPS queue's name holds no "/": a URI of a scheme the command cannot send to.
  if (name.find("://") != std::string::npos) {
    return "pagewire does not send to " + name.substr(0, name.find("://") + 3) +
           " URIs; give socket://HOST[:PORT], ipp://HOST[:PORT]/PATH, ipps://HOST[:PORT]/PATH "
           "or the name of a CUPS destination (lpstat -e)";
  }
  return std::nullopt;
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

std::optional<platform::PrinterDetails> LinuxPrinters::DetailsOf(const std::string& printer) {
  std::string cause;
  if (IsSocketName(printer)) {
    if (!ParseSocketName(printer, cause)) return std::nullopt;
    return platform::PrinterDetails{"", printer};
  }
  if (IppDestination::Names(printer)) return platform::PrinterDetails{"", printer};
  const std::optional<CupsPrinter> found = FindCupsPrinter(printer);
  if (!found) return std::nullopt;
  return found->details;
}

}  // namespace pagewire::transport

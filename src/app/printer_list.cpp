#include "app/printer_list.h"

#include "app/launch_decisions.h"

namespace pagewire::app {

std::string DefaultPrinterPrefix(platform::SystemFacts& systemFacts) {
  return systemFacts.RecordedDefaultPrinter().name;
}

std::optional<std::string> PortOfPrinter(platform::Printers& printers, const std::string& printer) {
  const std::optional<platform::PrinterDetails> details = printers.DetailsOf(printer);
  if (!details) return std::nullopt;
  return details->port;
}

}  // namespace pagewire::app

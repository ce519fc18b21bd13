// The default printer's entry in the main dialog's list, and the port of
// the chosen printer.
#pragma once

#include <optional>
#include <string>

#include "platform/platform.h"

namespace pagewire::app {

// The text that preselects the default printer by prefix.
std::string DefaultPrinterPrefix(platform::SystemFacts& systemFacts);

// The printer's port name; none when it cannot be opened or queried.
std::optional<std::string> PortOfPrinter(platform::Printers& printers, const std::string& printer);

}  // namespace pagewire::app

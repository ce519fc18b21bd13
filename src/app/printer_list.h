// The printer list of the main dialog and the port of the chosen printer.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace pagewire::app {

// Local printers, then (except on Windows 95/98/Me) connections, in the
// order enumerated; duplicates kept. A failed enumeration adds nothing.
std::vector<std::string> InstalledPrinterNames(platform::Spooler& spooler,
                                               platform::SystemFacts& systemFacts);

// The text that preselects the default printer by prefix.
std::string DefaultPrinterPrefix(platform::SystemFacts& systemFacts);

// The printer's port name; none when it cannot be opened or queried.
std::optional<std::string> PortOfPrinter(platform::Spooler& spooler, const std::string& printer);

}  // namespace pagewire::app

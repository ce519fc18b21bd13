// The add and modify sub-commands' -o printer defaults, checked before
// PAPPL's main loop sends them: PAPPL 1.3's add sends none of the driver's
// own (number-up, the key mode, the MAC address), so they follow in a
// modify; it keeps no default for some settings, which are refused; and a
// media default goes with its type.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pagewire::server {

struct PrinterCommand {
  std::vector<std::string> first;  // the command line for PAPPL
  std::vector<std::string> then;   // a modify to run after it; empty: none
};

// None for another sub-command; `error` set for a default that cannot be
// kept or a bad value.
std::optional<PrinterCommand> SplitPrinterCommand(const std::vector<std::string>& args,
                                                  std::string& error);

}  // namespace pagewire::server

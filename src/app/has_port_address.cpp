#include "app/has_port_address.h"

#include "app/printer_list.h"

namespace pagewire::app {

bool HasPortAddress(platform::Platform& platform, const std::string& printerName) {
  const std::optional<std::string> port = PortOfPrinter(platform.printers, printerName);
  return port && platform.settingsStore.PortHasAddress(*port);
}

}  // namespace pagewire::app

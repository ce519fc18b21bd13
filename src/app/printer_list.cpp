#include "app/printer_list.h"

#include "app/launch_decisions.h"

namespace pagewire::app {

namespace {

void AppendNames(platform::Spooler& spooler, platform::PrinterEnumScope scope,
                 std::vector<std::string>& names) {
  std::vector<platform::PrinterInfo2> printers;
  if (!spooler.EnumeratePrinters(scope, printers)) return;
  for (const auto& printer : printers) names.push_back(printer.printerName);
}

}  // namespace

std::vector<std::string> InstalledPrinterNames(platform::Spooler& spooler,
                                               platform::SystemFacts& systemFacts) {
  std::vector<std::string> names;
  AppendNames(spooler, platform::PrinterEnumScope::Local, names);
  if (systemFacts.VersionInfo().platformId != platform::kPlatformWindows9x) {
    AppendNames(spooler, platform::PrinterEnumScope::Connections, names);
  }
  return names;
}

std::string DefaultPrinterPrefix(platform::SystemFacts& systemFacts) {
  return systemFacts.RecordedDefaultPrinter().name;
}

std::optional<std::string> PortOfPrinter(platform::Spooler& spooler, const std::string& printer) {
  platform::PrinterHandle handle = 0;
  if (!spooler.OpenPrinterHandle(printer, handle)) return std::nullopt;
  platform::PrinterInfo2 info;
  const bool fetched = spooler.QueryPrinterInfo2(handle, info);
  spooler.ClosePrinterHandle(handle);
  if (!fetched) return std::nullopt;
  return info.portName;
}

}  // namespace pagewire::app

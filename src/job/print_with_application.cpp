#include "job/print_with_application.h"

#include "job/text_format.h"

namespace pagewire::job {
namespace {

// The message is UTF-8 so it reads correctly on any system; the printer
// name in it is system code page text and travels as a run of its own.
constexpr const char* kDefaultPrinterLead =
    "Quillora\xE3\x83\x95\xE3\x82\xA1\xE3\x82\xA4\xE3\x83\xAB\xE3\x81\xAF"
    "\xE6\xA8\x99\xE6\xBA\x96\xE3\x83\x97\xE3\x83\xAA\xE3\x83\xB3\xE3\x82\xBF\xE3\x80\x8C";
constexpr const char* kDefaultPrinterTail =
    "\xE3\x80\x8D\xE3\x81\xA7\xE5\x8D\xB0\xE5\x88\xB7\xE3\x81\x97\xE3\x81\xBE\xE3\x81\x99";

// The default printer's name, when its record names a driver and port too.
std::string DefaultPrinterName(platform::SystemFacts& system) {
  const platform::DefaultPrinter printer = system.RecordedDefaultPrinter();
  return printer.withDriver ? printer.name : std::string();
}

bool PrintOnDefaultPrinter(platform::Platform& platform, const std::string& filePath) {
  platform::MessageText text;
  text.AppendUtf8(kDefaultPrinterLead)
      .AppendSystem(DefaultPrinterName(platform.systemFacts))
      .AppendUtf8(kDefaultPrinterTail);
  // The answer does not change what follows.
  platform.ui.ShowMessageBox(text, platform::MessageButtons::OkCancel,
                             platform::MessageIcon::Exclamation);
  return platform.shell.PrintOnDefaultPrinter(filePath);
}

}  // namespace

bool PrintWithApplication(platform::Platform& platform, const std::string& printerName,
                          const std::string& filePath) {
  const std::optional<std::string> application = platform.shell.AssociatedApplication(filePath);
  if (!application) return false;
  // An open printer whose information cannot be read is treated as one that
  // does not open: the application gets no half-empty print-to line.
  const std::optional<platform::PrinterDetails> printer =
      platform.printers.DetailsOf(printerName);
  if (!printer) return PrintOnDefaultPrinter(platform, filePath);
  // Built to any length: the print-to line is never cut.
  const std::string parameters =
      FormatText("%s /pt %s %s %s", filePath.c_str(), ("\"" + printerName + "\"").c_str(),
                 ("\"" + printer->driver + "\"").c_str(), printer->port.c_str());
  return platform.shell.StartApplication(*application, parameters);
}

}  // namespace pagewire::job

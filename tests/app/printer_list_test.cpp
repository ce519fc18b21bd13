// The printer list's enumerations, the default printer's prefix and the
// port of the chosen printer.
#include "app/printer_list.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::app {
namespace {

// Adds connected printers (the shared fake has local ones only) and can
// fail an enumeration.
class ConnectionsSpooler : public fakes::FakeSpooler {
 public:
  std::vector<platform::PrinterInfo2> connections;
  bool failLocal = false;
  int connectionEnumerations = 0;

  bool EnumeratePrinters(platform::PrinterEnumScope scope,
                         std::vector<platform::PrinterInfo2>& out) override {
    if (scope == platform::PrinterEnumScope::Local) {
      return !failLocal && FakeSpooler::EnumeratePrinters(scope, out);
    }
    ++connectionEnumerations;
    out.insert(out.end(), connections.begin(), connections.end());
    return true;
  }
};

TEST(InstalledPrinterNames, LocalThenConnectionsExceptOnWindows9x) {
  ConnectionsSpooler spooler;
  spooler.AddPrinter("Local A", "drv", "LPT1:");
  spooler.connections.push_back({"\\\\server\\Shared", "drv", "\\\\server\\Shared"});
  spooler.connections.push_back({"Local A", "drv", "LPT1:"});  // duplicates are kept
  fakes::FakeSystemFacts facts;

  facts.version = {platform::kPlatformWindowsNt, 5};
  EXPECT_EQ(InstalledPrinterNames(spooler, facts),
            (std::vector<std::string>{"Local A", "\\\\server\\Shared", "Local A"}));

  facts.version = {platform::kPlatformWindows9x, 4};
  spooler.connectionEnumerations = 0;
  EXPECT_EQ(InstalledPrinterNames(spooler, facts), (std::vector<std::string>{"Local A"}));
  EXPECT_EQ(spooler.connectionEnumerations, 0);

  facts.version = {platform::kPlatformWindowsNt, 5};
  spooler.failLocal = true;
  EXPECT_EQ(InstalledPrinterNames(spooler, facts),
            (std::vector<std::string>{"\\\\server\\Shared", "Local A"}));
}

TEST(PortOfPrinter, GivesThePortAndClosesThePrinter) {
  fakes::FakeSpooler spooler;
  spooler.AddPrinter("Disk", "drv", "FILE:");
  EXPECT_EQ(PortOfPrinter(spooler, "Disk"), "FILE:");
  EXPECT_EQ(PortOfPrinter(spooler, "Missing"), std::nullopt);
  spooler.failInfo = true;
  EXPECT_EQ(PortOfPrinter(spooler, "Disk"), std::nullopt);
  EXPECT_EQ(spooler.openHandles, 0);
}

}  // namespace
}  // namespace pagewire::app

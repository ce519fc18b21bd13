#include "app/direct_print_model.h"

#include <gtest/gtest.h>

#include "app/has_port_address.h"
#include "fakes/fake_platform.h"
#include "job/scripted_dialogs.h"

namespace pagewire::app {
namespace {

job::InspectPdf ProtectedQueries() {
  return [](const std::string&) -> std::optional<job::PdfFacts> {
    return job::PdfFacts{false, true, pdf::PasswordForm::CodePage,
                         [](const std::string&) { return false; }};
  };
}

TEST(DirectPrintModel, StartsEmptyForThePrinterQueue) {
  fakes::FakePlatform fake;
  job::ScriptedDialogs dialogs;
  DirectPrintModel model(fake.platform, dialogs, ProtectedQueries());
  EXPECT_EQ(model.destination, job::DestinationKind::Printer);
  EXPECT_TRUE(model.filePath.empty());
  EXPECT_TRUE(model.printerName.empty());
}

TEST(DirectPrintModel, PasswordDialogLearnsThePortAddress) {
  for (bool hasAddress : {true, false}) {
    fakes::FakePlatform fake;
    fake.printers.AddPrinter("Office", "Model 5", "IP_10.0.0.7");
    // The store is asked about the printer's port.
    if (hasAddress) fake.settingsStore.portsWithAddress = {"IP_10.0.0.7"};
    fake.fileSystem.AddFile("C:\\a.pdf", "%PDF");
    job::ScriptedDialogs dialogs;
  DirectPrintModel model(fake.platform, dialogs, ProtectedQueries());
    model.filePath = "C:\\a.pdf";
    model.printerName = "Office";
    model.RunPrintJob(0);
    ASSERT_EQ(dialogs.passwordRuns.size(), 1u);
    EXPECT_EQ(dialogs.passwordRuns[0].macEntryDisabled, !hasAddress);
    // A printer the spooler does not know has no port to ask about.
    EXPECT_FALSE(HasPortAddress(fake.platform, "Nowhere"));
  }
}

TEST(DirectPrintModel, UpdateDuringACommandWaitsUntilItEnds) {
  fakes::FakePlatform fake;
  fake.printers.AddPrinter("Office", "Model 5", "IP_10.0.0.7");
  fake.fileSystem.AddFolder("C:\\docs");
  fake.fileSystem.AddFolder("C:\\other");
  fake.fileSystem.AddFile("C:\\docs\\a.pdf", "a");
  fake.fileSystem.AddFile("C:\\docs\\b.tif", "b");
  fake.fileSystem.AddFile("C:\\other\\c.tif", "c");
  job::ScriptedDialogs dialogs;
  DirectPrintModel model(fake.platform, dialogs, ProtectedQueries());
  model.filePath = "C:\\docs";
  model.printerName = "Office";
  // A "devices" change while a.pdf is confirmed reads the controls; the
  // TIFF pass still searches the command's folder.
  dialogs.confirmAnswers = {job::FileConfirmResult::Cancel, job::FileConfirmResult::Ok};
  dialogs.onConfirm = [&] {
    model.WhenIdle([&] { model.filePath = "C:\\other"; });
  };
  model.RunPrintJob(1);
  EXPECT_EQ(dialogs.confirmedNames, (std::vector<std::string>{"a.pdf", "b.tif"}));
  EXPECT_EQ(model.filePath, "C:\\other");  // applied once the command ended
  EXPECT_FALSE(model.CommandRunning());
}

}  // namespace
}  // namespace pagewire::app

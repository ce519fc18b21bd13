#include "app/direct_print_model.h"

#include <gtest/gtest.h>

#include "fakes/fake_platform.h"

namespace pagewire::app {
namespace {

job::PdfQueries ProtectedQueries() {
  job::PdfQueries queries;
  queries.isPrintDisable = [](const std::string&) { return 0; };
  queries.isPdfPasswd = [](const std::string&) { return 1; };
  queries.checkPdfPasswd = [](const std::string&, const std::string&) { return 0; };
  return queries;
}

TEST(DirectPrintModel, StartsEmptyForThePrinterQueue) {
  fakes::FakePlatform fake;
  DirectPrintModel model(fake.platform, fake.ui, ProtectedQueries());
  EXPECT_EQ(model.outputMode, job::kOutputToPrinter);
  EXPECT_TRUE(model.filePath.empty());
  EXPECT_TRUE(model.printerName.empty());
  EXPECT_FALSE(model.outputFile);
}

TEST(DirectPrintModel, PasswordDialogLearnsThePortAddress) {
  for (bool hasAddress : {true, false}) {
    fakes::FakePlatform fake;
    fake.spooler.AddPrinter("Office", "Model 5", "IP_10.0.0.7");
    if (hasAddress) {
      fake.registry.keys["System\\CurrentControlSet\\Control\\Print\\Monitors\\Standard TCP/IP "
                         "Port\\Ports\\IP_10.0.0.7"]["IPAddress"] = {1, {'1', 0}};
    }
    fake.fileSystem.AddFile("C:\\a.pdf", "%PDF");
    DirectPrintModel model(fake.platform, fake.ui, ProtectedQueries());
    model.filePath = "C:\\a.pdf";
    model.printerName = "Office";
    model.RunPrintJob(0);
    ASSERT_EQ(fake.ui.passwordRuns.size(), 1u);
    EXPECT_EQ(fake.ui.passwordRuns[0].macEntryDisabled, !hasAddress);
  }
}

TEST(DirectPrintModel, ChooseOutputFileOpensTheChosenFile) {
  fakes::FakePlatform fake;
  DirectPrintModel model(fake.platform, fake.ui, ProtectedQueries());
  EXPECT_EQ(model.ChooseOutputFile(), 0);  // chooser cancelled
  fake.ui.saveAnswers.push_back("C:\\out.prn");
  EXPECT_EQ(model.ChooseOutputFile(), 1);
  model.WriteJobData(0, "abc", 3);
  EXPECT_EQ(fake.fileSystem.written["C:\\out.prn"], "abc");
}

}  // namespace
}  // namespace pagewire::app

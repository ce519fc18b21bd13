// Direct mode of start-up through the fakes: the display name, the
// confirmation, the ShowDragDlg key and the job's arguments.
#include "app/direct_launch.h"

#include <gtest/gtest.h>

#include "app/show_drag_dlg_key.h"
#include "fakes/fake_platform.h"

namespace pagewire::app {
namespace {

struct JobCall {
  std::string filePath, printerName;
  bool interactive;
};

class DirectLaunchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.fileSystem.AddFile("C:\\My Files\\Report 1.pdf", "%PDF-1.4");
    fake.fileSystem.AddFolder("C:\\Scans");
  }

  void Launch(const std::string& tail,
              PrintConfirmResult confirmAnswer = PrintConfirmResult::Ok) {
    DirectLaunchHooks hooks;
    hooks.defaultPrinter = [this] { return defaultPrinter; };
    hooks.runConfirmDlg = [this, confirmAnswer](const ConfirmRequest& request) {
      confirms.push_back(request);
      keyWhileConfirming = fake.settingsStore.skipsConfirmation;
      // As the dialog ends with its box unticked.
      ApplyConfirmEnding(fake.settingsStore, confirmAnswer, false);
      return confirmAnswer;
    };
    hooks.runPrintJob = [this](const std::string& path, const std::string& printer, bool mode) {
      jobs.push_back({path, printer, mode});
    };
    RunDirectLaunch(fake.platform, tail, hooks);
  }

  fakes::FakePlatform fake;
  std::string defaultPrinter = "Office";
  std::vector<ConfirmRequest> confirms;
  std::vector<JobCall> jobs;
  bool keyWhileConfirming = false;
};

TEST_F(DirectLaunchTest, QuotedPathShowsTheLongNameAndTheJobGetsTheQuotes) {
  Launch(R"("C:\My Files\Report 1.pdf")");
  ASSERT_EQ(confirms.size(), 1u);
  EXPECT_EQ(confirms[0].fileName, "Report 1.pdf");
  EXPECT_EQ(confirms[0].printerName, "Office");
  EXPECT_FALSE(confirms[0].skipBoxUnavailable);
  EXPECT_TRUE(keyWhileConfirming);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].filePath, R"("C:\My Files\Report 1.pdf")");
  EXPECT_EQ(jobs[0].printerName, "Office");
  EXPECT_FALSE(jobs[0].interactive);
  EXPECT_TRUE(fake.ui.messages.empty());
}

TEST_F(DirectLaunchTest, FolderShowsItsName) {
  Launch("C:\\Scans");
  ASSERT_EQ(confirms.size(), 1u);
  EXPECT_EQ(confirms[0].fileName, "Scans");
}

TEST_F(DirectLaunchTest, UnresolvedNamesAreReportedAndPassedOn) {
  const std::pair<std::string, std::string> cases[] = {
      {R"("C:\My Files\Report 1.pdf)", R"("C:\My Files\Report 1.pdf)"},
      {R"("C:\a.pdf" "C:\b.pdf")", R"(C:\a.pdf" "C:\b.pdf)"},
  };
  for (const auto& [tail, shown] : cases) {
    confirms.clear();
    jobs.clear();
    fake.ui.messages.clear();
    Launch(tail);
    ASSERT_EQ(fake.ui.messages.size(), 1u);
    EXPECT_EQ(fake.ui.messages[0].Text(), kFilePathNotObtained);
    ASSERT_EQ(confirms.size(), 1u);
    EXPECT_EQ(confirms[0].fileName, shown);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].filePath, tail);
  }
}

TEST_F(DirectLaunchTest, PresentKeySkipsTheDialogAndPrintsWithoutQuestions) {
  fake.settingsStore.skipsConfirmation = true;
  Launch("C:\\Scans");
  EXPECT_TRUE(confirms.empty());
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_FALSE(jobs[0].interactive);
  EXPECT_TRUE(fake.settingsStore.skipsConfirmation);
}

TEST_F(DirectLaunchTest, PrintSettingsRunsTheJobInteractively) {
  Launch("C:\\Scans", PrintConfirmResult::PrintSettings);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_TRUE(jobs[0].interactive);
}

TEST_F(DirectLaunchTest, CancelPrintsNothingAndTheNextLaunchAsksAgain) {
  Launch("C:\\Scans", PrintConfirmResult::Cancel);
  EXPECT_TRUE(jobs.empty());
  EXPECT_FALSE(fake.settingsStore.skipsConfirmation);
  Launch("C:\\Scans", PrintConfirmResult::Cancel);
  EXPECT_EQ(confirms.size(), 2u);
  EXPECT_TRUE(fake.ui.messages.empty());
}

TEST_F(DirectLaunchTest, KeyThatCannotBeCreatedDisablesTheSkipBox) {
  fake.settingsStore.readOnly = true;
  Launch("C:\\Scans");
  ASSERT_EQ(confirms.size(), 1u);
  EXPECT_TRUE(confirms[0].skipBoxUnavailable);
}

TEST_F(DirectLaunchTest, NoDefaultPrinterGivesEmptyNames) {
  defaultPrinter.clear();
  Launch("C:\\Scans");
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(confirms[0].printerName, "");
  EXPECT_EQ(jobs[0].printerName, "");
}

}  // namespace
}  // namespace pagewire::app

#include <gtest/gtest.h>

#include "job/pdf_print_settings.h"
#include "print_command_fixture.h"

namespace pagewire::job {
namespace {

using ::testing::ElementsAre;

class FolderCommand : public PrintCommandTest {
 protected:
  FolderCommand() {
    fake.fileSystem.AddFolder("C:\\docs");
    path = "C:\\docs";
  }
  void Add(const std::string& name, std::string content = "data") {
    fake.fileSystem.AddFile("C:\\docs\\" + name, std::move(content));
  }
};

TEST_F(FolderCommand, PassesComeInClassOrder) {
  Add("b.tif");
  Add("a.qlr");
  Add("z.pdf");
  Run(0);
  EXPECT_THAT(fake.fileSystem.searches,
              ElementsAre("C:\\docs *.pdf", "C:\\docs *.qlr", "C:\\docs *.tif"));
  // The Quillora file has no application: it ends its pass and the TIFF pass follows.
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]z.pdf", "[Pagewire]b.tif"));
  EXPECT_THAT(Messages(), ElementsAre("Quillora is not aviable"));
}

TEST_F(FolderCommand, FolderPdfHasNoEnterLanguageLine) {
  Add("a.pdf");
  Run(0);
  const std::string bytes = fake.printers.documents.at(0).Bytes();
  EXPECT_EQ(bytes.find("ENTER LANGUAGE"), std::string::npos);
  EXPECT_NE(bytes.find("DNAME=a.pdf\n"), std::string::npos);
  EXPECT_EQ(result.nextDestination, DestinationKind::Printer);
}

TEST_F(FolderCommand, PrintAllOnFirstPdfPrintsTheRestWithoutQuestions) {
  Add("a.pdf");
  Add("b.pdf");
  Add("c.tif");
  dialogs.confirmAnswers.push_back(FileConfirmResult::PrintAll);
  dialogs.settingsRuns.push_back([](job::PdfPrintSettings& d) {
    d.settings.copies = 4;
    return SettingsDlgResult::Ok;
  });
  Run(1);
  EXPECT_THAT(dialogs.confirmedNames, ElementsAre("a.pdf"));
  EXPECT_EQ(dialogs.settingsRunCount, 1);
  ASSERT_EQ(fake.printers.documents.size(), 3u);
  EXPECT_NE(fake.printers.documents[0].Bytes().find("COPIES=4\n"), std::string::npos);
  EXPECT_NE(fake.printers.documents[1].Bytes().find("COPIES=4\n"), std::string::npos);
  EXPECT_EQ(fake.printers.documents[2].Bytes(), "data");
}

TEST_F(FolderCommand, InteractiveConfirmsEveryFile) {
  Add("a.pdf");
  Add("b.pdf");
  Add("c.tif");
  Run(1);
  EXPECT_THAT(dialogs.confirmedNames, ElementsAre("a.pdf", "b.pdf", "c.tif"));
  EXPECT_EQ(dialogs.settingsRunCount, 2);
  EXPECT_EQ(fake.printers.documents.size(), 3u);
}

TEST_F(FolderCommand, PrintAllThenSettingsCancelEndsTheCommand) {
  Add("a.pdf");
  Add("b.pdf");
  dialogs.confirmAnswers.push_back(FileConfirmResult::PrintAll);
  dialogs.settingsRuns.push_back([](PdfPrintSettings&) { return SettingsDlgResult::Cancel; });
  Run(1);
  EXPECT_TRUE(fake.printers.documents.empty());
  EXPECT_THAT(dialogs.confirmedNames, ElementsAre("a.pdf"));
}

TEST_F(FolderCommand, PrintAllOnTiffActsAsOk) {
  Add("a.tif");
  Add("b.tif");
  dialogs.confirmAnswers.push_back(FileConfirmResult::PrintAll);
  Run(1);
  EXPECT_THAT(dialogs.confirmedNames, ElementsAre("a.tif", "b.tif"));
}

TEST_F(FolderCommand, CancelSkipsAndAbortEnds) {
  Add("a.pdf");
  Add("b.pdf");
  Add("c.pdf");
  dialogs.confirmAnswers = {FileConfirmResult::Cancel, FileConfirmResult::Ok,
                           FileConfirmResult::Abort};
  job.destination.kind = DestinationKind::Printer;
  const JobResult summary = Run(1);
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]b.pdf"));
  // What the Linux command's exit status is made of: an abort is not a
  // completed command.
  EXPECT_EQ(summary.SentCount(), 1);
  EXPECT_EQ(summary.Count(DocumentOutcome::Kind::Skipped), 1);
  EXPECT_FALSE(summary.completed);
}

TEST_F(FolderCommand, EmptyFolderSaysSo) {
  Add("notes.txt");
  Run(1);
  EXPECT_THAT(Messages(), ElementsAre("There is no valid file in the folder."));
}

TEST_F(FolderCommand, LastPassEmptyAfterEarlierFilesEndsSilently) {
  Add("a.pdf");
  Run(1);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(FolderCommand, BlankFileIsSkippedAndNextPrinted) {
  Add("a.pdf", "");
  Add("b.pdf");
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("The file is blank and cannot be printed.\n"));
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]b.pdf"));
}

TEST_F(FolderCommand, WrongPasswordSkipsToNextFile) {
  Add("a.pdf");
  Add("b.pdf");
  answers["C:\\docs\\a.pdf"] = {0, 1, "right"};
  for (int i = 0; i < 4; ++i) dialogs.passwordAnswers.push_back({PasswordDlgResult::Ok, "bad", {}});
  Run(0);
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]b.pdf"));
  // Each PDF is read once, however often a password is tried.
  EXPECT_THAT(queriedPaths, ElementsAre("C:\\docs\\a.pdf", "C:\\docs\\b.pdf"));
  EXPECT_EQ(checkedPasswords.size(), 4u);
}

TEST_F(FolderCommand, UnopenableFileEndsTheWholeCommand) {
  Add("a.pdf");
  Add("b.pdf");
  fake.fileSystem.files["C:\\docs\\a.pdf"].openFailure = platform::FileErrorCause::AccessDenied;
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("Access to C:\\docs\\a.pdf was denied."));
  EXPECT_TRUE(fake.printers.documents.empty());
}

TEST_F(FolderCommand, FilesAreOpenedUnderTheShortFolderPath) {
  fake.fileSystem.openPaths["C:\\docs"] = "C:\\DOCS~1";
  fake.fileSystem.openPaths["C:\\docs\\a long.pdf"] = "C:\\DOCS~1\\a long.pdf";
  Add("a long.pdf");
  Run(0);
  EXPECT_THAT(queriedPaths, ElementsAre("C:\\DOCS~1\\a long.pdf"));
}

TEST_F(FolderCommand, OutputFileCollectsEveryFile) {
  Add("a.pdf", "PDF-A");
  Add("b.tif", "TIFF-B");
  job.destination.kind = DestinationKind::OutputFile;
  fake.ui.saveAnswers.push_back("C:\\out.prn");
  Run(0);
  const std::string& out = fake.fileSystem.written["C:\\out.prn"];
  const std::size_t a = out.find("DNAME=a.pdf");
  const std::size_t aBody = out.find("PDF-A");
  EXPECT_NE(a, std::string::npos);
  EXPECT_LT(a, aBody);
  EXPECT_EQ(out.substr(out.size() - 6), "TIFF-B");
  EXPECT_EQ(fake.fileSystem.closedOutputs, 1);
  EXPECT_TRUE(fake.printers.documents.empty());
  EXPECT_EQ(result.nextDestination, DestinationKind::Printer);
}

}  // namespace
}  // namespace pagewire::job

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "job/job_messages.h"
#include "job/pdf_print_settings.h"
#include "job/password_crypt.h"
#include "print_command_fixture.h"

namespace pagewire::job {
namespace {

using platform::MessageButtons;
using platform::MessageIcon;
using ::testing::ElementsAre;

const std::string kPdf = "%PDF-1.4 fake body";

// ----- start of a command and classification

TEST_F(PrintCommandTest, QuotedPathIsStrippedAndPrinted) {
  fake.fileSystem.AddFile("C:\\docs\\a.pdf", kPdf);
  path = "\"C:\\docs\\a.pdf\"";
  Run(0);
  EXPECT_EQ(result.resolvedPath, "C:\\docs\\a.pdf");
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]a.pdf"));
  EXPECT_TRUE(Messages().empty());
}

TEST_F(PrintCommandTest, LoneLeadingQuoteIsAnInvalidPathAndOffersOpenFile) {
  fake.fileSystem.AddFile("C:\\docs\\b.tif", "II*");
  fake.ui.openAnswers.push_back("C:\\docs\\b.tif");
  path = "\"C:\\docs\\a.pdf";
  Run(1);
  EXPECT_EQ(Messages().at(0), " [\"C:\\docs\\a.pdf] is an invalid path.");
  ASSERT_EQ(fake.ui.openRequests.size(), 1u);
  EXPECT_EQ(fake.ui.openRequests[0].filter, "PDF Files (*.pdf)|*.pdf|");
  EXPECT_EQ(fake.ui.openRequests[0].defaultExtension, "pdf");
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]b.tif"));
}

TEST_F(PrintCommandTest, MissingPathEndsWithInvalidPath) {
  path = "C:\\nothing.pdf";
  job.destination.kind = DestinationKind::Printer;
  Run(1);
  EXPECT_THAT(Messages(), ElementsAre(" [C:\\nothing.pdf] is an invalid path."));
  EXPECT_EQ(fake.ui.messages[0].icon, MessageIcon::Exclamation);
  EXPECT_TRUE(fake.printers.documents.empty());
}

TEST_F(PrintCommandTest, EmptyPathAndEmptyPrinter) {
  job.destination.printerName.clear();
  Run(1);
  EXPECT_THAT(Messages(),
              ElementsAre("No printers are available.", "This dialog has no files to select."));
}

TEST_F(PrintCommandTest, EmptyPrinterFailsAtOpenPrinter) {
  fake.fileSystem.AddFile("C:\\a.tif", "II*");
  path = "C:\\a.tif";
  job.destination.printerName.clear();
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("No printers are available.",
                                      "An unsupported operation was attempted."));
  EXPECT_EQ(fake.ui.messages[1].icon, MessageIcon::Stop);
}

struct ClassCase {
  const char* path;
  bool header;
  bool warned;
};

class ClassOfFile : public PrintCommandTest, public ::testing::WithParamInterface<ClassCase> {};

TEST_P(ClassOfFile, DecidesHeaderAndWarning) {
  fake.fileSystem.AddFile(GetParam().path, "data");
  path = GetParam().path;
  Run(1);
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  const std::string bytes = fake.printers.documents[0].Bytes();
  EXPECT_EQ(bytes.rfind("\x1B%-12345X", 0) == 0, GetParam().header);
  EXPECT_EQ(dialogs.settingsRunCount, GetParam().header ? 1 : 0);
  const bool warned = !Messages().empty() &&
                      Messages()[0] ==
                          "The selected file is not of a supported file format. It will be sent "
                          "to the printer without being processed.";
  EXPECT_EQ(warned, GetParam().warned);
  if (warned) {
    EXPECT_EQ(fake.ui.messages[0].buttons, MessageButtons::OkCancel);
  }
}

INSTANTIATE_TEST_SUITE_P(Paths, ClassOfFile,
                         ::testing::Values(ClassCase{"C:\\x.pdf.old\\a.txt", true, false},
                                           ClassCase{"C:\\docs\\report.PDF", true, false},
                                           ClassCase{"C:\\docs\\scan.TIFF", false, false},
                                           ClassCase{"C:\\docs\\photo.jpg", false, true},
                                           ClassCase{"C:\\docs\\job.prn", false, true}));

TEST_F(PrintCommandTest, OtherFileCancelledIsNotSent) {
  fake.fileSystem.AddFile("C:\\photo.jpg", "jpg");
  path = "C:\\photo.jpg";
  fake.ui.messageAnswers.push_back(platform::MessageAnswer::Cancel);
  Run(1);
  EXPECT_TRUE(fake.printers.documents.empty());
}

TEST_F(PrintCommandTest, OtherFileNotInteractiveGoesWithoutWarning) {
  fake.fileSystem.AddFile("C:\\photo.jpg", "jpg");
  path = "C:\\photo.jpg";
  Run(0);
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(fake.printers.documents.at(0).Bytes(), "jpg");
}

// ----- sending

TEST_F(PrintCommandTest, TenThousandByteTiffGoesInThreeWrites) {
  fake.fileSystem.AddFile("C:\\scan.tif", std::string(10000, 'T'));
  path = "C:\\scan.tif";
  Run(1);
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  const auto& writes = fake.printers.documents[0].writes;
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0].size(), 4096u);
  EXPECT_EQ(writes[1].size(), 4096u);
  EXPECT_EQ(writes[2].size(), 1808u);
  EXPECT_TRUE(fake.printers.documents[0].committed);
}

TEST_F(PrintCommandTest, PdfIsHeaderPiecesThenFile) {
  fake.fileSystem.AddFile("C:\\report.pdf", kPdf);
  path = "C:\\report.pdf";
  Run(0);
  const auto& doc = fake.printers.documents.at(0);
  EXPECT_EQ(doc.writes.front(), "\x1B%-12345X");
  EXPECT_EQ(doc.writes.back(), kPdf);
  EXPECT_EQ(doc.writes[doc.writes.size() - 2], "@PJL ENTER LANGUAGE = PDF\n");
  EXPECT_NE(doc.Bytes().find("@FSIZ=18\""), std::string::npos);
}

TEST_F(PrintCommandTest, BlankFileIsNotPrinted) {
  fake.fileSystem.AddFile("C:\\empty.pdf", "");
  path = "C:\\empty.pdf";
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("The file is blank and cannot be printed.\n"));
  EXPECT_TRUE(fake.printers.documents.empty());
}

struct FailureCase {
  const char* name;
  std::function<void(fakes::FakePlatform&)> arrange;
  const char* message;
};

class SendFailure : public PrintCommandTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(SendFailure, EndsTheCommandWithStopIcon) {
  fake.fileSystem.AddFile("C:\\a.tif", std::string(5000, 'x'));
  path = "C:\\a.tif";
  GetParam().arrange(fake);
  const JobResult summary = Run(0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], GetParam().message);
  EXPECT_EQ(summary.PrinterFailed(), Messages()[0] == kUnsupportedOperation);
  EXPECT_EQ(fake.ui.messages[0].icon, MessageIcon::Stop);
  EXPECT_EQ(result.nextDestination, DestinationKind::Printer);
  // A document cut short is cancelled, never handed to the printer.
  for (const auto& document : fake.printers.documents) {
    EXPECT_NE(document.committed, document.aborted) << document.title;
    EXPECT_TRUE(!document.committed || document.Bytes() == std::string(5000, 'x'))
        << document.title;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Causes, SendFailure,
    ::testing::Values(
        FailureCase{"Write", [](auto& f) { f.printers.failWriteAt = 1; },
                    "An unsupported operation was attempted."},
        FailureCase{"Commit", [](auto& f) { f.printers.failCommit = true; },
                    "An unsupported operation was attempted."},
        FailureCase{"OpenShared",
                    [](auto& f) { f.fileSystem.files["C:\\a.tif"].openFailure = platform::FileErrorCause::SharingViolation; },
                    "A sharing violation occurred while accessing C:\\a.tif."},
        FailureCase{"NotFound",
                    [](auto& f) { f.fileSystem.files["C:\\a.tif"].openFailure = platform::FileErrorCause::FileNotFound; },
                    "C:\\a.tif was not found."},
        FailureCase{"ReadError",
                    [](auto& f) { f.fileSystem.files["C:\\a.tif"].readFailure = platform::FileErrorCause::HardIo; },
                    "A hardware I/O error was reported while accessing C:\\a.tif."},
        FailureCase{"SizeUnreadableIsNotCalledBlank",
                    [](auto& f) { f.fileSystem.files["C:\\a.tif"].sizeFailure = platform::FileErrorCause::HardIo; },
                    "A hardware I/O error was reported while accessing C:\\a.tif."}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PrintCommandTest, ShortPathIsOpenedAndLongNameNamesTheJob) {
  fake.fileSystem.AddFile("C:\\My Documents\\long report.pdf", kPdf);
  fake.fileSystem.openPaths["C:\\My Documents\\long report.pdf"] = "C:\\MYDOCU~1\\LONGRE~1.PDF";
  path = "C:\\My Documents\\long report.pdf";
  Run(0);
  EXPECT_THAT(queriedPaths, ElementsAre("C:\\MYDOCU~1\\LONGRE~1.PDF"));
  EXPECT_THAT(DocNames(), ElementsAre("[Pagewire]long report.pdf"));
  EXPECT_NE(fake.printers.documents[0].Bytes().find("DNAME=long report.pdf\n"), std::string::npos);
}

TEST_F(PrintCommandTest, PathTooLongForItsBufferIsRefused) {
  const std::string longPath = "C:\\" + std::string(260, 'd') + ".tif";
  fake.fileSystem.AddFile(longPath, "x");
  path = longPath;
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("[" + longPath + "] is too long a path to be printed."));
  EXPECT_TRUE(fake.printers.documents.empty());
}

// ----- passwords

class PasswordFlow : public PrintCommandTest {
 protected:
  PasswordFlow() {
    fake.fileSystem.AddFile("C:\\secret.pdf", kPdf);
    path = "C:\\secret.pdf";
    answers["C:\\secret.pdf"] = {0, 1, "right"};
  }
  void Type(std::string password, std::optional<settings::MacAddress> mac = std::nullopt) {
    dialogs.passwordAnswers.push_back({PasswordDlgResult::Ok, std::move(password), mac});
  }
};

TEST_F(PasswordFlow, ThreeWrongThenWrongPasswordCancels) {
  for (int i = 0; i < 4; ++i) Type("bad");
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("Check the password you have just entered.",
                                      "Check the password you have just entered.",
                                      "Check the password you have just entered.",
                                      "Wrong password. Printing will be canceled."));
  EXPECT_EQ(dialogs.passwordRuns.size(), 4u);
  EXPECT_TRUE(fake.printers.documents.empty());
}

TEST_F(PasswordFlow, AcceptedAfterRetryUsesFixedKey) {
  Type("bad");
  Type("right");
  Run(0);  // not interactive: the password dialog is still shown
  EXPECT_EQ(dialogs.passwordRuns.size(), 2u);
  EXPECT_EQ(dialogs.passwordRuns[1].password, "bad");  // a retry shows the previous entry
  EXPECT_EQ(dialogs.passwordRuns[0].fileName, "secret.pdf");
  EXPECT_EQ(queriedPaths.size(), 1u);  // read once, checked twice
  const PasswordBlock cipher = EncryptPasswordBlock(MakePasswordBlock("right"), kFixedPasswordKey);
  const std::string bytes = fake.printers.documents.at(0).Bytes();
  EXPECT_NE(bytes.find("@EPKY=FK\"\n@PJL SET JOBATTR=\"@EPWD=" + HexOfCipher(cipher) + "\"\n"),
            std::string::npos);
}

TEST_F(PasswordFlow, MacAddressSelectsKeyModeMa) {
  const settings::MacAddress mac = {0x00, 0x1B, 0xC0, 0xFF, 0x07, 0x5A};
  Type("right", mac);
  Run(0);
  const PasswordBlock cipher = EncryptPasswordBlock(MakePasswordBlock("right"), mac);
  EXPECT_NE(fake.printers.documents.at(0).Bytes().find("@EPKY=MA\"\n@PJL SET JOBATTR=\"@EPWD=" +
                                                      HexOfCipher(cipher)),
            std::string::npos);
}

TEST_F(PasswordFlow, PortWithoutAddressDisablesMacEntry) {
  hasPortAddress = false;
  Run(0);
  ASSERT_EQ(dialogs.passwordRuns.size(), 1u);
  EXPECT_TRUE(dialogs.passwordRuns[0].macEntryDisabled);
}

TEST_F(PasswordFlow, EmptyPasswordPrintsWithoutPasswordLines) {
  Type("");
  Run(0);
  EXPECT_TRUE(checkedPasswords.empty());
  EXPECT_EQ(fake.printers.documents.at(0).Bytes().find("EPKY"), std::string::npos);
}

TEST_F(PasswordFlow, LongPasswordIsCheckedByItsFirst32Characters) {
  answers["C:\\secret.pdf"].password = std::string(32, 'p');
  Type(std::string(40, 'p'));
  Run(0);
  EXPECT_THAT(checkedPasswords, ElementsAre(std::string(32, 'p')));
  EXPECT_EQ(fake.printers.documents.size(), 1u);
}

TEST_F(PasswordFlow, CancelInPasswordDialogPrintsNothing) {
  Run(0);
  EXPECT_TRUE(fake.printers.documents.empty());
  EXPECT_TRUE(Messages().empty());
}

struct UnreadableCase {
  int printDisable;
  int passwd;
};

class UnreadablePdf : public PrintCommandTest, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadablePdf, AsksAndOkPrintsWithoutPassword) {
  fake.fileSystem.AddFile("C:\\odd.pdf", kPdf);
  path = "C:\\odd.pdf";
  answers["C:\\odd.pdf"] = {GetParam().printDisable, GetParam().passwd, ""};
  Run(0);
  EXPECT_THAT(Messages(),
              ElementsAre("[odd.pdf] is not of a supported file format. Do you want to continue?"));
  EXPECT_EQ(fake.ui.messages[0].buttons, MessageButtons::OkCancel);
  EXPECT_TRUE(dialogs.passwordRuns.empty());
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  EXPECT_EQ(fake.printers.documents[0].Bytes().find("EPKY"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Answers, UnreadablePdf,
                         ::testing::Values(UnreadableCase{1, 0}, UnreadableCase{-1, 0},
                                           UnreadableCase{0, -1}));

TEST_F(PrintCommandTest, UnreadablePdfCancelledIsNotPrinted) {
  fake.fileSystem.AddFile("C:\\odd.pdf", kPdf);
  path = "C:\\odd.pdf";
  answers["C:\\odd.pdf"] = {-1, 0, ""};
  fake.ui.messageAnswers.push_back(platform::MessageAnswer::Cancel);
  Run(0);
  EXPECT_TRUE(fake.printers.documents.empty());
}

// ----- settings dialog

TEST_F(PrintCommandTest, SettingsDialogChoicesReachTheHeader) {
  fake.fileSystem.AddFile("C:\\a.pdf", kPdf);
  path = "C:\\a.pdf";
  dialogs.settingsRuns.push_back([](job::PdfPrintSettings& d) {
    d.settings.copies = 3;
    return SettingsDlgResult::Ok;
  });
  Run(1);
  EXPECT_NE(fake.printers.documents.at(0).Bytes().find("COPIES=3\n"), std::string::npos);
}

TEST_F(PrintCommandTest, SettingsDialogCancelEndsSingleFile) {
  fake.fileSystem.AddFile("C:\\a.pdf", kPdf);
  path = "C:\\a.pdf";
  dialogs.settingsRuns.push_back([](PdfPrintSettings&) { return SettingsDlgResult::Cancel; });
  Run(1);
  EXPECT_TRUE(fake.printers.documents.empty());
}

TEST_F(PrintCommandTest, SavedSettingsAreLoadedWithoutDialog) {
  fake.settingsStore.printSettings = settings::PrintJobSettings{.copies = 7, .collate = settings::Collation::Collated};
  fake.fileSystem.AddFile("C:\\a.pdf", kPdf);
  path = "C:\\a.pdf";
  Run(0);
  EXPECT_NE(fake.printers.documents.at(0).Bytes().find("COLLATENORMAL\n@PJL SET QTY =7\n"),
            std::string::npos);
}

// ----- Quillora

TEST_F(PrintCommandTest, QuilloraGoesToItsApplicationWithTheWholePrintToLine) {
  const std::string printer(300, 'p');  // the print-to line is never cut
  fake.printers.AddPrinter(printer, "Model 5 PS", "IP_10.0.0.7");
  job.destination.printerName = printer;
  fake.fileSystem.AddFile("C:\\plan.qlr", "Q");
  fake.shell.associations["C:\\plan.qlr"] = "C:\\Quillora\\q.exe";
  path = "C:\\plan.qlr";
  job.destination.kind = DestinationKind::OutputFile;
  fake.ui.saveAnswers.push_back("C:\\out.prn");
  Run(1);
  EXPECT_TRUE(fake.printers.documents.empty());
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(result.nextDestination, DestinationKind::OutputFile);
  ASSERT_EQ(fake.shell.calls.size(), 1u);
  EXPECT_EQ(fake.shell.calls[0].action, "start");
  EXPECT_EQ(fake.shell.calls[0].file, "C:\\Quillora\\q.exe");
  EXPECT_EQ(fake.shell.calls[0].parameters,
            "C:\\plan.qlr /pt \"" + printer + "\" \"Model 5 PS\" IP_10.0.0.7");
}

struct DefaultPrinterCase {
  const char* name;
  platform::MessageAnswer answer;
  platform::DefaultPrinter recorded;
  const char* shown;  // the name in the message
};

class QuilloraOnDefaultPrinter : public PrintCommandTest,
                                 public ::testing::WithParamInterface<DefaultPrinterCase> {};

// A printer that cannot be read leaves the file to the system's print on the
// default printer, after a message naming it; the answer changes nothing.
TEST_P(QuilloraOnDefaultPrinter, SaysSoInJapaneseAndPrintsAnyway) {
  fake.fileSystem.AddFile("C:\\plan.qlr", "Q");
  fake.shell.associations["C:\\plan.qlr"] = "C:\\Quillora\\q.exe";
  fake.systemFacts.defaultPrinter = GetParam().recorded;
  fake.ui.messageAnswers.push_back(GetParam().answer);
  path = "C:\\plan.qlr";
  job.destination.printerName = "Gone";
  Run(0);
  ASSERT_EQ(fake.ui.messages.size(), 1u);
  const auto& message = fake.ui.messages[0];
  EXPECT_EQ(message.buttons, MessageButtons::OkCancel);
  const std::string lead = reinterpret_cast<const char*>(u8"Quilloraファイルは標準プリンタ「");
  const std::string tail = reinterpret_cast<const char*>(u8"」で印刷します");
  EXPECT_EQ(message.Text(), lead + GetParam().shown + tail);
  const auto& runs = message.text.Runs();
  ASSERT_EQ(runs.size(), std::string(GetParam().shown).empty() ? 1u : 3u);
  EXPECT_EQ(runs.front().encoding, platform::TextEncoding::Utf8);
  if (runs.size() == 3) {
    EXPECT_EQ(runs[1], (platform::TextRun{GetParam().shown, platform::TextEncoding::SystemCodePage}));
  }
  ASSERT_EQ(fake.shell.calls.size(), 1u);
  EXPECT_EQ(fake.shell.calls[0].action, "print");
  EXPECT_EQ(fake.shell.calls[0].file, "C:\\plan.qlr");
  EXPECT_TRUE(fake.printers.documents.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, QuilloraOnDefaultPrinter,
    ::testing::Values(DefaultPrinterCase{"Ok", platform::MessageAnswer::Ok, {"Laser 9", true}, "Laser 9"},
                      DefaultPrinterCase{"Cancel", platform::MessageAnswer::Cancel, {"Laser 9", true}, "Laser 9"},
                      DefaultPrinterCase{"NoDriver", platform::MessageAnswer::Ok, {"Laser 9", false}, ""},
                      DefaultPrinterCase{"CodePageName", platform::MessageAnswer::Ok, {"\x83\x76\x83\x8A", true}, "\x83\x76\x83\x8A"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PrintCommandTest, QuilloraWithoutApplicationIsSentAsTiff) {
  fake.fileSystem.AddFile("C:\\plan.qlr", "QLRDATA");
  path = "C:\\plan.qlr";
  Run(1);
  EXPECT_THAT(Messages(), ElementsAre("Quillora is not aviable"));
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  EXPECT_EQ(fake.printers.documents[0].Bytes(), "QLRDATA");
}

// ----- output file

TEST_F(PrintCommandTest, OutputFileCancelledPrintsToPrinter) {
  fake.fileSystem.AddFile("C:\\a.tif", "II*");
  path = "C:\\a.tif";
  job.destination.kind = DestinationKind::OutputFile;
  Run(1);
  EXPECT_THAT(Messages(), ElementsAre("File for Print out is not Aviable"));
  EXPECT_EQ(fake.printers.documents.size(), 1u);
  EXPECT_EQ(result.nextDestination, DestinationKind::Printer);
}

TEST_F(PrintCommandTest, OutputFileOpenFailureOffersRetry) {
  fake.fileSystem.AddFile("C:\\a.tif", "II*");
  path = "C:\\a.tif";
  job.destination.kind = DestinationKind::OutputFile;
  fake.ui.saveAnswers.push_back("C:\\ro\\out.prn");
  fake.fileSystem.createFailures["C:\\ro\\out.prn"] = platform::FileErrorCause::AccessDenied;
  fake.ui.messageAnswers = {platform::MessageAnswer::Retry, platform::MessageAnswer::Cancel};
  Run(1);
  EXPECT_THAT(Messages(), ElementsAre("Output File: C:\\ro\\out.prn ERROR (Error Code 5)",
                                      "Output File: C:\\ro\\out.prn ERROR (Error Code 5)",
                                      "File for Print out is not Aviable"));
  EXPECT_EQ(fake.ui.messages[0].buttons, MessageButtons::RetryCancel);
  EXPECT_EQ(fake.ui.messages[0].icon, MessageIcon::Stop);
  EXPECT_EQ(fake.printers.documents.size(), 1u);
  ASSERT_EQ(fake.ui.saveRequests.size(), 1u);
  EXPECT_EQ(fake.ui.saveRequests[0].filter, "Print Data Files (*.prn)|*.prn|All Files (*.*)|*.*||");
  EXPECT_EQ(fake.ui.saveRequests[0].defaultExtension, "prn");
}

TEST_F(PrintCommandTest, PdfIntoOutputFileHoldsHeaderAndFile) {
  fake.fileSystem.AddFile("C:\\a.pdf", kPdf);
  path = "C:\\a.pdf";
  job.destination.kind = DestinationKind::OutputFile;
  fake.ui.saveAnswers.push_back("C:\\out.prn");
  Run(0);
  const std::string& out = fake.fileSystem.written["C:\\out.prn"];
  EXPECT_EQ(out.rfind("\x1B%-12345X@PJL COMMENT DATE=", 0), 0u);
  EXPECT_EQ(out.substr(out.size() - kPdf.size() - 26), "@PJL ENTER LANGUAGE = PDF\n" + kPdf);
  EXPECT_TRUE(fake.printers.documents.empty());
  EXPECT_EQ(fake.fileSystem.closedOutputs, 1);
  EXPECT_EQ(result.nextDestination, DestinationKind::Printer);
}

TEST_F(PrintCommandTest, OutputFileWriteFailureNamesTheFileOnce) {
  fake.fileSystem.AddFile("C:\\a.tif", "II*");
  path = "C:\\a.tif";
  job.destination.kind = DestinationKind::OutputFile;
  fake.ui.saveAnswers.push_back("C:\\out.prn");
  fake.fileSystem.writeFailure = platform::FileErrorCause::DiskFull;
  Run(0);
  EXPECT_THAT(Messages(), ElementsAre("Disk full while accessing C:\\out.prn."));
  EXPECT_EQ(result.nextDestination, DestinationKind::OutputFile);  // a failure leaves it as it was
}

}  // namespace
}  // namespace pagewire::job

namespace pagewire::job {
namespace {

// Bytes the caller holds are classed by their head and then sent whole from
// the same reader, not from the path that names them.
TEST_F(PrintCommandTest, HeldBytesAreClassedAndSentWhole) {
  fake.fileSystem.AddFile("C:\\spool\\17", "not these bytes");
  fake.fileSystem.AddFile("C:\\spool\\data", kPdf);
  platform::FileErrorCause cause = platform::FileErrorCause::None;
  Job held = JobOf("C:\\spool\\17", "Office");
  held.documents[0].reader = fake.fileSystem.OpenForReading("C:\\spool\\data", cause);
  held.unnamedKind = UnnamedKind::ClassedByContent;
  DialogDecisions decisions(fake.ui, dialogs);
  PrintCommandServices services{fake.platform, decisions, [](const std::string&) {
    return std::optional(PdfFacts{});
  }, [] { return false; }};
  EXPECT_EQ(RunPrintJob(services, held).SentCount(), 1);
  ASSERT_EQ(fake.printers.documents.size(), 1u);
  const std::string bytes = fake.printers.documents[0].Bytes();
  EXPECT_EQ(bytes.substr(bytes.size() - kPdf.size()), kPdf);
  EXPECT_NE(bytes.find("@PJL"), std::string::npos);  // a PDF's header
}

}  // namespace
}  // namespace pagewire::job

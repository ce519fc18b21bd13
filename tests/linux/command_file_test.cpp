// The print command as the pagewire command runs it: on the Linux file
// system, classing files by content, with its own wording of file messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "cli/command_file_system.h"
#include "cli/file_messages.h"
#include "cli/terminal_ui.h"
#include "fakes/fake_platform.h"
#include "job/password_crypt.h"
#include "job/dialog_decisions.h"
#include "job/run_print_job.h"
#include "job/scripted_dialogs.h"
#include "platform/linux/linux_file_system.h"

namespace pagewire::cli {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kPdf = "%PDF-1.4 body";

// The lines the command says, worded as its terminal words them.
class CommandLines : public fakes::FakeUserInterface {
 public:
  std::vector<std::string> lines;

  platform::MessageAnswer ShowMessageBox(const platform::MessageText& text,
                                         platform::MessageButtons buttons,
                                         platform::MessageIcon icon) override {
    lines.push_back(text.JoinedBytes());
    return FakeUserInterface::ShowMessageBox(text, buttons, icon);
  }
  platform::MessageAnswer ShowFileMessage(platform::FileNotice notice, const std::string& path,
                                          const platform::MessageText& text,
                                          platform::MessageButtons buttons,
                                          platform::MessageIcon icon) override {
    const std::optional<std::string> line = CommandFileMessage(notice, path, text.JoinedBytes());
    return line ? ShowMessageBox(*line, buttons, icon) : platform::MessageAnswer::Ok;
  }
};

class CommandRun : public ::testing::Test {
 protected:
  CommandRun() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pagewire-cli.XXXXXX").string();
    folder_ = mkdtemp(pattern.data());
    fake.printers.AddPrinter("Office", "Model 5 PS", "IP_10.0.0.7");
  }
  ~CommandRun() override { std::filesystem::remove_all(folder_); }

  std::string PathOf(const std::string& name) const { return folder_ + "/" + name; }
  std::string Add(const std::string& name, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(PathOf(name)).parent_path());
    std::ofstream(PathOf(name), std::ios::binary) << content;
    return PathOf(name);
  }

  job::JobResult Print(const std::string& path, bool classByContent = true) {
    ui.lines.clear();
    fake.printers.documents.clear();
    job::InspectPdf queries = [](const std::string&) { return std::optional(job::PdfFacts{}); };
    job::PrintCommandServices services{platform, decisions, queries, [] { return false; }};
    job::Job job = job::JobOf(path, "Office");
    if (classByContent) job.unnamedKind = job::UnnamedKind::ClassedByContent;
    return job::RunPrintJob(services, job);
  }

  fakes::FakePlatform fake;
  platform::LinuxFileSystem files;
  CommandLines ui;
  job::ScriptedDialogs dialogs;
  job::DialogDecisions decisions{ui, dialogs};
  platform::Platform platform{fake.settingsStore, fake.printers, files, fake.shell, fake.systemFacts,
                              ui};

 private:
  std::string folder_;
};

TEST_F(CommandRun, MessagesContradictedTheOutcomeOrNamedNoFile) {
  struct Case {
    std::string path;
    std::vector<std::string> lines;
    int sent;
  };
  std::filesystem::create_directory(PathOf("nothing"));
  const std::vector<Case> cases = {
      // A double quote is part of a Linux name: no "invalid path", printed.
      {Add("a\"b.pdf", kPdf), {}, 1},
      {PathOf("missing.pdf"), {PathOf("missing.pdf") + ": No such file or directory"}, 0},
      {Add("notes.txt", "text"),
       {PathOf("notes.txt") + ": The selected file is not of a supported file format. It will "
                              "be sent to the printer without being processed."},
       1},
      {Add("empty.pdf", ""), {PathOf("empty.pdf") + ": The file is blank and cannot be printed.\n"},
       0},
      {PathOf("nothing"), {PathOf("nothing") + ": There is no valid file in the folder."}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Print(c.path).SentCount(), c.sent) << c.path;
    EXPECT_EQ(ui.lines, c.lines) << c.path;
  }
}

std::string ContentLine(const std::string& path, const char* kind) {
  return "[" + path + "] has no .pdf or .tif extension; its first bytes make it " + kind + " file.";
}

TEST_F(CommandRun, TypeCameFromTheExtensionAlone) {
  const std::string scan = Add("scan", kPdf);
  Print(scan);
  EXPECT_THAT(ui.lines, ElementsAre(ContentLine(scan, "a PDF")));
  const std::string sent = fake.printers.documents.at(0).Bytes();
  EXPECT_EQ(sent.rfind("\x1B%-12345X@PJL", 0), 0u);
  EXPECT_EQ(sent.substr(sent.size() - kPdf.size()), kPdf);

  const std::string tiff("MM\0*rest", 8);
  Print(Add("photo", tiff));
  EXPECT_THAT(ui.lines, ElementsAre(ContentLine(PathOf("photo"), "a TIFF")));
  EXPECT_EQ(fake.printers.documents.at(0).Bytes(), tiff);

  // Without the content check (the Windows program) the class stays other.
  Print(scan, false);
  EXPECT_THAT(ui.lines, ElementsAre(::testing::HasSubstr("not of a supported file format")));
  EXPECT_EQ(fake.printers.documents.at(0).Bytes(), kPdf);

  // A folder's TIFF pass finds .tiff beside .tif; a sub-folder is no file.
  Add("scans/b.tiff", "tiff b");
  Add("scans/a.TIF", "tiff a");
  Add("scans/old.tif/c.tif", "tiff c");
  EXPECT_EQ(Print(PathOf("scans")).SentCount(), 2);
  EXPECT_THAT(ui.lines, IsEmpty());
}

// qpdf and Acrobat store a non-ASCII password of revisions 2 to 4 in
// PDFDocEncoding (ä is e4); the command is given UTF-8 (c3 a4). The bytes
// given are tried first, then their PDFDocEncoding form; the ones that
// opened the file are sent, in the header or to an IPP printer.
TEST_F(CommandRun, AUtf8PasswordDidNotOpenAPdfDocEncodedFile) {
  const std::string utf8 = "p\xC3\xA4ssw\xC3\xB6rd";
  const std::string pdfDoc = "p\xE4ssw\xF6rd";
  struct Case {
    std::string given;
    std::string stored;  // what opens the file
    pdf::PasswordForm form;
    std::vector<std::string> tried;
    bool sent;
  };
  const std::vector<Case> cases = {
      {utf8, pdfDoc, pdf::PasswordForm::CodePage, {utf8, pdfDoc}, true},
      {pdfDoc, pdfDoc, pdf::PasswordForm::CodePage, {pdfDoc}, true},  // not UTF-8: as given
      {utf8, utf8, pdf::PasswordForm::CodePage, {utf8}, true},        // a writer's UTF-8
      {utf8, pdfDoc, pdf::PasswordForm::Utf8, {utf8}, false},         // AES-256 takes UTF-8
      {"\xE2\x82\xAC\xE2\x80\xA6\xC5\x93", "\xA0\x83\x9C", pdf::PasswordForm::CodePage,
       {"\xE2\x82\xAC\xE2\x80\xA6\xC5\x93", "\xA0\x83\x9C"}, true},  // euro, ellipsis, oe
      {"\xE6\x97\xA5", "?", pdf::PasswordForm::CodePage, {"\xE6\x97\xA5"}, false},  // no such code
  };
  const std::string pdf = Add("locked.pdf", kPdf);
  const std::string passwordFile = PathOf("pw");
  for (const bool header : {true, false}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.given + (header ? " header" : " IPP"));
      std::ofstream(passwordFile, std::ios::trunc) << c.given << "\n";
      std::string error;
      const std::optional<CliOptions> options =
          ParseCommandLine({"--password-file", passwordFile, pdf}, error);
      ASSERT_TRUE(options) << error;
      TerminalUi terminal(*options, false, "");
      ASSERT_TRUE(terminal.LoadGivenPassword(error)) << error;
      platform::Platform command{fake.settingsStore, fake.printers, files, fake.shell,
                                 fake.systemFacts, terminal};
      std::vector<std::string> tried;
      job::InspectPdf inspect = [&](const std::string&) {
        job::PdfFacts facts{false, true, c.form, {}};
        facts.checkPassword = [&](const std::string& password) {
          tried.push_back(password);
          return password == c.stored;
        };
        return std::optional(facts);
      };
      job::PrintCommandServices services{command, terminal, inspect, [] { return false; }};
      job::Job job = job::JobOf(pdf, "Office");
      job.questions = job::Questions::NeededOnly;
      fake.printers.documents.clear();
      fake.printers.takesJobHeader = header;
      testing::internal::CaptureStderr();
      job::RunPrintJob(services, job);
      testing::internal::GetCapturedStderr();
      EXPECT_EQ(tried, c.tried);
      ASSERT_EQ(fake.printers.documents.size(), c.sent ? 1u : 0u);
      if (!c.sent) continue;
      if (!header) {
        EXPECT_EQ(fake.printers.documents[0].password, c.stored);
        continue;
      }
      job::PasswordBlock block = job::MakePasswordBlock(c.stored);
      const std::string epwd =
          job::HexOfCipher(job::EncryptPasswordBlock(block, job::kFixedPasswordKey));
      EXPECT_NE(fake.printers.documents[0].Bytes().find("@EPWD=" + epwd), std::string::npos);
    }
  }
}

TEST_F(CommandRun, APdfThatForbidsPrintingWasSaidToBeOfNoSupportedFormat) {
  const std::string locked = Add("locked.pdf", kPdf);
  job::InspectPdf queries = [](const std::string&) {
    job::PdfFacts facts;
    facts.forbidsPrinting = true;
    return std::optional(facts);
  };
  job::PrintCommandServices services{platform, decisions, queries, [] { return false; }};
  job::Job job = job::JobOf(locked, "Office");
  job::RunPrintJob(services, job);
  EXPECT_THAT(ui.lines, ElementsAre(locked + ": the PDF's permissions forbid printing it."));
}

TEST_F(CommandRun, TiffSettingsWereDroppedWithoutAWord) {
  std::string error;
  const std::optional<CliOptions> options =
      ParseCommandLine({"-n", "3", "-o", "sides=two-sided-long-edge layout=2up", "f"}, error);
  ASSERT_TRUE(options.has_value()) << error;
  TerminalUi terminal(*options, false, "");
  job::InspectPdf queries = [](const std::string&) { return std::optional(job::PdfFacts{}); };
  job::PrintCommandServices services{platform, terminal, queries, [] { return false; }};
  const std::string tiff("II*\0rest", 8);
  Add("scans/a.tif", tiff);
  Add("scans/b.tif", tiff);
  for (const bool ipp : {true, false}) {
    fake.printers.documents.clear();
    fake.printers.takesJobHeader = !ipp;
    job::Job job = job::JobOf(PathOf("scans"), "Office");
    testing::internal::CaptureStderr();
    EXPECT_EQ(job::RunPrintJob(services, job).SentCount(), 2);
    const std::string said = testing::internal::GetCapturedStderr();
    ASSERT_EQ(fake.printers.documents.size(), 2u);
    for (const auto& document : fake.printers.documents) {
      // Never a header in front of a TIFF.
      EXPECT_EQ(document.Bytes(), tiff);
      EXPECT_EQ(document.settings.has_value(), ipp);
      if (ipp) {
        EXPECT_EQ(document.settings->copies, 3);
        EXPECT_EQ(document.settings->duplexMode, settings::Duplex::LongEdge);
      }
    }
    // Told once for the command, not once a file.
    const auto told = said.find("is a TIFF, which goes without a PJL header");
    EXPECT_EQ(told != std::string::npos, !ipp) << said;
    if (!ipp) {
      EXPECT_EQ(said.find("is a TIFF", told + 1), std::string::npos) << said;
    }
  }
}

TEST_F(CommandRun, AFileThatChangedWhileSentWentOutUnderTheSizeItNoLongerHad) {
  CommandFileSystem command(files, false, nullptr);
  const std::string body(300000, 'x');
  const struct {
    std::size_t kept;   // bytes left after the size was asked
    std::string added;  // bytes added then
    bool changed;
  } cases[] = {{body.size(), "", false}, {1000, "", true}, {body.size(), "more", true}};
  for (const auto& c : cases) {
    const std::string path = Add("changing.pdf", body);
    platform::FileErrorCause cause = platform::FileErrorCause::None;
    const std::unique_ptr<platform::FileReader> reader = command.OpenForReading(path, cause);
    ASSERT_TRUE(reader);
    const std::uint64_t size = reader->Size(cause);
    std::filesystem::resize_file(path, c.kept);
    std::ofstream(path, std::ios::app) << c.added;
    std::string bytes;
    char piece[4096];
    while (std::size_t got = reader->Read(piece, sizeof piece, cause)) bytes.append(piece, got);
    EXPECT_EQ(size, body.size());
    EXPECT_LE(bytes.size(), body.size()) << c.kept;
    EXPECT_EQ(cause, c.changed ? platform::FileErrorCause::EndOfFile
                               : platform::FileErrorCause::None)
        << c.kept;
  }
  EXPECT_EQ(CommandFileError(platform::FileRole::Read, platform::FileErrorCause::EndOfFile,
                             "changing.pdf"),
            "changing.pdf: the file changed while it was sent");
}

TEST_F(CommandRun, APipeWasBlankAndAFifoWithoutExtensionHung) {
  CommandFileSystem command(files, false, nullptr);
  platform::Platform piped{fake.settingsStore, fake.printers, command, fake.shell,
                           fake.systemFacts,   ui};
  int pipeEnds[2];
  ASSERT_EQ(pipe(pipeEnds), 0);
  ASSERT_EQ(write(pipeEnds[1], kPdf.data(), kPdf.size()), static_cast<ssize_t>(kPdf.size()));
  close(pipeEnds[1]);
  const std::string fifo = PathOf("scan");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << kPdf; });
  for (const std::string& path : {"/dev/fd/" + std::to_string(pipeEnds[0]), fifo}) {
    std::string error;
    ASSERT_TRUE(command.KeepIfStream(path, error)) << error;
    ui.lines.clear();
    fake.printers.documents.clear();
    job::InspectPdf queries = [](const std::string&) { return std::optional(job::PdfFacts{}); };
    job::PrintCommandServices services{piped, decisions, queries, [] { return false; }};
    job::Job job = job::JobOf(path, "Office");
    job.unnamedKind = job::UnnamedKind::ClassedByContent;
    EXPECT_EQ(job::RunPrintJob(services, job).SentCount(), 1) << path;
    ASSERT_EQ(fake.printers.documents.size(), 1u) << path;
    const std::string sent = fake.printers.documents[0].Bytes();
    EXPECT_EQ(sent.substr(sent.size() - kPdf.size()), kPdf) << path;
    EXPECT_NE(sent.find("@FSIZ=" + std::to_string(kPdf.size())), std::string::npos) << path;
  }
  writer.join();
  close(pipeEnds[0]);
}

TEST(CommandFileError, AFileErrorWasWordedForWindowsOrNamedStandardOutputAsDash) {
  using platform::FileErrorCause;
  using platform::FileRole;
  const struct {
    FileRole role;
    FileErrorCause cause;
    const char* path;
    const char* line;
  } cases[] = {
      {FileRole::Written, FileErrorCause::AccessDenied, "ro/x.prn", "ro/x.prn: Permission denied"},
      {FileRole::Written, FileErrorCause::DiskFull, "-",
       "standard output: No space left on device"},
      {FileRole::Read, FileErrorCause::HardIo, "-", "(stdin): Input/output error"},
  };
  for (const auto& c : cases) EXPECT_EQ(CommandFileError(c.role, c.cause, c.path), c.line);
}

}  // namespace
}  // namespace pagewire::cli

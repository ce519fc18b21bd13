#include "job/run_print_job.h"

#include <array>
#include <memory>
#include <optional>

#include "job/file_class.h"
#include "job/job_messages.h"
#include "job/job_output.h"
#include "job/password_steps.h"
#include "job/path_quotes.h"
#include "job/pdf_print_settings.h"
#include "job/print_with_application.h"

namespace pagewire::job {
namespace {

using platform::FileErrorCause;
using platform::FileNotice;
using platform::MessageButtons;

constexpr std::array<FileClass, 3> kFolderPasses = {FileClass::Pdf, FileClass::Quillora,
                                                    FileClass::Tiff};
constexpr std::array<const char*, 3> kPassExtensions = {"pdf", "qlr", "tif"};

enum class FileOutcome {
  Sent,             // the file went to the printer job or output file
  HandedOver,       // a Quillora file went to its application
  Skipped,          // skip the file (folder) or end the command (single file)
  EndCommand,       // end the command, folder or not
  QuilloraFailed,   // advance the class
};

platform::DocumentFormat FormatOf(FileClass fileClass) {
  switch (fileClass) {
    case FileClass::Pdf: return platform::DocumentFormat::Pdf;
    case FileClass::Tiff: return platform::DocumentFormat::Tiff;
    default: return platform::DocumentFormat::Other;
  }
}

platform::FileChooserRequest InvalidPathRequest() {
  platform::FileChooserRequest request;
  request.filter = "PDF Files (*.pdf)|*.pdf|";
  request.defaultExtension = "pdf";
  request.flags = platform::kChooserHideReadOnly | platform::kChooserPathMustExist |
                  platform::kChooserFileMustExist;
  return request;
}

class PrintCommand {
 public:
  PrintCommand(PrintCommandServices& services, PrintTarget& target, bool interactive,
               PrintCommandSummary& summary)
      : services_(services),
        platform_(services.platform),
        ui_(services.platform.ui),
        target_(target),
        interactive_(interactive),
        settings_(services.platform.settingsStore),
        summary_(summary) {}

  void Run() {
    settings_.settings = settings::PrintJobSettings{};
    settings_.LoadSavedSettings();
    std::optional<platform::PathEntry> entry = Start();
    if (!entry) return;
    if (entry->isFolder) {
      folderCommand_ = true;
      summary_.completed = RunFolder();
    } else {
      RunSingleFile(entry->name);
      summary_.completed = true;
    }
  }

 private:
  // The start of a command; the path's entry, or none when the command ends.
  std::optional<platform::PathEntry> Start() {
    if (target_.outputMode == kOutputToFile && !ChooseOutputFile(platform_, target_)) {
      Tell(ui_, "File for Print out is not Aviable");
      target_.outputMode = kOutputToPrinter;
    }
    if (target_.printerName.empty()) Tell(ui_, "No printers are available.");
    if (target_.filePath.empty()) {
      Tell(ui_, "This dialog has no files to select.");
      return std::nullopt;
    }
    target_.filePath = StripOuterQuotes(target_.filePath);
    if (target_.filePath.find('"') != std::string::npos) {
      TellAbout(ui_, FileNotice::QuoteInPath, target_.filePath,
                " [" + target_.filePath + "] is an invalid path.");
      if (auto chosen = ui_.ChooseOpenFile(InvalidPathRequest())) target_.filePath = *chosen;
    }
    std::optional<platform::PathEntry> entry = platform_.fileSystem.LookUp(target_.filePath);
    if (!entry) {
      TellAbout(ui_, FileNotice::NotFound, target_.filePath,
                " [" + target_.filePath + "] is an invalid path.");
    }
    return entry;
  }

  void RunSingleFile(const std::string& longName) {
    const platform::OpenPath open = platform_.fileSystem.PathToOpen(target_.filePath);
    if (!Fits(open)) {
      ++summary_.filesNotSent;
      return;
    }
    const std::string& openPath = open.path;
    FileClass fileClass = ClassOfPath(target_.filePath);
    if (fileClass == FileClass::Other && target_.classByContent) {
      fileClass = ClassOfContent(openPath);
    }
    FileOutcome outcome = HandleFile(fileClass, longName, openPath, false);
    if (outcome == FileOutcome::QuilloraFailed) {
      outcome = HandleFile(FileClass::Tiff, longName, openPath, false);
    }
    if (outcome == FileOutcome::Sent) target_.outputMode = kOutputToPrinter;
    Count(outcome);
  }

  void Count(FileOutcome outcome) {
    switch (outcome) {
      case FileOutcome::Sent:
      case FileOutcome::HandedOver: ++summary_.filesSent; break;
      case FileOutcome::Skipped:
      case FileOutcome::QuilloraFailed: ++summary_.filesNotSent; break;
      case FileOutcome::EndCommand: break;
    }
  }

  // False when the command ended before the passes did, or found nothing.
  bool RunFolder() {
    const std::string folder = platform_.fileSystem.PathToOpen(target_.filePath).path;
    bool anyFound = false;
    for (std::size_t pass = 0; pass < kFolderPasses.size(); ++pass) {
      switch (RunPass(kPassExtensions[pass], folder, kFolderPasses[pass], anyFound)) {
        case PassEnd::Done: break;
        case PassEnd::EndCommand: return false;
      }
    }
    if (!anyFound) {
      TellAbout(ui_, FileNotice::Told, target_.filePath, "There is no valid file in the folder.");
      return false;
    }
    target_.outputMode = kOutputToPrinter;
    return true;
  }

  enum class PassEnd { Done, EndCommand };

  PassEnd RunPass(const char* extension, const std::string& folder, FileClass fileClass,
                  bool& anyFound) {
    const std::unique_ptr<platform::FolderSearch> search =
        platform_.fileSystem.SearchFolder(target_.filePath, extension);
    while (const std::optional<std::string> name = search->NextFile()) {
      anyFound = true;
      const FileOutcome outcome = HandleFolderEntry(*name, folder, fileClass);
      Count(outcome);
      switch (outcome) {
        case FileOutcome::EndCommand: return PassEnd::EndCommand;
        case FileOutcome::QuilloraFailed: return PassEnd::Done;
        default: break;
      }
    }
    return PassEnd::Done;
  }

  FileOutcome HandleFolderEntry(const std::string& name, const std::string& folder,
                                FileClass fileClass) {
    bool printAll = false;
    if (interactive_) {
      switch (services_.dialogs.RunFileConfirmDlg(name)) {
        case FileConfirmResult::Abort: return FileOutcome::EndCommand;
        case FileConfirmResult::PrintAll: printAll = true; break;
        case FileConfirmResult::Ok: break;
        case FileConfirmResult::Cancel: return FileOutcome::Skipped;
      }
    }
    const platform::OpenPath open = platform_.fileSystem.PathInFolder(folder, name);
    if (!Fits(open)) return FileOutcome::Skipped;
    return HandleFile(fileClass, name, open.path, printAll);
  }

  // The class of a file that its path does not class, from its first bytes;
  // the user is told when they give one. A file that cannot be read stays
  // Other, and its opening tells why.
  FileClass ClassOfContent(const std::string& openPath) {
    FileErrorCause cause = FileErrorCause::None;
    std::unique_ptr<platform::FileReader> reader =
        platform_.fileSystem.OpenForReading(openPath, cause);
    if (!reader) return FileClass::Other;
    std::string head(kLeadingBytesNeeded, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
      const std::size_t read = reader->Read(head.data() + got, head.size() - got, cause);
      if (read == 0) break;
      got += read;
    }
    head.resize(got);
    const FileClass fileClass = ClassOfLeadingBytes(head);
    if (fileClass != FileClass::Other) {
      const std::string kind = fileClass == FileClass::Pdf ? "a PDF" : "a TIFF";
      TellAbout(ui_, FileNotice::ClassedByContent, target_.filePath,
                "[" + target_.filePath + "] has no .pdf or .tif extension; its first bytes " +
                    "make it " + kind + " file.");
    }
    return fileClass;
  }

  // A path longer than the system opens would be cut and name another file.
  bool Fits(const platform::OpenPath& open) {
    if (open.fits) return true;
    Tell(ui_, "[" + open.path + "] is too long a path to be printed.");
    return false;
  }

  FileOutcome HandleFile(FileClass fileClass, const std::string& name,
                         const std::string& openPath, bool printAll) {
    const std::optional<FileOutcome> early = RunClassSteps(fileClass, openPath, printAll);
    if (early) return *early;
    FileErrorCause cause = FileErrorCause::None;
    std::unique_ptr<platform::FileReader> reader =
        platform_.fileSystem.OpenForReading(openPath, cause);
    if (!reader) EndWithFileError(ui_, cause, openPath);
    // A size that cannot be read is a file error, not a blank file.
    const std::uint64_t size = reader->Size(cause);
    if (cause != FileErrorCause::None) EndWithFileError(ui_, cause, openPath);
    if (size == 0) {
      TellAbout(ui_, FileNotice::Told, openPath, "The file is blank and cannot be printed.\n");
      return FileOutcome::Skipped;
    }
    OutgoingFile file{*reader, name, openPath, FormatOf(fileClass), nullptr, {},
                      target_.headerOnly};
    PasswordOutcome password;
    if (fileClass == FileClass::Pdf) {
      password = RunPasswordSteps(services_, openPath, name, Destination().TakesJobHeader());
      if (!password.print) return FileOutcome::Skipped;
      file.settings = &settings_.settings;
      file.headerFacts = {name, size, password.keyMode, password.passwordHex,
                          !folderCommand_};
      if (!password.plain.empty()) file.password = &password.plain;
    } else if (fileClass == FileClass::Tiff &&
               services_.dialogs.TakeTiffSettings(settings_, Destination().TakesJobHeader())) {
      file.settings = &settings_.settings;
    }
    SendFile(platform_, Destination(), file);
    return FileOutcome::Sent;
  }

  // The output file while it is open, else the printer.
  platform::Destination& Destination() {
    if (target_.outputFile) return *target_.outputFile;
    if (!printer_) printer_ = platform_.printers.DestinationFor(target_.printerName);
    return *printer_;
  }

  // The dialogs and hand-over before the file is opened; none to go on.
  std::optional<FileOutcome> RunClassSteps(FileClass fileClass, const std::string& openPath,
                                           bool printAll) {
    switch (fileClass) {
      case FileClass::Pdf: return RunSettingsDialog(printAll);
      case FileClass::Quillora: return HandOver(openPath);
      case FileClass::Tiff: return std::nullopt;
      case FileClass::Other: break;
    }
    if (!interactive_) return std::nullopt;
    const platform::MessageAnswer answer =
        TellAbout(ui_, FileNotice::Told, openPath,
                  "The selected file is not of a supported file format. It will be sent to the "
                  "printer without being processed.",
                  MessageButtons::OkCancel);
    if (answer == platform::MessageAnswer::Ok) return std::nullopt;
    return FileOutcome::Skipped;
  }

  std::optional<FileOutcome> RunSettingsDialog(bool printAll) {
    if (!interactive_) return std::nullopt;
    if (services_.dialogs.RunPdfPrintSettingsDlg(settings_) == SettingsDlgResult::Ok) {
      if (printAll) interactive_ = false;
      return std::nullopt;
    }
    return printAll ? FileOutcome::EndCommand : FileOutcome::Skipped;
  }

  std::optional<FileOutcome> HandOver(const std::string& openPath) {
    if (PrintWithApplication(platform_, target_.printerName, openPath)) {
      return FileOutcome::HandedOver;
    }
    Tell(ui_, "Quillora is not aviable");
    return FileOutcome::QuilloraFailed;
  }

  PrintCommandServices& services_;
  platform::Platform& platform_;
  platform::UserInterface& ui_;
  PrintTarget& target_;
  bool interactive_;
  bool folderCommand_ = false;
  PdfPrintSettings settings_;
  PrintCommandSummary& summary_;
  std::unique_ptr<platform::Destination> printer_;
};

}  // namespace

PrintCommandSummary RunPrintJob(PrintCommandServices& services, PrintTarget& target,
                                bool interactive) {
  bool failed = true;
  PrintCommandSummary summary;
  try {
    PrintCommand command(services, target, interactive, summary);
    command.Run();
    failed = false;
  } catch (const PrintCommandEnded& ended) {
    // The user has been told why the command ended.
    summary.printerFailed = ended.printerFailed;
  } catch (...) {
    services.platform.ui.ShowMessageBox(kUnsupportedOperation, platform::MessageButtons::Ok,
                                        platform::MessageIcon::Stop);
  }
  // One output file serves the whole command: every file of a folder is
  // written into it, and it is closed when the command ends, however it ends.
  // After a failure it is only released: a full disk that refused a write
  // refuses the flush too, and the user has been told once.
  if (failed) {
    target.outputFile.reset();
    return summary;
  }
  try {
    CloseOutputFile(services.platform, target);
  } catch (...) {
    summary.completed = false;
  }
  return summary;
}

}  // namespace pagewire::job

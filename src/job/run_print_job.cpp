#include "job/run_print_job.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

#include "job/file_class.h"
#include "job/job_messages.h"
#include "job/job_output.h"
#include "job/output_file.h"
#include "job/password.h"
#include "job/path_quotes.h"
#include "job/pdf_print_settings.h"
#include "job/print_with_application.h"

namespace pagewire::job {

int JobResult::Count(DocumentOutcome::Kind kind) const {
  int count = 0;
  for (const DocumentOutcome& outcome : outcomes) count += outcome.kind == kind ? 1 : 0;
  return count;
}

int JobResult::SentCount() const {
  return Count(DocumentOutcome::Kind::Sent) + Count(DocumentOutcome::Kind::HandedOver);
}

bool JobResult::PrinterFailed() const {
  for (const DocumentOutcome& outcome : outcomes) {
    if (outcome.kind == DocumentOutcome::Kind::Failed &&
        outcome.failedAt == DocumentOutcome::FailedAt::Destination) {
      return true;
    }
  }
  return false;
}

namespace {

using platform::FileErrorCause;
using platform::FileNotice;

constexpr std::array<FileClass, 3> kFolderPasses = {FileClass::Pdf, FileClass::Quillora,
                                                    FileClass::Tiff};
constexpr std::array<const char*, 3> kPassExtensions = {"pdf", "qlr", "tif"};

// How one file ends the walk it is part of.
enum class FileEnd {
  Sent,            // the file went to the printer job or output file
  HandedOver,      // a Quillora file went to its application
  Skipped,         // skip the file (folder) or end the command (single file)
  EndCommand,      // end the command, folder or not
  QuilloraFailed,  // advance the class
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

// The chosen settings taken over the saved ones.
void ApplyChosen(const JobSettings& given, settings::PrintJobSettings& target) {
  const settings::PrintJobSettings& values = given.values;
  for (const ChosenSetting& chosen : given.chosen) {
    switch (chosen.key) {
      case SettingKey::Copies: target.copies = values.copies; break;
      case SettingKey::Collate: target.collate = values.collate; break;
      case SettingKey::Duplex: target.duplexMode = values.duplexMode; break;
      case SettingKey::PaperType: target.paperType = values.paperType; break;
      case SettingKey::PrintMode: target.printMode = values.printMode; break;
      case SettingKey::PaperSize: target.paperSize = values.paperSize; break;
      case SettingKey::Layout: target.layout = values.layout; break;
      case SettingKey::OutputColor: target.outputColor = values.outputColor; break;
      case SettingKey::Pages:
        target.selectPages = values.selectPages;
        target.toLastPage = values.toLastPage;
        target.fromPage = values.fromPage;
        target.toPage = values.toPage;
        break;
    }
  }
}

class PrintCommand {
 public:
  PrintCommand(PrintCommandServices& services, Job& job, JobResult& result,
               std::unique_ptr<OutputFile>& outputFile)
      : services_(services),
        platform_(services.platform),
        ui_(services.platform.ui),
        decisions_(services.decisions),
        job_(job),
        asking_(job.questions == Questions::All),
        settings_(services.platform.settingsStore),
        result_(result),
        outputFile_(outputFile),
        passwordSteps_{services.decisions, services.inspectPdf, services.hasPortAddress,
                       job.passwords.given} {}

  void Run() {
    settings_.settings = settings::PrintJobSettings{};
    settings_.LoadSavedSettings();
    ApplyChosen(job_.settings, settings_.settings);
    StartJob();
    if (job_.documents.empty()) {
      Tell(ui_, "This dialog has no files to select.");
      return;
    }
    bool completed = true;
    for (std::size_t i = 0; i < job_.documents.size(); ++i) {
      completed = RunDocument(job_.documents[i], i == 0) && completed;
    }
    result_.completed = completed;
  }

 private:
  // The output file when there is to be one, and a printer to send to.
  void StartJob() {
    if (job_.destination.kind == DestinationKind::OutputFile && !OpenOutputFile()) {
      Tell(ui_, "File for Print out is not Aviable");
      result_.nextDestination = DestinationKind::Printer;
    }
    if (job_.destination.printerName.empty()) Tell(ui_, "No printers are available.");
  }

  bool OpenOutputFile() {
    const std::optional<std::string> path = job_.destination.outputPath.empty()
                                                ? decisions_.OutputFilePath()
                                                : job_.destination.outputPath;
    if (!path) return false;
    for (;;) {
      FileErrorCause cause = FileErrorCause::None;
      if (auto writer = platform_.fileSystem.CreateOutputFile(*path, cause)) {
        outputFile_ = std::make_unique<OutputFile>(std::move(writer), *path);
        return true;
      }
      if (!decisions_.RetryOutputFile(*path, cause)) return false;
    }
  }

  bool RunDocument(JobDocument& document, bool first) {
    std::string& path = document.path;
    if (path.empty()) {
      Tell(ui_, "This dialog has no files to select.");
      return false;
    }
    path = StripOuterQuotes(path);
    if (path.find('"') != std::string::npos) {
      TellAbout(ui_, FileNotice::QuoteInPath, path, " [" + path + "] is an invalid path.");
      if (auto chosen = ui_.ChooseOpenFile(InvalidPathRequest())) path = *chosen;
    }
    if (first) result_.resolvedPath = path;
    std::optional<platform::PathEntry> entry = platform_.fileSystem.LookUp(path);
    if (!entry) {
      TellAbout(ui_, FileNotice::NotFound, path, " [" + path + "] is an invalid path.");
      return false;
    }
    path_ = path;
    if (entry->isFolder) {
      folderCommand_ = true;
      return RunFolder();
    }
    held_ = std::move(document.reader);
    RunSingleFile(entry->name);
    return true;
  }

  void RunSingleFile(const std::string& longName) {
    const platform::OpenPath open = platform_.fileSystem.PathToOpen(path_);
    if (!Fits(open, longName)) return;
    const std::string& openPath = open.path;
    FileClass fileClass = ClassOfPath(path_);
    if (fileClass == FileClass::Other && job_.unnamedKind == UnnamedKind::ClassedByContent) {
      fileClass = ClassOfContent(openPath);
    }
    FileEnd end = HandleFile(fileClass, longName, openPath, false);
    if (end == FileEnd::QuilloraFailed) {
      end = HandleFile(FileClass::Tiff, longName, openPath, false);
    }
    if (end == FileEnd::Sent) result_.nextDestination = DestinationKind::Printer;
  }

  // False when the command ended before the passes did, or found nothing.
  bool RunFolder() {
    const std::string folder = platform_.fileSystem.PathToOpen(path_).path;
    bool anyFound = false;
    for (std::size_t pass = 0; pass < kFolderPasses.size(); ++pass) {
      if (RunPass(kPassExtensions[pass], folder, kFolderPasses[pass], anyFound) ==
          PassEnd::EndCommand) {
        return false;
      }
    }
    if (!anyFound) {
      TellAbout(ui_, FileNotice::Told, path_, "There is no valid file in the folder.");
      return false;
    }
    result_.nextDestination = DestinationKind::Printer;
    return true;
  }

  enum class PassEnd { Done, EndCommand };

  PassEnd RunPass(const char* extension, const std::string& folder, FileClass fileClass,
                  bool& anyFound) {
    const std::unique_ptr<platform::FolderSearch> search =
        platform_.fileSystem.SearchFolder(path_, extension);
    while (const std::optional<std::string> name = search->NextFile()) {
      anyFound = true;
      switch (HandleFolderEntry(*name, folder, fileClass)) {
        case FileEnd::EndCommand: return PassEnd::EndCommand;
        case FileEnd::QuilloraFailed:
          Record(Skipped(SkipReason::NoApplication, *name, folder));
          return PassEnd::Done;
        default: break;
      }
    }
    return PassEnd::Done;
  }

  FileEnd HandleFolderEntry(const std::string& name, const std::string& folder,
                            FileClass fileClass) {
    bool printAll = false;
    if (asking_) {
      switch (decisions_.ConfirmFolderFile(name)) {
        // The job ends before the file: it has no outcome, as those after it.
        case ConfirmAnswer::Abort: return FileEnd::EndCommand;
        case ConfirmAnswer::PrintAll: printAll = true; break;
        case ConfirmAnswer::Print: break;
        case ConfirmAnswer::Skip: return Skip(SkipReason::Cancelled, name, folder);
      }
    }
    const platform::OpenPath open = platform_.fileSystem.PathInFolder(folder, name);
    if (!Fits(open, name)) return FileEnd::Skipped;
    return HandleFile(fileClass, name, open.path, printAll);
  }

  // The class of a file that its path does not class, from its first bytes;
  // the user is told when they give one. A file that cannot be read stays
  // Other, and its opening tells why.
  FileClass ClassOfContent(const std::string& openPath) {
    FileErrorCause cause = FileErrorCause::None;
    std::unique_ptr<platform::FileReader> opened;
    platform::FileReader* reader = held_.get();
    if (reader == nullptr) {
      opened = platform_.fileSystem.OpenForReading(openPath, cause);
      reader = opened.get();
    }
    if (reader == nullptr) return FileClass::Other;
    std::string head(kLeadingBytesNeeded, '\0');
    std::size_t got = 0;
    while (got < head.size()) {
      const std::size_t read = reader->Read(head.data() + got, head.size() - got, cause);
      if (read == 0) break;
      got += read;
    }
    head.resize(got);
    // A held reader is read from its start again when the file is sent.
    if (held_) headRead_ = head;
    const FileClass fileClass = ClassOfLeadingBytes(head);
    if (fileClass != FileClass::Other) {
      const std::string kind = fileClass == FileClass::Pdf ? "a PDF" : "a TIFF";
      TellAbout(ui_, FileNotice::ClassedByContent, path_,
                "[" + path_ + "] has no .pdf or .tif extension; its first bytes " +
                    "make it " + kind + " file.");
    }
    return fileClass;
  }

  // A path longer than the system opens would be cut and name another file.
  bool Fits(const platform::OpenPath& open, const std::string& name) {
    if (open.fits) return true;
    Skip(SkipReason::PathTooLong, name, open.path);
    return false;
  }

  static DocumentOutcome Skipped(SkipReason reason, const std::string& name,
                                 const std::string& path) {
    DocumentOutcome outcome;
    outcome.kind = DocumentOutcome::Kind::Skipped;
    outcome.reason = reason;
    outcome.name = name;
    outcome.path = path;
    return outcome;
  }

  void Record(DocumentOutcome outcome) {
    decisions_.Told(outcome);
    result_.outcomes.push_back(std::move(outcome));
  }

  FileEnd Skip(SkipReason reason, const std::string& name, const std::string& path) {
    Record(Skipped(reason, name, path));
    return FileEnd::Skipped;
  }

  [[noreturn]] void EndWithFileError(const std::string& name, const std::string& path,
                                     FileErrorCause cause) {
    EndWith(decisions_, FileFailed(name, path, cause));
  }

  FileEnd HandleFile(FileClass fileClass, const std::string& name, const std::string& openPath,
                     bool printAll) {
    if (const std::optional<FileEnd> early = RunClassSteps(fileClass, name, openPath, printAll)) {
      return *early;
    }
    FileErrorCause cause = FileErrorCause::None;
    std::unique_ptr<platform::FileReader> opened;
    platform::FileReader* reader = held_.get();
    if (reader == nullptr) {
      opened = platform_.fileSystem.OpenForReading(openPath, cause);
      if (!opened) EndWithFileError(name, openPath, cause);
      reader = opened.get();
    }
    // A size that cannot be read is a file error, not a blank file.
    const std::uint64_t size = reader->Size(cause);
    if (cause != FileErrorCause::None) EndWithFileError(name, openPath, cause);
    if (size == 0) return Skip(SkipReason::Blank, name, openPath);
    HeadFirst headFirst(*reader, std::move(headRead_));
    OutgoingFile file{headFirst, name, openPath, FormatOf(fileClass), nullptr, {},
                      job_.sentData, nullptr, job_.title, &job_.submitter};
    PasswordOutcome password;
    if (fileClass == FileClass::Pdf) {
      password = RunPasswordSteps(passwordSteps_, openPath, name, Destination().TakesJobHeader());
      if (password.skip) return Skip(*password.skip, name, openPath);
      file.settings = &settings_.settings;
      file.headerFacts = {name, size, password.keyMode, password.passwordHex, !folderCommand_};
      if (!password.plain.empty()) file.password = &password.plain;
    } else if (fileClass == FileClass::Tiff &&
               decisions_.TiffSettings(settings_, Destination().TakesJobHeader())) {
      file.settings = &settings_.settings;
    }
    result_.outcomes.push_back(SendFile(platform_, decisions_, Destination(), file));
    return FileEnd::Sent;
  }

  // A held reader's first bytes, once read to class it, then the rest.
  class HeadFirst : public platform::FileReader {
   public:
    HeadFirst(platform::FileReader& reader, std::string head)
        : reader_(reader), head_(std::move(head)) {}
    std::uint64_t Size(FileErrorCause& cause) const override { return reader_.Size(cause); }
    std::size_t Read(void* buffer, std::size_t capacity, FileErrorCause& cause) override {
      if (given_ == head_.size()) return reader_.Read(buffer, capacity, cause);
      const std::size_t n = std::min(capacity, head_.size() - given_);
      head_.copy(static_cast<char*>(buffer), n, given_);
      given_ += n;
      return n;
    }

   private:
    platform::FileReader& reader_;
    std::string head_;
    std::size_t given_ = 0;
  };

  // The output file while it is open, else the printer.
  platform::Destination& Destination() {
    if (outputFile_) return *outputFile_;
    if (!printer_) printer_ = platform_.printers.DestinationFor(job_.destination.printerName);
    return *printer_;
  }

  // The questions and hand-over before the file is opened; none to go on.
  std::optional<FileEnd> RunClassSteps(FileClass fileClass, const std::string& name,
                                       const std::string& openPath, bool printAll) {
    switch (fileClass) {
      case FileClass::Pdf: return RunSettingsQuestion(name, openPath, printAll);
      case FileClass::Quillora: return HandOver(name, openPath);
      case FileClass::Tiff: return std::nullopt;
      case FileClass::Other: break;
    }
    if (!asking_) return std::nullopt;
    if (decisions_.GoOn(GoOnQuestion{GoOnQuestion::Kind::OtherKind, name, openPath})) {
      return std::nullopt;
    }
    return Skip(SkipReason::OtherKind, name, openPath);
  }

  std::optional<FileEnd> RunSettingsQuestion(const std::string& name, const std::string& openPath,
                                             bool printAll) {
    if (!asking_) return std::nullopt;
    if (decisions_.PdfSettings(settings_) == SettingsAnswer::Print) {
      if (printAll) asking_ = false;
      return std::nullopt;
    }
    if (printAll) return FileEnd::EndCommand;
    return Skip(SkipReason::Cancelled, name, openPath);
  }

  std::optional<FileEnd> HandOver(const std::string& name, const std::string& openPath) {
    if (PrintWithApplication(platform_, job_.destination.printerName, openPath)) {
      DocumentOutcome outcome;
      outcome.kind = DocumentOutcome::Kind::HandedOver;
      outcome.name = name;
      outcome.path = openPath;
      Record(std::move(outcome));
      return FileEnd::HandedOver;
    }
    Tell(ui_, "Quillora is not aviable");
    return FileEnd::QuilloraFailed;
  }

  PrintCommandServices& services_;
  platform::Platform& platform_;
  platform::UserInterface& ui_;
  Decisions& decisions_;
  Job& job_;
  bool asking_;
  bool folderCommand_ = false;
  PdfPrintSettings settings_;
  JobResult& result_;
  std::unique_ptr<OutputFile>& outputFile_;
  PasswordSteps passwordSteps_;
  std::string path_;  // the document now printed
  std::unique_ptr<platform::FileReader> held_;  // its bytes, when the caller held them
  std::string headRead_;
  std::unique_ptr<platform::Destination> printer_;
};

}  // namespace

JobResult RunPrintJob(PrintCommandServices& services, Job& job) {
  bool failed = true;
  JobResult result;
  // As they stay when the job ends before it resolves them.
  result.nextDestination = job.destination.kind;
  if (!job.documents.empty()) result.resolvedPath = job.documents.front().path;
  std::unique_ptr<OutputFile> outputFile;
  try {
    PrintCommand command(services, job, result, outputFile);
    command.Run();
    failed = false;
  } catch (const PrintCommandEnded& ended) {
    // The front end has been told why the job ended.
    result.outcomes.push_back(ended.outcome);
  } catch (...) {
    DocumentOutcome outcome;
    outcome.kind = DocumentOutcome::Kind::Failed;
    outcome.failedAt = DocumentOutcome::FailedAt::Unexpected;
    services.decisions.Told(outcome);
    result.outcomes.push_back(std::move(outcome));
  }
  // One output file serves the whole job: every file of a folder is written
  // into it, and it is closed when the job ends, however it ends. After a
  // failure it is only released: a full disk that refused a write refuses
  // the flush too, and the user has been told once.
  if (failed || !outputFile) return result;
  FileErrorCause cause = FileErrorCause::None;
  const std::unique_ptr<OutputFile> file = std::move(outputFile);
  if (!file->Close(cause)) {
    DocumentOutcome outcome = FileFailed({}, file->Path(), cause, platform::FileRole::Written);
    services.decisions.Told(outcome);
    result.outcomes.push_back(std::move(outcome));
    result.completed = false;
  }
  return result;
}

}  // namespace pagewire::job

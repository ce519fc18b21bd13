#include "job/job_output.h"

#include <vector>

#include "job/job_messages.h"
#include "job/text_format.h"

namespace pagewire::job {
namespace {

using platform::FileErrorCause;
using platform::MessageButtons;
using platform::MessageIcon;
using platform::PrinterHandle;

// The copy loop's piece: files of any size print with constant memory.
constexpr std::size_t kCopyChunkSize = 4096;

platform::FileChooserRequest OutputFileRequest() {
  platform::FileChooserRequest request;
  request.filter = "Print Data Files (*.prn)|*.prn|All Files (*.*)|*.*||";
  request.defaultExtension = "prn";
  request.flags = platform::kChooserHideReadOnly | platform::kChooserLongNames;
  return request;
}

// Owns the printer job of one file, so an early end still releases it. A
// document that was not written whole is cancelled, never printed: a cut
// header or a cut PDF would come out as an error page or as garbage.
class PrinterJob {
 public:
  explicit PrinterJob(platform::Spooler& spooler) : spooler_(spooler) {}
  ~PrinterJob() {
    if (printer_ == 0) return;
    if (documentStarted_) spooler_.AbortRawDocument(printer_);
    spooler_.ClosePrinterHandle(printer_);
  }
  PrinterJob(const PrinterJob&) = delete;
  PrinterJob& operator=(const PrinterJob&) = delete;

  bool Open(const std::string& printerName, const std::string& docName) {
    if (!spooler_.OpenPrinterHandle(printerName, printer_)) {
      printer_ = 0;
      return false;
    }
    documentStarted_ = spooler_.StartRawDocument(printer_, docName);
    return documentStarted_;
  }

  // EndDocPrinter's result is not looked at; ClosePrinter's is.
  bool Finish() {
    spooler_.EndRawDocument(printer_);
    documentStarted_ = false;
    const PrinterHandle printer = printer_;
    printer_ = 0;
    return spooler_.ClosePrinterHandle(printer);
  }

  PrinterHandle Handle() const { return printer_; }

 private:
  platform::Spooler& spooler_;
  PrinterHandle printer_ = 0;
  bool documentStarted_ = false;
};

void CopyFileData(platform::Platform& platform, PrintTarget& target, PrinterHandle printer,
                  const OutgoingFile& file) {
  std::vector<unsigned char> buffer(kCopyChunkSize);
  for (;;) {
    FileErrorCause cause = FileErrorCause::None;
    const std::size_t got = file.reader.Read(buffer.data(), buffer.size(), cause);
    if (cause != FileErrorCause::None) EndWithFileError(platform.ui, cause, file.openedPath);
    if (got == 0) return;
    WriteJobData(platform, target, printer, buffer.data(), got);
  }
}

void WriteHeader(platform::Platform& platform, PrintTarget& target, PrinterHandle printer,
                 const OutgoingFile& file) {
  const JobComments comments = CollectJobComments(platform.systemFacts);
  for (const std::string& piece : JobHeaderPieces(*file.settings, comments, file.headerFacts)) {
    WriteJobData(platform, target, printer, piece.data(), piece.size());
  }
}

}  // namespace

int ChooseOutputFile(platform::Platform& platform, PrintTarget& target) {
  const std::optional<std::string> path = platform.ui.ChooseSaveAsFile(OutputFileRequest());
  if (!path) return 0;
  for (;;) {
    FileErrorCause cause = FileErrorCause::None;
    target.outputFile = platform.fileSystem.CreateOutputFile(*path, cause);
    if (target.outputFile) {
      target.outputFilePath = *path;
      return 1;
    }
    const std::string text = FormatText("Output File: %s ERROR (Error Code %d)", path->c_str(),
                                        static_cast<int>(cause));
    if (platform.ui.ShowMessageBox(text, MessageButtons::RetryCancel, MessageIcon::Stop) !=
        platform::MessageAnswer::Retry) {
      return 0;
    }
  }
}

void WriteJobData(platform::Platform& platform, PrintTarget& target, PrinterHandle printer,
                  const void* data, std::size_t length) {
  if (printer != 0) {
    // A write may take fewer bytes than given; the rest follows, so that no
    // byte of the job is lost. One that takes none is a failure.
    const auto* bytes = static_cast<const unsigned char*>(data);
    while (length > 0) {
      std::uint32_t written = 0;
      if (!platform.spooler.WriteRawData(printer, bytes, static_cast<std::uint32_t>(length),
                                         written) ||
          written == 0 || written > length) {
        EndWithUnsupportedOperation(platform.ui);
      }
      bytes += written;
      length -= written;
    }
    return;
  }
  if (!target.outputFile) EndWithUnsupportedOperation(platform.ui);
  FileErrorCause cause = FileErrorCause::None;
  if (!target.outputFile->Write(data, length, cause)) {
    EndWithFileError(platform.ui, cause, target.outputFilePath);
  }
}

void CloseOutputFile(platform::Platform& platform, PrintTarget& target) {
  if (!target.outputFile) return;
  FileErrorCause cause = FileErrorCause::None;
  const bool closed = target.outputFile->Close(cause);
  target.outputFile.reset();
  if (!closed) EndWithFileError(platform.ui, cause, target.outputFilePath);
}

void SendFile(platform::Platform& platform, PrintTarget& target, const OutgoingFile& file) {
  PrinterJob job(platform.spooler);
  if (target.outputMode == kOutputToPrinter) {
    // The spooler takes a document name of any length: the name is kept whole.
    if (!job.Open(target.printerName, "[Pagewire]" + file.longName)) {
      EndWithUnsupportedOperation(platform.ui);
    }
  }
  if (file.settings != nullptr) WriteHeader(platform, target, job.Handle(), file);
  if (!target.headerOnly) CopyFileData(platform, target, job.Handle(), file);
  if (job.Handle() != 0 && !job.Finish()) EndWithUnsupportedOperation(platform.ui);
}

}  // namespace pagewire::job

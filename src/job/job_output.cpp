#include "job/job_output.h"

#include <vector>

#include "job/job_messages.h"
#include "job/password_crypt.h"
#include "job/text_format.h"

namespace pagewire::job {
namespace {

using platform::FileErrorCause;
using platform::MessageButtons;
using platform::MessageIcon;

// The copy loop's piece: files of any size print with constant memory.
constexpr std::size_t kCopyChunkSize = 4096;

platform::FileChooserRequest OutputFileRequest() {
  platform::FileChooserRequest request;
  request.filter = "Print Data Files (*.prn)|*.prn|All Files (*.*)|*.*||";
  request.defaultExtension = "prn";
  request.flags = platform::kChooserHideReadOnly | platform::kChooserLongNames;
  return request;
}

// Tells why `document` failed and ends the command; the document is
// aborted as it goes.
[[noreturn]] void EndWithFailureOf(platform::UserInterface& ui,
                                   const platform::Document& document) {
  const platform::SendFailure failure = document.Failure();
  if (failure.kind == platform::SendFailure::Kind::File) {
    EndWithFileError(ui, failure.file.cause, failure.file.path, platform::FileRole::Written);
  }
  EndWithPrinterFailure(ui);
}

void Write(platform::UserInterface& ui, platform::Document& document, const void* data,
           std::size_t length) {
  if (!document.Write(data, length)) EndWithFailureOf(ui, document);
}

void CopyFileData(platform::UserInterface& ui, platform::Document& document,
                  const OutgoingFile& file) {
  std::vector<unsigned char> buffer(kCopyChunkSize);
  for (;;) {
    FileErrorCause cause = FileErrorCause::None;
    const std::size_t got = file.reader.Read(buffer.data(), buffer.size(), cause);
    if (cause != FileErrorCause::None) EndWithFileError(ui, cause, file.openedPath);
    if (got == 0) return;
    Write(ui, document, buffer.data(), got);
  }
}

}  // namespace

bool ChooseOutputFile(platform::Platform& platform, PrintTarget& target) {
  const std::optional<std::string> path = platform.ui.ChooseSaveAsFile(OutputFileRequest());
  if (!path) return false;
  for (;;) {
    FileErrorCause cause = FileErrorCause::None;
    if (auto writer = platform.fileSystem.CreateOutputFile(*path, cause)) {
      target.outputFile = std::make_unique<OutputFile>(std::move(writer), *path);
      return true;
    }
    const std::string text = FormatText("Output File: %s ERROR (Error Code %d)", path->c_str(),
                                        static_cast<int>(cause));
    if (platform.ui.ShowMessageBox(text, MessageButtons::RetryCancel, MessageIcon::Stop) !=
        platform::MessageAnswer::Retry) {
      return false;
    }
  }
}

void CloseOutputFile(platform::Platform& platform, PrintTarget& target) {
  if (!target.outputFile) return;
  FileErrorCause cause = FileErrorCause::None;
  const std::unique_ptr<OutputFile> file = std::move(target.outputFile);
  if (!file->Close(cause)) {
    EndWithFileError(platform.ui, cause, file->Path(), platform::FileRole::Written);
  }
}

void SendFile(platform::Platform& platform, platform::Destination& destination,
              const OutgoingFile& file) {
  platform::DocumentStart start;
  start.title = "[Pagewire]" + file.longName;
  start.fileName = file.longName;
  start.format = file.format;
  start.settings = file.settings;
  if (file.password != nullptr) start.password = *file.password;
  const std::unique_ptr<platform::Document> document = destination.StartDocument(start);
  if (start.password) WipeSecret(*start.password);
  if (!document) EndWithPrinterFailure(platform.ui);
  if (file.settings != nullptr && file.format == platform::DocumentFormat::Pdf &&
      destination.TakesJobHeader()) {
    const JobComments comments = CollectJobComments(platform.systemFacts);
    for (const std::string& piece : JobHeaderPieces(*file.settings, comments, file.headerFacts)) {
      Write(platform.ui, *document, piece.data(), piece.size());
    }
  }
  if (!file.headerOnly) CopyFileData(platform.ui, *document, file);
  if (!document->Commit()) EndWithFailureOf(platform.ui, *document);
}

}  // namespace pagewire::job

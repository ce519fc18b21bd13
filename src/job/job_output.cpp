#include "job/job_output.h"

#include <vector>

#include "job/job_messages.h"
#include "job/password_crypt.h"

namespace pagewire::job {
namespace {

using platform::FileErrorCause;

// The copy loop's piece: files of any size print with constant memory.
constexpr std::size_t kCopyChunkSize = 4096;

class Sender {
 public:
  Sender(Decisions& decisions, const OutgoingFile& file) : decisions_(decisions), file_(file) {}

  // Tells why `document` failed and ends the job; the document is aborted
  // as it goes.
  [[noreturn]] void EndWithFailureOf(const platform::Document& document) {
    const platform::SendFailure failure = document.Failure();
    if (failure.kind == platform::SendFailure::Kind::File) {
      EndWith(decisions_, FileFailed(file_.longName, failure.file.path, failure.file.cause,
                                     platform::FileRole::Written));
    }
    EndWith(decisions_, DestinationFailed(file_.longName, file_.openedPath, failure));
  }

  [[noreturn]] void EndWithStartFailure(const platform::Destination& destination) {
    EndWith(decisions_,
            DestinationFailed(file_.longName, file_.openedPath, destination.StartFailure()));
  }

  void Write(platform::Document& document, const void* data, std::size_t length) {
    if (!document.Write(data, length)) EndWithFailureOf(document);
  }

  void CopyFileData(platform::Document& document) {
    std::vector<unsigned char> buffer(kCopyChunkSize);
    for (;;) {
      FileErrorCause cause = FileErrorCause::None;
      const std::size_t got = file_.reader.Read(buffer.data(), buffer.size(), cause);
      if (cause != FileErrorCause::None) {
        EndWith(decisions_, FileFailed(file_.longName, file_.openedPath, cause));
      }
      if (got == 0) return;
      Write(document, buffer.data(), got);
    }
  }

 private:
  Decisions& decisions_;
  const OutgoingFile& file_;
};

JobComments CommentsFor(platform::SystemFacts& system, const OutgoingFile& file) {
  JobComments comments = CollectJobComments(system);
  if (file.submitter != nullptr && file.submitter->has_value()) {
    const Submitter& submitter = **file.submitter;
    comments.userName = submitter.userName;
    comments.hostName = submitter.hostName;
    comments.address = submitter.address;
  }
  return comments;
}

}  // namespace

DocumentOutcome SendFile(platform::Platform& platform, Decisions& decisions,
                         platform::Destination& destination, const OutgoingFile& file) {
  Sender sender(decisions, file);
  platform::DocumentStart start;
  start.title = file.title.empty() ? "[Pagewire]" + file.longName : file.title;
  start.fileName = file.longName;
  start.format = file.format;
  start.settings = file.settings;
  if (file.password != nullptr) start.password = *file.password;
  const std::unique_ptr<platform::Document> document = destination.StartDocument(start);
  if (start.password) WipeSecret(*start.password);
  if (!document) sender.EndWithStartFailure(destination);
  if (file.settings != nullptr && file.format == platform::DocumentFormat::Pdf &&
      destination.TakesJobHeader()) {
    const JobComments comments = CommentsFor(platform.systemFacts, file);
    for (const std::string& piece : JobHeaderPieces(*file.settings, comments, file.headerFacts)) {
      sender.Write(*document, piece.data(), piece.size());
    }
  }
  if (file.sentData == SentData::HeaderAndFile) sender.CopyFileData(*document);
  if (!document->Commit()) sender.EndWithFailureOf(*document);
  DocumentOutcome outcome;
  outcome.name = file.longName;
  outcome.path = file.openedPath;
  outcome.jobId = document->JobId();
  decisions.Told(outcome);
  const bool awaited = document->AwaitEnd(outcome.end);
  if (outcome.end) decisions.Told(outcome);
  if (!awaited) sender.EndWithFailureOf(*document);
  return outcome;
}

}  // namespace pagewire::job

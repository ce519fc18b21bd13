// How each document of a job ended, as the job tells its front end and
// returns it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "job/job.h"
#include "platform/destination.h"
#include "platform/file_error.h"
#include "platform/user_interface.h"

namespace pagewire::job {

enum class SkipReason {
  Cancelled,        // a question was answered Cancel, or its job ended
  ForbidsPrinting,  // its permissions forbid printing, and the job did not go on
  Unreadable,       // not readable as a PDF, and the job did not go on
  OtherKind,        // of no kind the job prints, and the job did not go on
  WrongPassword,    // no password given or typed opened it
  PasswordTooLong,  // the right password is longer than the job header holds
  Blank,            // the file is empty
  PathTooLong,      // the system would open another file by a cut path
  NoApplication,    // a Quillora file that no application took
};

struct DocumentOutcome {
  enum class Kind {
    Sent,        // the destination took it: `jobId`, and `end` after a wait
    HandedOver,  // a Quillora file went to its application
    Skipped,     // `reason`
    Failed,      // where: `failedAt`
  };
  enum class FailedAt {
    Destination,  // `send`
    File,         // a file read or written: `fileCause`, `fileRole`
    Unexpected,   // the job itself could not go on
  };
  Kind kind = Kind::Sent;
  std::string name;  // its long name, no folder
  std::string path;  // the path it was opened by
  SkipReason reason = SkipReason::Cancelled;
  FailedAt failedAt = FailedAt::Destination;
  platform::SendFailure send;
  platform::FileErrorCause fileCause = platform::FileErrorCause::None;
  platform::FileRole fileRole = platform::FileRole::Read;
  std::string jobId;  // the destination's id for it; empty when it gives none
  std::optional<platform::PrinterEnd> end;
};

// A job's end: each document's outcome in order, and how the job ended.
struct JobResult {
  std::vector<DocumentOutcome> outcomes;
  // False when a failure, a question or an empty folder ended it early.
  bool completed = false;
  // The first document's path as the job resolved it (quotes stripped, or
  // the file chosen instead of an invalid path).
  std::string resolvedPath;
  // Where the main dialog's next press sends: the output file stays chosen
  // until a document went into it or none could be made.
  DestinationKind nextDestination = DestinationKind::Printer;

  int Count(DocumentOutcome::Kind kind) const;
  // Sent or handed over.
  int SentCount() const;
  // Ended at a destination that failed (not a file it read or wrote).
  bool PrinterFailed() const;
};

}  // namespace pagewire::job

// Job output: one file sent as one document of a destination (the printer
// or the output file).
#pragma once

#include <optional>
#include <string>

#include "job/decisions.h"
#include "job/job.h"
#include "job/job_header.h"
#include "job/outcome.h"
#include "platform/platform.h"
#include "settings/print_job_settings.h"

namespace pagewire::job {

// What the sending step needs of one file; `settings` is null but for a PDF
// and a TIFF whose settings go to a destination that carries them.
struct OutgoingFile {
  platform::FileReader& reader;
  std::string longName;
  std::string openedPath;  // names the file in a read error
  platform::DocumentFormat format = platform::DocumentFormat::Other;
  const settings::PrintJobSettings* settings = nullptr;
  JobHeaderFacts headerFacts;
  SentData sentData = SentData::HeaderAndFile;
  // The plain password for a destination that takes no header; null: none.
  const std::string* password = nullptr;
  std::string title;  // empty: "[Pagewire]" and the long name
  const std::optional<Submitter>* submitter = nullptr;  // null or none: the system's
};

// Sends one file as one document: the header for a PDF where the
// destination takes it, each piece by one write, then the file in pieces of
// 4096 bytes; commits it. The destination's copy of the password is wiped
// once it has started the document. Once committed, the document is told as
// sent with the destination's job id; where the destination waits for its
// end at the printer, it is told again with that end. A failure is told and
// ends the job (PrintCommandEnded); the document is then aborted.
DocumentOutcome SendFile(platform::Platform& platform, Decisions& decisions,
                         platform::Destination& destination, const OutgoingFile& file);

}  // namespace pagewire::job

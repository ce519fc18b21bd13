// Job output: the output file's choice, and one file sent as one document
// of a destination (the printer or the output file).
#pragma once

#include <string>

#include "job/job_header.h"
#include "job/print_target.h"
#include "platform/platform.h"
#include "settings/print_job_settings.h"

namespace pagewire::job {

// Save As for the output file, then create it (Retry/Cancel on failure).
// True when `target.outputFile` is open.
bool ChooseOutputFile(platform::Platform& platform, PrintTarget& target);

// Closes the output file, if any; a failing flush is told as a file error.
void CloseOutputFile(platform::Platform& platform, PrintTarget& target);

// What the sending step needs of one file; `settings` is null but for a PDF
// and a TIFF whose settings go to a destination that carries them.
struct OutgoingFile {
  platform::FileReader& reader;
  std::string longName;
  std::string openedPath;  // names the file in a read error
  platform::DocumentFormat format = platform::DocumentFormat::Other;
  const settings::PrintJobSettings* settings = nullptr;
  JobHeaderFacts headerFacts;
  bool headerOnly = false;  // the header alone, no file data
  // The plain password for a destination that takes no header; null: none.
  const std::string* password = nullptr;
};

// Sends one file as one document named "[Pagewire]" and its long name: the
// header for a PDF where the destination takes it, each piece by one write,
// then the file in pieces of 4096 bytes; commits it. The destination's copy
// of the password is wiped once it has started the document. A failure
// tells the user and ends the command (PrintCommandEnded); the document is
// then aborted.
void SendFile(platform::Platform& platform, platform::Destination& destination,
              const OutgoingFile& file);

}  // namespace pagewire::job

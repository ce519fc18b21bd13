// Job output: the printer's raw document or the ".prn" output file.
#pragma once

#include <cstddef>
#include <string>

#include "job/job_header.h"
#include "settings/print_job_settings.h"
#include "job/print_target.h"
#include "platform/platform.h"

namespace pagewire::job {

// Save As for the output file, then create it (Retry/Cancel on failure).
// 1 when `target.outputFile` is open, 0 otherwise.
int ChooseOutputFile(platform::Platform& platform, PrintTarget& target);

// Writes one piece to the printer job, or to the output file when `printer`
// is 0. A failure tells the user and ends the command (PrintCommandEnded).
void WriteJobData(platform::Platform& platform, PrintTarget& target,
                  platform::PrinterHandle printer, const void* data, std::size_t length);

// Closes the output file, if any; a failing flush is told as a file error.
void CloseOutputFile(platform::Platform& platform, PrintTarget& target);

// What the sending step needs of one file; `header` is null but for a PDF.
struct OutgoingFile {
  platform::FileReader& reader;
  std::string longName;
  std::string openedPath;  // names the file in a read error
  const settings::PrintJobSettings* settings = nullptr;
  JobHeaderFacts headerFacts;
};

// Sends one file: opens the printer job (output mode 1), writes the header
// for a PDF and the file in pieces of 4096 bytes, closes the job.
void SendFile(platform::Platform& platform, PrintTarget& target, const OutgoingFile& file);

}  // namespace pagewire::job

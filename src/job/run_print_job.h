// The print command: one file or every file of one folder.
#pragma once

#include <functional>

#include "dialogs/job_dialogs.h"
#include "job/pdf_queries.h"
#include "job/print_target.h"
#include "platform/platform.h"

namespace pagewire::job {

struct PrintCommandServices {
  platform::Platform& platform;
  dialogs::JobDialogs& dialogs;
  PdfQueries pdfQueries;
  // Whether the chosen printer's port has a recorded network address.
  std::function<bool()> hasPortAddress;
};

// Runs one print command on `target`; asks the user when `interactive` is
// not 0. Every failure is told to the user; nothing is thrown.
void RunPrintJob(PrintCommandServices& services, PrintTarget& target, int interactive);

}  // namespace pagewire::job

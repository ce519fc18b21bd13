// The print command: one file or every file of one folder.
#pragma once

#include <functional>

#include "job/job_dialogs.h"
#include "job/pdf_inspection.h"
#include "job/print_target.h"
#include "platform/platform.h"

namespace pagewire::job {

struct PrintCommandServices {
  platform::Platform& platform;
  JobDialogs& dialogs;
  InspectPdf inspectPdf;
  // Whether the chosen printer's port has a recorded network address.
  std::function<bool()> hasPortAddress;
};

// How a command went, for callers that report it.
struct PrintCommandSummary {
  int filesSent = 0;     // to the printer or output file, or handed over
  int filesNotSent = 0;  // skipped, refused or not printable
  bool completed = false;  // false: a failure or the user ended it early
  bool printerFailed = false;  // it ended because the printer failed
};

// Runs one print command on `target`; asks the user when `interactive`.
// Every failure is told to the user; nothing is thrown.
PrintCommandSummary RunPrintJob(PrintCommandServices& services, PrintTarget& target,
                                bool interactive);

}  // namespace pagewire::job

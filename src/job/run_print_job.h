// The print command: runs a job, each document a file or every file of one
// folder.
#pragma once

#include <functional>

#include "job/decisions.h"
#include "job/job.h"
#include "job/outcome.h"
#include "job/pdf_inspection.h"
#include "platform/platform.h"

namespace pagewire::job {

struct PrintCommandServices {
  platform::Platform& platform;
  Decisions& decisions;
  InspectPdf inspectPdf;
  // Whether the chosen printer's port has a recorded network address.
  std::function<bool()> hasPortAddress;
};

// Runs `job`, asking its decisions the questions the job asks. Every
// outcome is told as it happens and returned; nothing is thrown.
JobResult RunPrintJob(PrintCommandServices& services, Job& job);

}  // namespace pagewire::job

// The main dialog's logic: the members a print job is made of and the
// operations the Win32 dialog forwards to.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "job/job_dialogs.h"
#include "job/pdf_inspection.h"
#include "job/job.h"
#include "platform/platform.h"

namespace pagewire::app {

class DirectPrintModel {
 public:
  DirectPrintModel(platform::Platform& platform, job::JobDialogs& jobDialogs,
                   job::InspectPdf inspectPdf);

  // A job of the file or folder at `filePath` to `printerName`, or to an
  // output file; `interactive` false asks only what the job needs.
  void RunPrintJob(bool interactive);
  // Runs `update` now, or when the running print command has ended: the
  // command's dialogs pump messages, and nothing that arrives meanwhile may
  // change its path, printer or output mode.
  void WhenIdle(std::function<void()> update);
  bool CommandRunning() const { return commandRunning_; }
  int PrintWithApplication(const std::string& path);
  bool HasPortAddress();

  std::string filePath;
  std::string printerName;
  // The output file, once chosen by the press of Print, stays chosen until
  // a document went into it or none could be made.
  job::DestinationKind destination = job::DestinationKind::Printer;

 private:
  platform::Platform& platform_;
  job::JobDialogs& jobDialogs_;
  job::InspectPdf inspectPdf_;
  bool commandRunning_ = false;
  std::vector<std::function<void()>> deferred_;
};

}  // namespace pagewire::app

// The main dialog's logic: the members the print command uses and the
// operations the Win32 dialog forwards to.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/job_dialogs.h"
#include "job/pdf_inspection.h"
#include "job/print_target.h"
#include "platform/platform.h"

namespace pagewire::app {

class DirectPrintModel : public job::PrintTarget {
 public:
  DirectPrintModel(platform::Platform& platform, dialogs::JobDialogs& jobDialogs,
                   job::InspectPdf inspectPdf);

  void RunPrintJob(int interactive);
  // Runs `update` now, or when the running print command has ended: the
  // command's dialogs pump messages, and nothing that arrives meanwhile may
  // change its path, printer or output mode.
  void WhenIdle(std::function<void()> update);
  bool CommandRunning() const { return commandRunning_; }
  int ChooseOutputFile();
  void WriteJobData(platform::PrinterHandle printer, const void* data, std::size_t length);
  bool HasPortAddress();

 private:
  platform::Platform& platform_;
  dialogs::JobDialogs& jobDialogs_;
  job::InspectPdf inspectPdf_;
  bool commandRunning_ = false;
  std::vector<std::function<void()>> deferred_;
};

}  // namespace pagewire::app

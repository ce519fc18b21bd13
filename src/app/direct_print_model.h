// The main dialog's logic: the members the print command uses and the
// operations the Win32 dialog forwards to.
#pragma once

#include <cstddef>
#include <string>

#include "dialogs/job_dialogs.h"
#include "job/pdf_queries.h"
#include "job/print_target.h"
#include "platform/platform.h"

namespace pagewire::app {

class DirectPrintModel : public job::PrintTarget {
 public:
  DirectPrintModel(platform::Platform& platform, dialogs::JobDialogs& jobDialogs,
                   job::PdfQueries pdfQueries);

  void RunPrintJob(int interactive);
  int ChooseOutputFile();
  void WriteJobData(platform::PrinterHandle printer, const void* data, std::size_t length);
  int PrintWithApplication(const std::string& path);
  bool HasPortAddress();

 private:
  platform::Platform& platform_;
  dialogs::JobDialogs& jobDialogs_;
  job::PdfQueries pdfQueries_;
};

}  // namespace pagewire::app

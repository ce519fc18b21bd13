#include "app/direct_print_model.h"

#include <utility>

#include "app/has_port_address.h"
#include "job/job_output.h"
#include "job/run_print_job.h"

namespace pagewire::app {

DirectPrintModel::DirectPrintModel(platform::Platform& platform, dialogs::JobDialogs& jobDialogs,
                                   job::InspectPdf inspectPdf)
    : platform_(platform), jobDialogs_(jobDialogs), inspectPdf_(std::move(inspectPdf)) {}

void DirectPrintModel::RunPrintJob(int interactive) {
  job::PrintCommandServices services{platform_, jobDialogs_, inspectPdf_,
                                     [this] { return HasPortAddress(); }};
  commandRunning_ = true;
  job::RunPrintJob(services, *this, interactive);
  commandRunning_ = false;
  std::vector<std::function<void()>> deferred;
  deferred.swap(deferred_);
  for (auto& update : deferred) update();
}

void DirectPrintModel::WhenIdle(std::function<void()> update) {
  if (commandRunning_) {
    deferred_.push_back(std::move(update));
  } else {
    update();
  }
}

int DirectPrintModel::ChooseOutputFile() {
  return job::ChooseOutputFile(platform_, *this);
}

// Throws job::PrintCommandEnded on failure, as inside a print command.
void DirectPrintModel::WriteJobData(platform::PrinterHandle printer, const void* data,
                                    std::size_t length) {
  job::WriteJobData(platform_, *this, printer, data, length);
}

bool DirectPrintModel::HasPortAddress() {
  return app::HasPortAddress(platform_, printerName);
}

}  // namespace pagewire::app

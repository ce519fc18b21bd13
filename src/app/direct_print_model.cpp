#include "app/direct_print_model.h"

#include <utility>

#include "app/has_port_address.h"
#include "job/print_with_application.h"
#include "job/run_print_job.h"

namespace pagewire::app {

DirectPrintModel::DirectPrintModel(platform::Platform& platform, job::JobDialogs& jobDialogs,
                                   job::InspectPdf inspectPdf)
    : platform_(platform), jobDialogs_(jobDialogs), inspectPdf_(std::move(inspectPdf)) {}

void DirectPrintModel::RunPrintJob(bool interactive) {
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

int DirectPrintModel::PrintWithApplication(const std::string& path) {
  return job::PrintWithApplication(platform_, printerName, path);
}

bool DirectPrintModel::HasPortAddress() {
  return app::HasPortAddress(platform_, printerName);
}

}  // namespace pagewire::app

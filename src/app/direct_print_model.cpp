#include "app/direct_print_model.h"

#include <utility>

#include "app/has_port_address.h"
#include "job/dialog_decisions.h"
#include "job/print_with_application.h"
#include "job/run_print_job.h"

namespace pagewire::app {

DirectPrintModel::DirectPrintModel(platform::Platform& platform, job::JobDialogs& jobDialogs,
                                   job::InspectPdf inspectPdf)
    : platform_(platform), jobDialogs_(jobDialogs), inspectPdf_(std::move(inspectPdf)) {}

void DirectPrintModel::RunPrintJob(bool interactive) {
  job::DialogDecisions decisions(platform_.ui, jobDialogs_);
  job::PrintCommandServices services{platform_, decisions, inspectPdf_,
                                     [this] { return HasPortAddress(); }};
  job::Job job;
  job.documents.push_back(job::JobDocument{filePath, nullptr});
  job.destination = {destination, printerName, {}};
  job.questions = interactive ? job::Questions::All : job::Questions::NeededOnly;
  commandRunning_ = true;
  const job::JobResult result = job::RunPrintJob(services, job);
  filePath = result.resolvedPath;
  destination = result.nextDestination;
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

// Knowing that a job printed: an IPP printer's or a CUPS queue's job is
// asked for its state until it has ended.
#pragma once

#include <cups/cups.h>

#include <chrono>
#include <functional>
#include <string>

#include "transport/destination_options.h"

namespace pagewire::transport {

// A job as Get-Job-Attributes names it.
struct IppJob {
  std::string resource;    // the HTTP path the printer takes requests at
  std::string printerUri;
  int id = 0;
  std::string user;  // the requesting user; empty: CUPS's
};

// The status of a response as "client-error-not-found: <status-message>";
// the last libcups error when there is no response.
std::string IppStatusText(ipp_t* response);

// Polls the job on `http` (CUPS_HTTP_DEFAULT: the CUPS server) until its
// job-state is canceled, aborted or completed, or `limit` has passed. Each
// new count of job-impressions-completed goes to `progress`.
PrinterEnd AwaitIppJob(http_t* http, const IppJob& job, std::chrono::seconds limit,
                       const std::function<void(const std::string&)>& progress);

// Waits for the CUPS job `job` of `queue` as AwaitIppJob does.
PrinterEnd AwaitCupsJob(const std::string& queue, int job, std::chrono::seconds limit,
                        const std::function<void(const std::string&)>& progress);

}  // namespace pagewire::transport

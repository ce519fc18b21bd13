// What the destinations share: their options, and the outcome of a
// document as the port words it (platform::SendFailure, PrinterEnd).
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/destination.h"
#include "transport/ipp_attributes.h"
#include "transport/stall_watch.h"

namespace pagewire::transport {

using platform::Destination;
using platform::Document;
using platform::DocumentFormat;
using platform::DocumentStart;
using platform::PrinterEnd;
using platform::Refusal;
using platform::SendFailure;

using Report = std::function<void(const std::string& line)>;

struct DestinationOptions {
  // Each notice while a document goes or is waited for, as "NAME: text": a
  // printer that takes no data, a waited-for job's progress, a printer's
  // note on a job it took, a cancel that failed. A document's failure, job
  // id and end are its outcome: Failure, JobId, AwaitEnd.
  Report report;
  // How long a printer that takes no data is waited for.
  StallPolicy stalls;
  // Not empty: the name of every job, instead of the one the program gives.
  std::string title;
  // With a value: Document::AwaitEnd waits this long at most for each job's
  // end at the printer.
  std::optional<std::chrono::seconds> wait;
  // Not empty: the requesting user of an IPP printer's requests, the one
  // the job header's comments name; else CUPS's user.
  std::string ippUser;
  // A password may go over plain ipp:// to a host but this one.
  bool allowPlainPassword = false;
  // The settings an IPP job carries; its printer chooses the others.
  IppChoices ipp;
};

// Reports "NAME: text", or "text" for no name.
void Tell(const DestinationOptions& options, const std::string& name, const std::string& text);
// Watches one document of the destination `name`, telling through `options`.
StallWatch StallWatchFor(const std::string& name, const DestinationOptions& options);

// A printer's failure in its own words; Interrupted when a signal ended it.
SendFailure PrinterFailure(std::string cause, bool interrupted);
// A document the printer would not take.
SendFailure RefusalOf(Refusal refusal, std::string cause);
// The job id as lp gives it: "QUEUE-17".
std::string JobIdOf(const std::string& queue, int job);

}  // namespace pagewire::transport

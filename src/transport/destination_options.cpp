#include "transport/destination_options.h"

namespace pagewire::transport {

void Tell(const DestinationOptions& options, const std::string& name, const std::string& text) {
  if (options.report) options.report(name.empty() ? text : name + ": " + text);
}

StallWatch StallWatchFor(const std::string& name, const DestinationOptions& options) {
  return StallWatch(options.stalls, [report = options.report, name](const std::string& text) {
    if (report) report(name + ": " + text);
  });
}

SendFailure PrinterFailure(std::string cause, bool interrupted) {
  SendFailure failure;
  failure.kind = interrupted ? SendFailure::Kind::Interrupted : SendFailure::Kind::Printer;
  failure.cause = std::move(cause);
  return failure;
}

SendFailure RefusalOf(Refusal refusal, std::string cause) {
  SendFailure failure;
  failure.kind = SendFailure::Kind::Refused;
  failure.refusal = refusal;
  failure.cause = std::move(cause);
  return failure;
}

std::string JobIdOf(const std::string& queue, int job) {
  return queue + "-" + std::to_string(job);
}

}  // namespace pagewire::transport

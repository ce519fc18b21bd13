// An IPP printer as a destination: ipp://HOST[:PORT]/PATH or ipps://...
//
// Each document is one Print-Job request. The printer is asked first
// (Get-Printer-Attributes) whether it takes the file's format, the job
// settings as IPP attributes and, for a protected PDF, the password as the
// operation attribute document-password; a document it would not take is
// refused before a byte is sent. The file's bytes go unchanged, without the
// PJL header.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/destination.h"
#include "platform/linux/stall_watch.h"

namespace pagewire::platform {

struct IppDestinationOptions {
  using Report = std::function<void(const std::string&)>;
  // Failures, notices and the wait's progress, one line each, "URI: ...".
  Report report;
  // The request id ("print-12") of each job the printer took.
  Report accepted;
  // Waits this long for each job to finish printing; none: does not wait.
  std::optional<std::chrono::seconds> wait;
  StallPolicy stalls;
};

class IppDestination final : public Destination {
 public:
  // Why a document was refused or failed.
  enum class Failure {
    None,
    Failed,             // the printer cannot be reached, or failed the request
    SettingNotOffered,  // a job setting it does not support
    FileNotTaken,       // the file's format, or its password
  };

  IppDestination(std::string uri, IppDestinationOptions options);

  // True for ipp:// and ipps:// names.
  static bool Names(std::string_view destination);

  std::unique_ptr<Document> StartDocument(const DocumentStart& start) override;
  bool TakesJobHeader() const override { return false; }

  // The first failure.
  Failure FirstFailure() const { return failure_; }
  // With a wait: every job the printer took has completed.
  bool AllCompleted() const { return allCompleted_; }

 private:
  class IppDocument;

  // Reports "URI: text" and keeps the first failure. Null, for returns.
  std::nullptr_t Fail(Failure failure, const std::string& text);
  void Report(const std::string& text) const;

  std::string uri_;
  IppDestinationOptions options_;
  Failure failure_ = Failure::None;
  bool allCompleted_ = true;
};

// An IPP printer that CUPS finds on the network.
struct NetworkPrinter {
  std::string name;
  std::string uri;
};

// The IPP printers that DNS-SD announces within `browse`, but those that
// are CUPS queues of this system.
std::vector<NetworkPrinter> FindIppPrinters(std::chrono::milliseconds browse);

}  // namespace pagewire::platform

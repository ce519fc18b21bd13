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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transport/destination_options.h"

namespace pagewire::transport {

class IppDestination final : public Destination {
 public:
  // Failures, notices and the wait's progress are reported "URI: ...".
  IppDestination(std::string uri, DestinationOptions options);

  // True for ipp:// and ipps:// names.
  static bool Names(std::string_view destination);
  // Why such a name is no printer address; none when it is one.
  static std::optional<std::string> AddressProblem(const std::string& uri);

  // A document's job id is the printer's name (the last part of its path)
  // and the job's number; with a wait, AwaitEnd polls the job's state.
  std::unique_ptr<Document> StartDocument(const DocumentStart& start) override;
  SendFailure StartFailure() const override { return startFailure_; }
  bool TakesJobHeader() const override { return false; }

 private:
  class IppDocument;

  // Keeps the start's failure, or its refusal, for StartFailure. Null, for
  // returns.
  std::nullptr_t Fail(const std::string& text, std::optional<Refusal> refusal = std::nullopt);
  // The requesting user of the printer's requests.
  const char* User() const;

  std::string uri_;
  DestinationOptions options_;
  SendFailure startFailure_;
};

// An IPP printer that CUPS finds on the network.
struct NetworkPrinter {
  std::string name;
  std::string uri;
};

// The IPP printers that DNS-SD announces within `browse`, but those that
// are CUPS queues of this system.
std::vector<NetworkPrinter> FindIppPrinters(std::chrono::milliseconds browse);

}  // namespace pagewire::transport

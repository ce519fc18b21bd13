// A CUPS destination ("queue" or "queue/instance") on the default server,
// printed as a raw job per document. Aborting cancels the job, so nothing
// of it prints. Also the listing of the server's destinations and its
// default one.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "transport/raw_document.h"
#include "platform/printers.h"

namespace pagewire::transport {

class CupsDestination final : public Destination {
 public:
  CupsDestination(std::string name, DestinationOptions options);
  // Creates the job; null, with the failure reported, when the destination
  // does not exist or the server refuses.
  // A document's job id is "QUEUE-ID"; with a wait, AwaitEnd polls the
  // job's state.
  std::unique_ptr<Document> StartDocument(const DocumentStart& start) override;
  SendFailure StartFailure() const override { return startFailure_; }

 private:
  std::string name_;
  DestinationOptions options_;
  SendFailure startFailure_;
};

struct CupsPrinter {
  std::string name;  // "queue" or "queue/instance"
  platform::PrinterDetails details;  // make and model, device URI
};

// The server's destinations; none, with `cause` set, when they cannot be
// listed.
std::optional<std::vector<CupsPrinter>> ListCupsPrinters(std::string& cause);
// One destination; none when it does not exist or cannot be read.
std::optional<CupsPrinter> FindCupsPrinter(const std::string& name);
// The server's default destination; empty when there is none.
std::string CupsDefaultPrinter();

// The CUPS server every later call asks (HOST[:PORT]), as lp -h names it.
void UseCupsServer(const std::string& server);

}  // namespace pagewire::transport

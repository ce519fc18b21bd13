// Printers in memory: each document recorded as its writes, committed or
// aborted; a write or a commit made to fail on demand.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/printers.h"

namespace pagewire::fakes {

class FakePrinters : public platform::Printers {
 public:
  struct Document {
    std::string printer, title;
    std::vector<std::string> writes;  // each Write's bytes
    bool committed = false;
    bool aborted = false;
    std::optional<std::string> password;  // as the destination was told
    std::optional<settings::PrintJobSettings> settings;  // as the destination was told
    std::string Bytes() const;
  };
  std::map<std::string, platform::PrinterDetails> printers;  // the ones that open
  std::deque<Document> documents;
  int failWriteAt = -1;  // the n-th write (0-based) of all documents fails
  bool failCommit = false;
  bool takesJobHeader = true;  // false: as an IPP printer
  int writes = 0;

  void AddPrinter(const std::string& name, const std::string& driver, const std::string& port) {
    printers[name] = {driver, port};
  }
  std::vector<std::string> Names() override;
  std::optional<platform::PrinterDetails> DetailsOf(const std::string& printer) override;
  std::unique_ptr<platform::Destination> DestinationFor(const std::string& printer) override;
};

}  // namespace pagewire::fakes

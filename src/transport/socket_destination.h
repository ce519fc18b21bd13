// A printer's raw TCP port, socket://HOST[:PORT]: one connection per
// document, port 9100 by default; HOST is a name, an IPv4 address or an
// IPv6 address in brackets. Aborting resets the connection, which cannot
// recall what the printer has already read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "transport/raw_document.h"

namespace pagewire::transport {

struct SocketAddress {
  std::string host;  // without brackets
  std::string port;
};

// True when `name` begins with "socket://", in any case.
bool IsSocketName(std::string_view name);

// The address a socket:// name gives; none with `cause` set when it is not
// well formed.
std::optional<SocketAddress> ParseSocketName(std::string_view name, std::string& cause);

class SocketDestination final : public Destination {
 public:
  SocketDestination(std::string name, DestinationOptions options);
  // Connects; null, with the failure reported, when the name is not well
  // formed or the printer cannot be reached. With a wait, the job's end is
  // read from the printer's PJL job status by AwaitEnd.
  std::unique_ptr<Document> StartDocument(const DocumentStart& start) override;
  SendFailure StartFailure() const override { return startFailure_; }

 private:
  std::string name_;
  DestinationOptions options_;
  SendFailure startFailure_;
};

}  // namespace pagewire::transport

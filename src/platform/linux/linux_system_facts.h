// System facts on Linux: the login name, the host's name and address, and
// the clock.
#pragma once

#include "platform/system_facts.h"

namespace pagewire::platform {

class LinuxSystemFacts : public SystemFacts {
 public:
  // $LOGNAME, then $USER, then the effective user's account.
  std::optional<std::string> UserName() override;
  // gethostname, and the first IPv4 address of an interface that is up and
  // outside 127/8, in the order getifaddrs gives.
  HostFacts Host() override;
  // None: the command names its destination, or asks CUPS for its default.
  DefaultPrinter RecordedDefaultPrinter() override;
  LocalTime LocalNow() override;
  // "pagewire".
  std::string ApplicationName() override;
};

}  // namespace pagewire::platform

// System facts port on Linux: the answers the job header and the printer
// logic need, in the shape the Win32 calls give them.
#pragma once

#include "platform/system_facts.h"

namespace pagewire::platform {

class LinuxSystemFacts : public SystemFacts {
 public:
  // Windows NT 10: the logic only tells Windows 9x apart.
  OsVersion VersionInfo() override;
  // There is no profile: always the default.
  std::string ProfileString(const std::string& section, const std::string& key,
                            const std::string& defaultValue) override;
  // The login name of the effective user ($USER, then $LOGNAME, when the
  // password database has none); its size counts the terminating zero.
  std::uint32_t UserNameSize() override;
  std::optional<std::string> UserName(std::uint32_t bufferSize) override;
  // gethostname, and the first IPv4 address of an interface that is up and
  // outside 127/8, in the order getifaddrs gives.
  HostFacts LookUpHost() override;
  LocalTime LocalNow() override;
  // "pagewire".
  std::string ApplicationName() override;
};

}  // namespace pagewire::platform

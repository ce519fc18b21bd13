// System facts port: version, profile, user name, host and clock.
#pragma once

#include "platform/system_facts.h"

namespace pagewire::platform::win32 {

class Win32SystemFacts : public SystemFacts {
 public:
  OsVersion VersionInfo() override;
  std::string ProfileString(const std::string& section, const std::string& key,
                            const std::string& defaultValue) override;
  std::uint32_t UserNameSize() override;
  std::optional<std::string> UserName(std::uint32_t bufferSize) override;
  HostFacts LookUpHost() override;
  LocalTime LocalNow() override;
  std::string ApplicationName() override;
};

}  // namespace pagewire::platform::win32

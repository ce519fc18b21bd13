// System facts over GetVersionExA, GetUserNameA, Windows Sockets 1.1,
// win.ini and the C clock.
#pragma once

#include "platform/system_facts.h"

namespace pagewire::platform::win32 {

class Win32SystemFacts : public SystemFacts {
 public:
  // GetUserNameA twice: for the size, then into a buffer of that size.
  std::optional<std::string> UserName() override;
  // WSAStartup(1.1), gethostname (256 bytes), gethostbyname, WSACleanup.
  HostFacts Host() override;
  // GetProfileStringA("windows", "device", "", 128-byte buffer).
  DefaultPrinter RecordedDefaultPrinter() override;
  LocalTime LocalNow() override;
  std::string ApplicationName() override;
};

}  // namespace pagewire::platform::win32

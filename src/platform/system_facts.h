// System facts port: version, profile, user, host and clock.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace pagewire::platform {

inline constexpr std::uint32_t kPlatformWindows9x = 1;  // VER_PLATFORM_WIN32_WINDOWS
inline constexpr std::uint32_t kPlatformWindowsNt = 2;  // VER_PLATFORM_WIN32_NT

struct OsVersion {
  std::uint32_t platformId = kPlatformWindowsNt;
  std::uint32_t majorVersion = 5;
};

struct LocalTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

using Ipv4Address = std::array<std::uint8_t, 4>;  // network order

struct HostFacts {
  std::optional<std::string> hostName;  // gethostname failed: none
  std::optional<Ipv4Address> address;   // first address of gethostbyname
};

class SystemFacts {
 public:
  virtual ~SystemFacts() = default;

  // GetVersionExA.
  virtual OsVersion VersionInfo() = 0;
  // GetProfileStringA(section, key, defaultValue, 128-byte buffer).
  virtual std::string ProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) = 0;
  // GetUserNameA(null, &size = 0): the size it reports (0 when none).
  virtual std::uint32_t UserNameSize() = 0;
  // GetUserNameA(buffer of `bufferSize` bytes, &bufferSize): none on failure.
  virtual std::optional<std::string> UserName(std::uint32_t bufferSize) = 0;
  // WSAStartup(1.1), gethostname (256 bytes), gethostbyname, WSACleanup.
  virtual HostFacts LookUpHost() = 0;
  // time and localtime.
  virtual LocalTime LocalNow() = 0;
  // The executable's base name without folder and extension.
  virtual std::string ApplicationName() = 0;
};

}  // namespace pagewire::platform

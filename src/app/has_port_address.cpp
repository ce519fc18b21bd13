#include "app/has_port_address.h"

#include <array>

#include "app/printer_list.h"

namespace pagewire::app {
namespace {

using platform::kRegSuccess;

constexpr const char* kMonitorsKey = "System\\CurrentControlSet\\Control\\Print\\Monitors";
// Each value is read into this room; a larger value fails the query.
constexpr std::uint32_t kValueRoom = 128;

// Queries `name`; true when it succeeded with a non-empty first byte.
bool QueryNonEmpty(platform::Registry& registry, platform::RegKey key, const std::string& name,
                   std::array<std::uint8_t, kValueRoom>& buffer, platform::RegResult& result) {
  std::uint32_t size = kValueRoom;
  result = registry.QueryValue(key, name, nullptr, buffer.data(), size);
  return result == kRegSuccess && buffer[0] != 0;
}

bool PortHasAddress(platform::Platform& platform, const std::string& port) {
  const platform::OsVersion version = platform.systemFacts.VersionInfo();
  std::string keyPath = kMonitorsKey;
  if (version.platformId == platform::kPlatformWindows9x) {
    keyPath += "\\OV TCP/IP DPU Port\\Ports";
  } else if (version.majorVersion >= 5) {
    keyPath += "\\Standard TCP/IP Port\\Ports\\" + port;
  } else {
    keyPath += "\\LPR Port\\Ports\\" + port;
  }
  platform::ScopedRegKey key(platform.registry);
  if (platform.registry.OpenKey(keyPath, platform::RegAccess::Read, key.Out()) != kRegSuccess) {
    key.Out() = 0;
    return false;
  }
  std::array<std::uint8_t, kValueRoom> buffer{};
  platform::RegResult result = kRegSuccess;
  if (version.platformId == platform::kPlatformWindows9x) {
    return QueryNonEmpty(platform.registry, key.Get(), port, buffer, result);
  }
  if (version.majorVersion < 5) {
    return QueryNonEmpty(platform.registry, key.Get(), "Server Name", buffer, result);
  }
  if (QueryNonEmpty(platform.registry, key.Get(), "IPAddress", buffer, result)) return true;
  if (buffer[0] != 0) return false;  // the query failed but left data: that outcome decides
  return QueryNonEmpty(platform.registry, key.Get(), "HostName", buffer, result);
}

}  // namespace

bool HasPortAddress(platform::Platform& platform, const std::string& printerName) {
  const std::optional<std::string> port = PortOfPrinter(platform.printers, printerName);
  return port && PortHasAddress(platform, *port);
}

}  // namespace pagewire::app

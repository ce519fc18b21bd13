#include "platform/linux/linux_system_facts.h"

#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

namespace pagewire::platform {
namespace {

constexpr std::size_t kHostNameBufferSize = 256;

std::string LoginName() {
  // The login name the session gives; the effective user's account when the
  // environment names none.
  for (const char* variable : {"LOGNAME", "USER"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
      found != nullptr && found->pw_name != nullptr && found->pw_name[0] != '\0') {
    return found->pw_name;
  }
  return {};
}

}  // namespace

std::optional<std::string> LinuxSystemFacts::UserName() {
  std::string name = LoginName();
  if (name.empty()) return std::nullopt;
  return name;
}

HostFacts LinuxSystemFacts::Host() {
  HostFacts facts;
  char name[kHostNameBufferSize] = {};
  if (gethostname(name, sizeof name - 1) == 0) facts.hostName = name;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return facts;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    if (entry->ifa_addr == nullptr || entry->ifa_addr->sa_family != AF_INET ||
        (entry->ifa_flags & IFF_UP) == 0) {
      continue;
    }
    sockaddr_in address{};
    std::memcpy(&address, entry->ifa_addr, sizeof address);
    Ipv4Address bytes{};
    std::memcpy(bytes.data(), &address.sin_addr, bytes.size());  // network order
    if (bytes[0] == 127) continue;
    facts.address = bytes;
    break;
  }
  freeifaddrs(list);
  return facts;
}

DefaultPrinter LinuxSystemFacts::RecordedDefaultPrinter() { return DefaultPrinter{}; }

LocalTime LinuxSystemFacts::LocalNow() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (localtime_r(&now, &parts) == nullptr) return LocalTime{};
  return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                   parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

std::string LinuxSystemFacts::ApplicationName() { return "pagewire"; }

}  // namespace pagewire::platform

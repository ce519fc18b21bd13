#include "platform/win32/win32_system_facts.h"

// winsock.h (Windows Sockets 1.1) must come before windows.h pulls anything
// newer in.
#include <winsock.h>
#include <windows.h>

#include <ctime>
#include <vector>

namespace pagewire::platform::win32 {

namespace {

// The profile buffer the default-printer entry is read into.
constexpr DWORD kProfileBufferSize = 128;
// gethostname's buffer; host names are far shorter.
constexpr int kHostNameBufferSize = 256;

}  // namespace

OsVersion Win32SystemFacts::VersionInfo() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return OsVersion{};
#pragma GCC diagnostic pop
  return OsVersion{info.dwPlatformId, info.dwMajorVersion};
}

std::string Win32SystemFacts::ProfileString(const std::string& section, const std::string& key,
                                            const std::string& defaultValue) {
  char buffer[kProfileBufferSize] = {};
  const DWORD length = GetProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                         buffer, kProfileBufferSize);
  return std::string(buffer, length);
}

std::uint32_t Win32SystemFacts::UserNameSize() {
  DWORD size = 0;
  GetUserNameA(nullptr, &size);
  return size;
}

std::optional<std::string> Win32SystemFacts::UserName(std::uint32_t bufferSize) {
  if (bufferSize == 0) return std::nullopt;
  std::vector<char> buffer(bufferSize);
  DWORD size = bufferSize;
  if (!GetUserNameA(buffer.data(), &size)) return std::nullopt;
  return std::string(buffer.data());
}

HostFacts Win32SystemFacts::LookUpHost() {
  HostFacts facts;
  WSADATA data{};
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return facts;
  char name[kHostNameBufferSize] = {};
  if (gethostname(name, kHostNameBufferSize) == 0) {
    facts.hostName = name;
    const hostent* host = gethostbyname(name);
    if (host != nullptr && host->h_addrtype == AF_INET && host->h_length == 4 &&
        host->h_addr_list[0] != nullptr) {
      Ipv4Address address{};
      for (int i = 0; i < 4; ++i) address[i] = static_cast<std::uint8_t>(host->h_addr_list[0][i]);
      facts.address = address;
    }
  }
  WSACleanup();
  return facts;
}

LocalTime Win32SystemFacts::LocalNow() {
  const std::time_t now = std::time(nullptr);
  const std::tm* parts = std::localtime(&now);
  if (parts == nullptr) return LocalTime{};
  return LocalTime{parts->tm_year + 1900, parts->tm_mon + 1, parts->tm_mday,
                   parts->tm_hour,        parts->tm_min,     parts->tm_sec};
}

std::string Win32SystemFacts::ApplicationName() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string name(path, length);
  const auto slash = name.find_last_of("\\/");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

}  // namespace pagewire::platform::win32

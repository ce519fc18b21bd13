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
// The user name's room when GetUserNameA gives no size: the longest Windows
// user name fits.
constexpr DWORD kDefaultUserNameRoom = 256;

}  // namespace

std::optional<std::string> Win32SystemFacts::UserName() {
  // The first call asks for the size; a system that reports none gets the
  // room of the longest Windows user name.
  DWORD room = 0;
  GetUserNameA(nullptr, &room);
  if (room == 0) room = kDefaultUserNameRoom;
  std::vector<char> buffer(room);
  DWORD size = room;
  if (!GetUserNameA(buffer.data(), &size)) return std::nullopt;
  return std::string(buffer.data());
}

HostFacts Win32SystemFacts::Host() {
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

// win.ini's "device" entry of [windows]: "printer,driver,port".
DefaultPrinter Win32SystemFacts::RecordedDefaultPrinter() {
  char buffer[kProfileBufferSize] = {};
  const DWORD length =
      GetProfileStringA("windows", "device", "", buffer, kProfileBufferSize);
  const std::string entry(buffer, length);
  const std::size_t comma = entry.find(',');
  return DefaultPrinter{entry.substr(0, comma), comma != std::string::npos};
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

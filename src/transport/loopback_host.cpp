#include "transport/loopback_host.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstring>

namespace pagewire::transport {
namespace {

bool IsLoopback(const sockaddr* address) {
  if (address->sa_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(address);
    return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
  }
  if (address->sa_family == AF_INET6) {
    const in6_addr& v6 = reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr;
    return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
  }
  return false;
}

}  // namespace

bool IsLoopbackHost(const std::string& host) {
  if (host.starts_with('/')) return true;  // libcups' local socket
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0) return false;
  bool loopback = found != nullptr;
  for (const addrinfo* each = found; each != nullptr; each = each->ai_next) {
    loopback = loopback && IsLoopback(each->ai_addr);
  }
  freeaddrinfo(found);
  return loopback;
}

}  // namespace pagewire::transport

#include "server/job_comments.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstring>
#include <ctime>
#include <optional>
#include <string_view>

namespace pagewire::server {
namespace {

std::optional<platform::Ipv4Address> Ipv4Of(std::string_view host) {
  if (host.starts_with("::ffff:")) host.remove_prefix(7);
  const std::string text(host);
  in_addr address{};
  if (inet_pton(AF_INET, text.c_str(), &address) == 1) {
    platform::Ipv4Address parts{};
    std::memcpy(parts.data(), &address.s_addr, parts.size());
    return parts;
  }
  return std::nullopt;
}

platform::Ipv4Address AddressOf(const std::string& host) {
  if (host.empty()) return {};
  if (auto literal = Ipv4Of(host)) return *literal;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) return {};
  platform::Ipv4Address parts{};
  const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
  std::memcpy(parts.data(), &in->sin_addr.s_addr, parts.size());
  freeaddrinfo(found);
  return parts;
}

}  // namespace

transport::JobComments CommentsOf(const char* userName, const char* hostName) {
  transport::JobComments comments;
  const time_t now = time(nullptr);
  tm local{};
  localtime_r(&now, &local);
  comments.time = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
  comments.userName = userName != nullptr && *userName != '\0' ? userName : "unknown";
  comments.hostName = hostName != nullptr ? hostName : "";
  comments.address = AddressOf(comments.hostName);
  return comments;
}

std::string DocumentNameOf(const char* documentName, const char* jobName) {
  if (documentName != nullptr && *documentName != '\0') return documentName;
  if (jobName != nullptr && *jobName != '\0') return jobName;
  return "Untitled";
}

}  // namespace pagewire::server

// The accounts that sign in to the service's web pages: a file of
// "NAME:HASH:ROLE" lines in the state folder, the hashes made by crypt(3)
// (yescrypt), the role "admin" or "user". PAPPL 1.3.1's own web password
// takes any password, so the service checks these itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pagewire::server {

struct WebAccount {
  std::string name;
  bool admin = false;
};

inline constexpr const char* kWebAccountsFile = "web-accounts";

// The account `name` when `password` is its password; none for an unknown
// name, a wrong password or a file that cannot be read.
std::optional<WebAccount> CheckWebLogin(const std::string& path, std::string_view name,
                                        std::string_view password);

// Adds `name` or gives it a new password and role; the file is replaced
// whole, readable by its owner only. False with `error` set.
bool SetWebAccount(const std::string& path, std::string_view name, std::string_view password,
                   bool admin, std::string& error);
bool RemoveWebAccount(const std::string& path, std::string_view name, std::string& error);

// The name and password of an HTTP Authorization value of the Basic scheme.
std::optional<std::pair<std::string, std::string>> BasicCredentials(std::string_view authorization);

}  // namespace pagewire::server

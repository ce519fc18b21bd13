#include "server/web_login.h"

#include <utility>

#include "job/password_crypt.h"

namespace pagewire::server {
namespace {

std::string accountsPath;  // set before the system runs

}  // namespace

void UseWebAccounts(std::string path) { accountsPath = std::move(path); }

std::optional<WebAccount> SignedIn(pappl_client_t* client) {
  const char* authorization = httpGetField(papplClientGetHTTP(client), HTTP_FIELD_AUTHORIZATION);
  if (authorization == nullptr || *authorization == '\0') return std::nullopt;
  std::optional<std::pair<std::string, std::string>> credentials = BasicCredentials(authorization);
  if (!credentials) return std::nullopt;
  std::optional<WebAccount> account = CheckWebLogin(accountsPath, credentials->first, credentials->second);
  job::WipeSecret(credentials->second);
  if (!account) {
    papplLogClient(client, PAPPL_LOGLEVEL_WARN, "Sign-in refused for '%s'.", credentials->first.c_str());
  }
  return account;
}

http_status_t AuthorizeAdministrator(pappl_client_t* client) {
  const std::optional<WebAccount> account = SignedIn(client);
  if (!account) return HTTP_STATUS_UNAUTHORIZED;
  return account->admin ? HTTP_STATUS_CONTINUE : HTTP_STATUS_FORBIDDEN;
}

}  // namespace pagewire::server

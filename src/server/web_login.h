// Signing in to the web pages and to an administrator's requests from
// another machine: HTTP Basic, checked against the service's accounts.
#pragma once

#include <pappl/pappl.h>

#include <optional>
#include <string>

#include "server/web_accounts.h"

namespace pagewire::server {

// The accounts file the sign-in checks.
void UseWebAccounts(std::string path);

// The account whose name and password came with `client`'s request; none
// without them or with a wrong password, which is logged.
std::optional<WebAccount> SignedIn(pappl_client_t* client);

// PAPPL's question for its own settings pages and an administrator's
// request: continue for a signed-in administrator, else 401 or 403.
http_status_t AuthorizeAdministrator(pappl_client_t* client);

}  // namespace pagewire::server

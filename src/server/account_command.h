// The passwd sub-command, which keeps the web pages' accounts:
//   pagewire-server passwd [-o state-directory=DIR] [--admin] [--remove] NAME
// The password comes from the standard input: asked twice without echo on
// a terminal, else its first line.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace pagewire::server {

// The exit status. `stateFolder` gives the state folder for the
// state-directory option's value, or null when none is given.
int RunAccountCommand(const std::vector<std::string>& args,
                      const std::function<std::string(const char*)>& stateFolder);

}  // namespace pagewire::server

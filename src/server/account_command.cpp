#include "server/account_command.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>

#include "job/password_crypt.h"
#include "server/web_accounts.h"

namespace pagewire::server {
namespace {

int Fail(const std::string& message) {
  std::fprintf(stderr, "pagewire-server passwd: %s\n", message.c_str());
  return 1;
}

// One line of the standard input, without echo on a terminal.
std::optional<std::string> ReadSecretLine(const char* prompt) {
  const bool terminal = isatty(STDIN_FILENO) != 0;
  termios saved{};
  if (terminal) {
    std::fprintf(stderr, "%s", prompt);
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string line;
  const bool got = static_cast<bool>(std::getline(std::cin, line));
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fprintf(stderr, "\n");
  }
  if (!got) return std::nullopt;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

}  // namespace

int RunAccountCommand(const std::vector<std::string>& args,
                      const std::function<std::string(const char*)>& stateFolder) {
  std::optional<std::string> stateOption;
  std::string name;
  bool admin = false;
  bool remove = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--admin") {
      admin = true;
    } else if (arg == "--remove") {
      remove = true;
    } else if (arg == "-o" && i + 1 < args.size() && args[i + 1].rfind("state-directory=", 0) == 0) {
      stateOption = args[++i].substr(std::string("state-directory=").size());
    } else if (!arg.empty() && arg[0] != '-' && name.empty()) {
      name = arg;
    } else {
      return Fail("usage: pagewire-server passwd [-o state-directory=DIR] [--admin] [--remove] NAME");
    }
  }
  if (name.empty()) return Fail("name the account");
  const std::string path =
      stateFolder(stateOption ? stateOption->c_str() : nullptr) + "/" + kWebAccountsFile;
  std::string error;
  if (remove) return RemoveWebAccount(path, name, error) ? 0 : Fail(error);

  std::optional<std::string> password = ReadSecretLine("Password: ");
  if (!password) return Fail("no password given");
  if (isatty(STDIN_FILENO) != 0) {
    std::optional<std::string> again = ReadSecretLine("Password again: ");
    const bool same = again && *again == *password;
    if (again) job::WipeSecret(*again);
    if (!same) {
      job::WipeSecret(*password);
      return Fail("the passwords differ");
    }
  }
  const bool set = SetWebAccount(path, name, *password, admin, error);
  job::WipeSecret(*password);
  return set ? 0 : Fail(error);
}

}  // namespace pagewire::server

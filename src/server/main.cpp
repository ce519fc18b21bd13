// pagewire-server: every PJL printer at socket://HOST[:PORT] as an IPP
// Everywhere printer, through PAPPL's main loop and its sub-commands.
#include <dlfcn.h>
#include <pappl/pappl.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "server/account_command.h"
#include "server/held_jobs_page.h"
#include "server/folder_command.h"
#include "server/hotfolder_service.h"
#include "server/pagewire_printer.h"
#include "server/log_filter.h"
#include "server/printer_command.h"
#include "server/request_hook.h"
#include "server/web_login.h"

namespace {

constexpr const char* kName = "pagewire-server";
constexpr const char* kDefaultState = "/var/lib/pagewire-server";
constexpr int kDefaultPort = 8631;

std::string stateFile;  // lives as long as the system saves into it

const char* Option(const char* name, int count, cups_option_t* options) {
  return cupsGetOption(name, count, options);
}

// The state folder: -o state-directory, else PAGEWIRE_SERVER_STATE, else
// the system's.
std::string StateFolder(const char* given) {
  if (given != nullptr) return given;
  if (const char* env = std::getenv("PAGEWIRE_SERVER_STATE"); env != nullptr && *env != '\0') {
    return env;
  }
  return kDefaultState;
}

// The option `name` as a number from `lowest` to `highest`, else
// `fallback` when it is not given; none, told, for another value.
std::optional<long> NumberOption(const char* name, int count, cups_option_t* options, long fallback,
                                 long lowest, long highest) {
  const char* text = Option(name, count, options);
  if (text == nullptr) return fallback;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || value < lowest || value > highest) {
    std::fprintf(stderr, "%s: bad %s '%s': give %ld to %ld\n", kName, name, text, lowest, highest);
    return std::nullopt;
  }
  return value;
}

bool MakeFolder(const std::string& path, mode_t mode) {
  if (mkdir(path.c_str(), mode) == 0 || errno == EEXIST) return true;
  std::fprintf(stderr, "%s: cannot make the folder %s: %s\n", kName, path.c_str(),
               std::strerror(errno));
  return false;
}

pappl_loglevel_t LogLevelOf(const char* text) {
  struct Level {
    std::string_view name;
    pappl_loglevel_t level;
  };
  static constexpr Level kLevels[] = {{"fatal", PAPPL_LOGLEVEL_FATAL},
                                      {"error", PAPPL_LOGLEVEL_ERROR},
                                      {"warn", PAPPL_LOGLEVEL_WARN},
                                      {"info", PAPPL_LOGLEVEL_INFO},
                                      {"debug", PAPPL_LOGLEVEL_DEBUG}};
  for (const Level& level : kLevels) {
    if (text != nullptr && level.name == text) return level.level;
  }
  return PAPPL_LOGLEVEL_WARN;
}

// PAPPL's server options, from a comma-separated list.
pappl_soptions_t ServerOptionsOf(const char* text) {
  struct Flag {
    std::string_view name;
    pappl_soptions_t flag;
  };
  static constexpr Flag kFlags[] = {{"dnssd-host", PAPPL_SOPTIONS_DNSSD_HOST},
                                    {"web-log", PAPPL_SOPTIONS_WEB_LOG},
                                    {"web-network", PAPPL_SOPTIONS_WEB_NETWORK},
                                    {"web-remote", PAPPL_SOPTIONS_WEB_REMOTE},
                                    {"web-security", PAPPL_SOPTIONS_WEB_SECURITY},
                                    {"no-tls", PAPPL_SOPTIONS_NO_TLS}};
  auto options = static_cast<unsigned>(PAPPL_SOPTIONS_MULTI_QUEUE | PAPPL_SOPTIONS_WEB_INTERFACE);
  std::string_view rest = text != nullptr ? text : "";
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view word = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    if (word == "no-web-interface") options &= ~static_cast<unsigned>(PAPPL_SOPTIONS_WEB_INTERFACE);
    for (const Flag& flag : kFlags) {
      if (flag.name == word) options |= static_cast<unsigned>(flag.flag);
    }
  }
  return static_cast<pappl_soptions_t>(options);
}

// Each second, a wake-up of PAPPL 1.3's main loop, which otherwise waits up
// to 30 seconds for a connection before it sees a Shutdown-System.
bool WakeMainLoop(pappl_system_t*, void*) { return true; }

// The names PAPPL's printing defaults page shows for the driver's own
// settings.
constexpr const char* kStrings =
    "\"number-up\" = \"Pages per Sheet\";\n"
    "\"pagewire-key-mode\" = \"Password Key\";\n"
    "\"pagewire-key-mode.fixed-key\" = \"Fixed Key\";\n"
    "\"pagewire-key-mode.mac-address\" = \"Printer's MAC Address\";\n"
    "\"pagewire-mac-address\" = \"MAC Address\";\n";

// A new printer's pages; and its DNS-SD name set anew, since PAPPL 1.3.1
// announces a printer made while the service runs only from a restart on.
void PrinterMade(pappl_printer_t* printer, void*) {
  pagewire::server::AddHeldJobsPage(printer);
  pagewire::server::AddHotFolderPage(printer, nullptr);
  char name[256];
  if (papplSystemIsRunning(papplPrinterGetSystem(printer)) &&
      papplPrinterGetDNSSDName(printer, name, sizeof(name)) != nullptr) {
    papplPrinterSetDNSSDName(printer, name);
  }
}

pappl_system_t* MakeSystem(int count, cups_option_t* options, void*) {
  const std::string state = StateFolder(Option("state-directory", count, options));
  const std::string spool = state + "/spool";
  if (!MakeFolder(state, 0755) || !MakeFolder(spool, 0700)) return nullptr;

  const std::optional<long> port = NumberOption("server-port", count, options, kDefaultPort, 0, 65535);
  const std::optional<long> endWait =
      NumberOption("job-end-wait", count, options, pagewire::server::kDefaultEndWaitSeconds, 1, 86400);
  if (!port || !endWait) return nullptr;
  pagewire::server::SetEndWait(static_cast<int>(*endWait));

  // The log goes through the filter that keeps the password out, but to
  // syslog, where PAPPL writes itself: there it stops short of debug.
  const char* logOption = Option("log-file", count, options);
  const std::string logDestination = logOption != nullptr ? logOption : state + "/" + kName + ".log";
  pappl_loglevel_t level = LogLevelOf(Option("log-level", count, options));
  std::string logFile = logDestination;
  if (logDestination == "syslog") {
    if (level < PAPPL_LOGLEVEL_INFO) {
      std::fprintf(stderr, "%s: logging to syslog at info: debug would log document passwords\n",
                   kName);
      level = PAPPL_LOGLEVEL_INFO;
    }
  } else {
    logFile = state + "/log.fifo";
    std::string error;
    if (!pagewire::server::StartLogFilter(logFile, logDestination, error)) {
      std::fprintf(stderr, "%s: %s\n", kName, error.c_str());
      return nullptr;
    }
  }

  pappl_system_t* system = papplSystemCreate(
      ServerOptionsOf(Option("server-options", count, options)), kName, static_cast<int>(*port), "_print,_universal",
      spool.c_str(), logFile.c_str(), level, Option("auth-service", count, options), false);
  if (system == nullptr) return nullptr;
  if (const char* group = Option("admin-group", count, options)) {
    papplSystemSetAdminGroup(system, group);
  }
  if (const char* host = Option("server-hostname", count, options)) {
    papplSystemSetHostName(system, host);
  }
  if (!Option("private-server", count, options)) {
    papplSystemAddListeners(system, Option("listen-hostname", count, options));
  }

  // PAPPL 1.3.1 looks the footer up in the browser's language even when there
  // is none, and crashes on a page asked for with an Accept-Language.
  papplSystemSetFooterHTML(system, "Pagewire print service " PAGEWIRE_VERSION);
  papplSystemAddTimerCallback(system, 0, 1, WakeMainLoop, nullptr);
  pagewire::server::WatchJobRequests(system);
  papplSystemSetMIMECallback(system, pagewire::server::TypeOfContent, nullptr);
  papplSystemAddMIMEFilter(system, "application/pdf", "application/octet-stream", pagewire::server::SendPdf,
                           nullptr);
  papplSystemAddMIMEFilter(system, "image/tiff", "application/octet-stream", pagewire::server::SendTiff,
                           nullptr);
  papplSystemAddStringsData(system, "/en.strings", "en", kStrings);
  papplSystemSetPrinterDrivers(system, 1, pagewire::server::kDrivers, nullptr, PrinterMade,
                               pagewire::server::DriverCallback, nullptr);
  pagewire::server::UseWebAccounts(state + "/" + pagewire::server::kWebAccountsFile);
  stateFile = state + "/" + kName + ".state";
  papplSystemLoadState(system, stateFile.c_str());
  papplSystemSetSaveCallback(system, reinterpret_cast<pappl_save_cb_t>(papplSystemSaveState),
                             stateFile.data());
  pagewire::server::StartHotFolders(system, state,
                                    [system] { pagewire::server::ReleaseCheckedJobs(system); });
  return system;
}

int RunMainloop(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  return papplMainloop(static_cast<int>(args.size()), argv.data(), PAGEWIRE_VERSION, nullptr, 1,
                       pagewire::server::kDrivers, nullptr, pagewire::server::DriverCallback,
                       nullptr, nullptr, MakeSystem, nullptr, nullptr);
}

}  // namespace

// PAPPL's main loop frees the system as soon as it stops running, with no
// callback between, and without waiting for its client threads, which log
// and lock the system as they close (the shutdown request's own among
// them). Defined here, this comes before the library's own: the hot
// folders' watcher stops and the closing clients get a moment first.
extern "C" void papplSystemDelete(pappl_system_t* system) {
  pagewire::server::StopHotFolders();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  using Delete = void (*)(pappl_system_t*);
  static const auto library = reinterpret_cast<Delete>(dlsym(RTLD_NEXT, "papplSystemDelete"));
  if (library != nullptr) library(system);
}

int main(int argc, char** argv) {
  std::vector<std::string> args(argv, argv + argc);
  if (pagewire::server::IsFolderCommand(args)) return pagewire::server::RunFolderCommand(args);
  if (args.size() > 1 && args[1] == "status") {
    const int status = RunMainloop(args);
    const int folders = pagewire::server::PrintFolderStatus(pagewire::server::StateFolderOf(args, kDefaultState));
    return status != 0 ? status : folders;
  }
  std::string error;
  const std::optional<pagewire::server::PrinterCommand> command =
      pagewire::server::SplitPrinterCommand(args, error);
  if (!error.empty()) {
    std::fprintf(stderr, "%s: %s\n", kName, error.c_str());
    return 1;
  }
  if (args.size() > 1 && args[1] == "passwd") {
    return pagewire::server::RunAccountCommand(args, StateFolder);
  }
  if (!command) return RunMainloop(args);
  // PAPPL's add leaves the driver's own defaults out: they follow by modify.
  const int status = RunMainloop(command->first);
  if (status != 0 || command->then.empty()) return status;
  return RunMainloop(command->then);
}

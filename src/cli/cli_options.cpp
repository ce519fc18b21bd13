#include "cli/cli_options.h"

#include <strings.h>

#include <cctype>

#include <algorithm>
#include <functional>
#include <string_view>

#include "platform/field_validation.h"
#include "settings/setting_tables.h"

namespace pagewire::cli {
namespace {

constexpr std::int32_t kDefaultWaitSeconds = 300;

// -o KEY=WORD with a word of the setting's table. The words of "number-up"
// are the layouts' words without the suffix "up" (number-up=2 is 2up).
template <typename Value>
std::optional<bool> ParseChoice(const std::string& key, const std::string& word,
                                const settings::Setting<Value>& setting,
                                std::optional<Value>& given, std::string& error,
                                const char* optionKey = nullptr, std::string_view suffix = "") {
  if (key != (optionKey != nullptr ? optionKey : setting.optionKey)) return std::nullopt;
  std::string allowed;
  for (const settings::SettingRow<Value>& row : setting.rows) {
    const std::string_view rowWord = row.optionWord;
    if (!rowWord.ends_with(suffix)) continue;
    const std::string shown(rowWord.substr(0, rowWord.size() - suffix.size()));
    if (strcasecmp(word.c_str(), shown.c_str()) == 0) {
      given = row.value;
      return true;
    }
    allowed += (allowed.empty() ? "" : ", ") + shown;
  }
  error = "-o " + key + ": '" + word + "' is not one of " + allowed;
  return false;
}

// A number in the dialog's range; `what` names it when it is not one.
bool ParseNumber(const std::string& option, const char* what, const std::string& text,
                 std::int32_t& value, std::string& error) {
  const platform::FieldVerdict verdict =
      platform::ValidateNumberField(text, settings::kMinNumber, settings::kMaxNumber);
  if (!verdict.ok()) {
    error = option + ": '" + text + "' is not " + what + " from " +
            std::to_string(settings::kMinNumber) + " to " +
            std::to_string(settings::kMaxNumber);
    return false;
  }
  value = *verdict.stored;
  return true;
}

bool ParseSetting(const std::string& assignment, SettingOverrides& overrides,
                  std::string& error) {
  const std::size_t equals = assignment.find('=');
  const std::string key = assignment.substr(0, equals);
  const std::string word = equals == std::string::npos ? "" : assignment.substr(equals + 1);
  std::optional<bool> parsed;
  auto choice = [&](const auto& setting, auto& given, const char* optionKey = nullptr,
                    std::string_view suffix = "") {
    if (!parsed) parsed = ParseChoice(key, word, setting, given, error, optionKey, suffix);
  };
  choice(settings::kCollations, overrides.collate);
  choice(settings::kDuplexModes, overrides.duplexMode);
  choice(settings::kPaperSizes, overrides.paperSize);
  choice(settings::kPaperTypes, overrides.paperType);
  choice(settings::kOutputColors, overrides.outputColor);
  choice(settings::kPrintModes, overrides.printMode);
  choice(settings::kLayouts, overrides.layout);
  choice(settings::kLayouts, overrides.layout, "number-up", "up");
  if (parsed) return *parsed;
  error = "-o: unknown setting '" + key + "'";
  return false;
}

bool ParsePageRange(const std::string& text, SettingOverrides& overrides, std::string& error) {
  if (text.find(',') != std::string::npos) {
    error = "-P: a list of ranges cannot be printed; give one range, FROM-TO or FROM-";
    return false;
  }
  const std::size_t dash = text.find('-');
  SettingOverrides::PageRange range;
  if (!ParseNumber("-P", "a page number", text.substr(0, dash), range.from, error)) return false;
  if (dash == std::string::npos) {
    range.to = range.from;
  } else if (dash + 1 < text.size()) {
    std::int32_t to = 0;
    if (!ParseNumber("-P", "a page number", text.substr(dash + 1), to, error)) return false;
    if (to < range.from) {
      error = "-P: the range " + text + " ends before it starts";
      return false;
    }
    range.to = to;
  }
  overrides.pages = range;
  return true;
}

bool ParseMac(const std::string& text, settings::MacAddress& mac, std::string& error) {
  // Six pairs of hex digits separated by ':' or '-'.
  bool ok = text.size() == 17;
  for (std::size_t i = 0; ok && i < mac.size(); ++i) {
    const std::string pair = text.substr(i * 3, 2);
    ok = std::isxdigit(static_cast<unsigned char>(pair[0])) &&
         std::isxdigit(static_cast<unsigned char>(pair[1])) &&
         (i == 5 || text[i * 3 + 2] == ':' || text[i * 3 + 2] == '-');
    if (ok) mac[i] = static_cast<std::uint8_t>(std::stoul(pair, nullptr, 16));
  }
  if (!ok) error = "--mac: '" + text + "' is not an address like AA:BB:CC:DD:EE:FF";
  return ok;
}

bool ParseSeconds(const std::string& option, const std::string& text,
                  std::optional<std::int32_t>& seconds, std::string& error) {
  constexpr std::size_t kMaxDigits = 6;
  const bool digits = !text.empty() && text.size() <= kMaxDigits &&
                      std::all_of(text.begin(), text.end(), [](char c) {
                        return c >= '0' && c <= '9';
                      });
  if (!digits || std::stoi(text) == 0) {
    error = option + ": '" + text + "' is not a number of seconds from 1 to 999999";
    return false;
  }
  seconds = std::stoi(text);
  return true;
}

}  // namespace

const char* const kUsage =
    "Usage: pagewire [OPTIONS] PATH...\n"
    "Prints PDF and TIFF files, or every such file of a folder, on a printer that\n"
    "renders them itself, with the job settings in a PJL header. The PATH - is\n"
    "standard input.\n"
    "\n"
    "  -d DEST                 CUPS destination, socket://HOST[:PORT] (port 9100),\n"
    "                          or IPP printer ipp://HOST[:PORT]/PATH, ipps://...\n"
    "  -h HOST[:PORT]          the CUPS server to use\n"
    "      --output FILE       write the job into FILE ('-': standard output)\n"
    "  -t TITLE                name the jobs TITLE instead of [Pagewire]FILE (IPP: FILE)\n"
    "  -n N                    copies, 1 to 999\n"
    "  -P FROM-TO | FROM-      page range (FROM-: to the last page)\n"
    "  -o collate=true|false\n"
    "  -o sides=one-sided|two-sided-long-edge|two-sided-short-edge\n"
    "  -o media=A4|auto        -o media-type=plain|printer\n"
    "  -o print-color-mode=auto|monochrome\n"
    "  -o print-quality=normal|draft|high\n"
    "  -o layout=auto|100|booklet|2up|4up   (or -o number-up=2|4)\n"
    "      --password-stdin    read the password of protected PDFs from standard input\n"
    "      --password-file FILE  read it from the first line of FILE\n"
    "      --mac AA:BB:CC:DD:EE:FF  encrypt it for the printer with this address\n"
    "      --confirm           ask before each file of a folder\n"
    "      --yes               answer OK to the questions when there is no terminal\n"
    "      --timeout SECONDS   end a job when the printer takes no data for SECONDS\n"
    "      --wait[=SECONDS]    wait up to SECONDS (300) until each job has printed\n"
    "      --save              keep these settings for later commands\n"
    "      --show-header       print the header that would be sent, send nothing\n"
    "  -l, --list              list CUPS destinations with their device URIs, and\n"
    "                          the IPP printers found on the network\n"
    "      --help              this text;  --version  the version\n"
    "\n"
    "Exit status: 0 every file sent (with --wait: printed), 1 some file not sent\n"
    "(or not printed), 2 usage error or a setting the IPP printer does not offer,\n"
    "3 the destination failed or does not take the file, 130 (143, 129) a send\n"
    "that SIGINT (SIGTERM, SIGHUP) ended.\n";

bool CliOptions::ReadsStandardInput() const {
  return std::find(paths.begin(), paths.end(), kStandardInputPath) != paths.end();
}

void SettingOverrides::ApplyTo(settings::PrintJobSettings& settings) const {
  auto apply = [](const auto& given, auto& field) {
    if (given) field = *given;
  };
  apply(copies, settings.copies);
  apply(collate, settings.collate);
  apply(duplexMode, settings.duplexMode);
  apply(paperSize, settings.paperSize);
  apply(paperType, settings.paperType);
  apply(outputColor, settings.outputColor);
  apply(printMode, settings.printMode);
  apply(layout, settings.layout);
  if (pages) {
    settings.selectPages = true;
    settings.fromPage = pages->from;
    settings.toLastPage = !pages->to;
    if (pages->to) settings.toPage = *pages->to;
  }
}

std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args,
                                           std::string& error) {
  CliOptions options;
  bool passwordGiven = false;
  auto setPassword = [&](PasswordSource source) {
    if (passwordGiven) {
      error = "--password-stdin and --password-file: give one of them";
      return false;
    }
    passwordGiven = true;
    options.passwordSource = source;
    return true;
  };
  // Short options take their value attached (-n2) or as the next word;
  // long ones as --name=VALUE or the next word.
  using Handler = std::function<bool(const std::string& value)>;
  const std::vector<std::pair<std::string, Handler>> valued = {
      {"-d", [&](const std::string& v) { options.destination = v; return !v.empty(); }},
      {"-h", [&](const std::string& v) { options.server = v; return !v.empty(); }},
      {"--output", [&](const std::string& v) { options.outputPath = v; return !v.empty(); }},
      {"-t", [&](const std::string& v) { options.title = v; return !v.empty(); }},
      {"-n", [&](const std::string& v) {
         std::int32_t copies = 1;
         if (!ParseNumber("-n", "a number of copies", v, copies, error)) return false;
         options.overrides.copies = copies;
         return true;
       }},
      {"-P", [&](const std::string& v) { return ParsePageRange(v, options.overrides, error); }},
      {"-o", [&](const std::string& v) { return ParseSetting(v, options.overrides, error); }},
      {"--password-file", [&](const std::string& v) {
         options.passwordFile = v;
         return setPassword(PasswordSource::File) && !v.empty();
       }},
      {"--timeout", [&](const std::string& v) {
         return ParseSeconds("--timeout", v, options.timeoutSeconds, error);
       }},
      {"--mac", [&](const std::string& v) {
         settings::MacAddress mac{};
         if (!ParseMac(v, mac, error)) return false;
         options.mac = mac;
         return true;
       }},
  };
  const std::vector<std::pair<std::string, bool*>> flags = {
      {"--confirm", &options.confirm}, {"--yes", &options.yes}, {"--save", &options.save},
      {"--show-header", &options.showHeader}, {"-l", &options.list},
      {"--list", &options.list}, {"--help", &options.help}, {"--version", &options.version},
  };

  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      options.paths.push_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    if (arg == "--password-stdin") {
      if (!setPassword(PasswordSource::StandardInput)) return std::nullopt;
      continue;
    }
    // Its value only attached: a PATH may follow it.
    if (arg == "--wait") {
      options.waitSeconds = kDefaultWaitSeconds;
      continue;
    }
    if (arg.starts_with("--wait=")) {
      if (!ParseSeconds("--wait", arg.substr(7), options.waitSeconds, error)) return std::nullopt;
      continue;
    }
    bool known = false;
    for (const auto& [name, flag] : flags) {
      if (arg == name) {
        *flag = known = true;
      }
    }
    for (const auto& [name, handle] : valued) {
      if (known) break;
      const bool isLong = name.size() > 2;
      std::optional<std::string> value;
      if (arg == name) {
        if (i + 1 >= args.size()) {
          error = name + ": a value is needed";
          return std::nullopt;
        }
        value = args[++i];
      } else if (!isLong && arg.compare(0, 2, name) == 0) {
        value = arg.substr(2);
      } else if (isLong && arg.compare(0, name.size() + 1, name + "=") == 0) {
        value = arg.substr(name.size() + 1);
      }
      if (!value) continue;
      known = true;
      if (!handle(*value)) {
        if (error.empty()) error = name + ": a value is needed";
        return std::nullopt;
      }
    }
    if (!known) {
      error = "unknown option '" + arg + "'";
      return std::nullopt;
    }
  }
  if (options.help || options.version || options.list) return options;
  const auto standardInputs =
      std::count(options.paths.begin(), options.paths.end(), kStandardInputPath);
  if (standardInputs > 1) {
    error = "-: standard input is given more than once; it can be read once";
  } else if (standardInputs == 1 && options.passwordSource == PasswordSource::StandardInput) {
    error = "--password-stdin and -: both would read standard input";
  } else if (options.showHeader && options.outputPath) {
    error = "--show-header and --output: give one of them";
  } else if (!options.destination.empty() && (options.outputPath || options.showHeader)) {
    error = "-d and " + std::string(options.showHeader ? "--show-header" : "--output") +
            ": give one of them";
  } else if (options.waitSeconds && (options.outputPath || options.showHeader)) {
    error = "--wait: only a printer's jobs can be waited for";
  } else if (options.paths.empty()) {
    error = "no file or folder to print";
  }
  if (!error.empty()) return std::nullopt;
  return options;
}

}  // namespace pagewire::cli

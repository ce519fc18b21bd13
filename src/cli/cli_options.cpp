#include "cli/cli_options.h"

#include <strings.h>

#include <cctype>

#include <algorithm>
#include <functional>
#include <string_view>

#include "platform/field_validation.h"
#include "settings/setting_tables.h"
#include "settings/setting_text.h"

namespace pagewire::cli {
namespace {

constexpr std::int32_t kDefaultWaitSeconds = 300;

// -o KEY=WORD with a word of the setting's table. The words of "number-up"
// are the layouts' words without the suffix "up" (number-up=2 is 2up).
template <typename Value>
std::optional<bool> ParseChoice(const std::string& key, const std::string& word,
                                const settings::Setting<Value>& setting,
                                std::optional<Value>& given, std::string& error,
                                const std::string& prefix, const char* optionKey = nullptr,
                                std::string_view suffix = "") {
  if (key != (optionKey != nullptr ? optionKey : setting.optionKey)) return std::nullopt;
  if (const settings::SettingRow<Value>* row = settings::RowOfOptionWord(setting, word, suffix)) {
    given = row->value;
    return true;
  }
  std::string allowed;
  for (const settings::SettingRow<Value>& row : setting.rows) {
    const std::string_view rowWord = row.optionWord;
    if (!rowWord.ends_with(suffix)) continue;
    allowed += (allowed.empty() ? "" : ", ") +
               std::string(rowWord.substr(0, rowWord.size() - suffix.size()));
  }
  error = prefix + key + ": '" + word + "' is not one of " + allowed;
  return false;
}

// A PWG or legacy media name: letters, digits and "_.-".
bool IsMediaName(const std::string& word) {
  constexpr std::size_t kMaxMediaName = 64;
  return !word.empty() && word.size() <= kMaxMediaName &&
         std::all_of(word.begin(), word.end(), [](char c) {
           return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' || c == '-';
         });
}

// media=WORD: a paper size by its word or its IPP name, else any media name.
std::optional<bool> ParseMedia(const std::string& key, const std::string& word,
                               SettingOverrides& overrides, std::string& error,
                               const std::string& prefix) {
  if (key != settings::kPaperSizes.optionKey) return std::nullopt;
  for (const settings::SettingRow<settings::PaperSize>& row : settings::kPaperSizes.rows) {
    const std::string ipp = row.ipp;
    if (strcasecmp(word.c_str(), row.optionWord) == 0 ||
        (!ipp.empty() && strcasecmp(word.c_str(), ipp.substr(ipp.find('=') + 1).c_str()) == 0)) {
      overrides.paperSize = row.value;
      overrides.mediaName.reset();
      return true;
    }
  }
  if (!IsMediaName(word)) {
    error = prefix + key + ": '" + word +
            "' is not a media name: A4, auto, or one the IPP printer lists (na_letter_8.5x11in)";
    return false;
  }
  overrides.mediaName = word;
  overrides.paperSize.reset();
  return true;
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
                  std::string& error, const std::string& prefix) {
  const std::size_t equals = assignment.find('=');
  const std::string key = assignment.substr(0, equals);
  const std::string word = equals == std::string::npos ? "" : assignment.substr(equals + 1);
  std::optional<bool> parsed = ParseMedia(key, word, overrides, error, prefix);
  auto choice = [&](const auto& setting, auto& given, const char* optionKey = nullptr,
                    std::string_view suffix = "") {
    if (!parsed) parsed = ParseChoice(key, word, setting, given, error, prefix, optionKey, suffix);
  };
  choice(settings::kCollations, overrides.collate);
  choice(settings::kDuplexModes, overrides.duplexMode);
  choice(settings::kPaperTypes, overrides.paperType);
  choice(settings::kOutputColors, overrides.outputColor);
  choice(settings::kPrintModes, overrides.printMode);
  choice(settings::kLayouts, overrides.layout);
  choice(settings::kLayouts, overrides.layout, "number-up", "up");
  if (parsed) return *parsed;
  error = (prefix.empty() ? "" : "-o: ") + std::string("unknown setting '") + key + "'";
  return false;
}

}  // namespace

bool ParseCopies(const std::string& text, SettingOverrides& overrides, std::string& error,
                 const std::string& label) {
  std::int32_t copies = 1;
  if (!ParseNumber(label, "a number of copies", text, copies, error)) return false;
  overrides.copies = copies;
  return true;
}

bool ParseSettings(const std::string& text, SettingOverrides& overrides, std::string& error,
                   const std::string& prefix) {
  bool any = false;
  for (std::size_t at = text.find_first_not_of(" \t"); at != std::string::npos;
       at = text.find_first_not_of(" \t", at)) {
    const std::size_t end = std::min(text.find_first_of(" \t", at), text.size());
    if (!ParseSetting(text.substr(at, end - at), overrides, error, prefix)) return false;
    any = true;
    at = end;
  }
  return any;
}

bool ParsePageRange(const std::string& text, SettingOverrides& overrides, std::string& error,
                    const std::string& label) {
  using Fault = settings::PageRangeText::Fault;
  const auto pageNumber = [](std::string_view part) -> std::optional<std::int32_t> {
    const platform::FieldVerdict verdict = platform::ValidateNumberField(
        std::string(part), settings::kMinNumber, settings::kMaxNumber);
    return verdict.ok() ? verdict.stored : std::nullopt;
  };
  const settings::PageRangeText parsed = settings::ParsePageRange(text, pageNumber);
  std::int32_t unused = 0;
  switch (parsed.fault) {
    case Fault::None: break;
    case Fault::List:
      error = label + ": a list of ranges cannot be printed; give one range, FROM-TO or FROM-";
      return false;
    case Fault::NoFirstPage:
      error = label + ": '" + text + "' has no first page; give FROM-TO, FROM- or all";
      return false;
    case Fault::BadFrom:
    case Fault::BadTo:
      // Worded as for any number of the dialog's range.
      return ParseNumber(label, "a page number", std::string(parsed.part), unused, error);
    case Fault::EndsBeforeStart:
      error = label + ": the range " + text + " ends before it starts";
      return false;
  }
  overrides.pages = SettingOverrides::PageRange{
      .all = parsed.range.all, .from = parsed.range.from, .to = parsed.range.to};
  return true;
}

bool ParseMac(const std::string& text, settings::MacAddress& mac, std::string& error,
              const std::string& label) {
  const auto parsed = settings::ParseMacAddress(text);
  if (!parsed) {
    error = label + ": '" + text + "' is not an address like AA:BB:CC:DD:EE:FF";
    return false;
  }
  mac = *parsed;
  return true;
}

namespace {

bool ParseSeconds(const std::string& option, const std::string& text,
                  std::optional<std::int32_t>& seconds, std::string& error) {
  constexpr std::size_t kMaxDigits = 6;
  constexpr std::int64_t kMaxSeconds = 999999;
  const auto value = settings::ParseDecimal(text, kMaxSeconds, kMaxDigits);
  if (!value || *value == 0) {
    error = option + ": '" + text + "' is not a number of seconds from 1 to 999999";
    return false;
  }
  seconds = static_cast<std::int32_t>(*value);
  return true;
}

}  // namespace

const char* const kUsage =
    "Usage: pagewire [OPTIONS] [PATH...]\n"
    "Prints PDF and TIFF files, or every such file of a folder, on a printer that\n"
    "renders them itself, with the job settings in a PJL header. The PATH - is\n"
    "standard input, and so is no PATH at all.\n"
    "\n"
    "  -d DEST                 CUPS destination, socket://HOST[:PORT] (port 9100),\n"
    "                          or IPP printer ipp://HOST[:PORT]/PATH, ipps://...\n"
    "  -h HOST[:PORT]          the CUPS server to use\n"
    "      --output FILE       write the job into FILE ('-': standard output)\n"
    "  -t TITLE                name the jobs TITLE instead of [Pagewire]FILE (IPP: FILE)\n"
    "  -n N                    copies, 1 to 999\n"
    "  -P FROM-TO|FROM-|all    page range (FROM-: to the last page)\n"
    "  -o collate=true|false\n"
    "  -o sides=one-sided|two-sided-long-edge|two-sided-short-edge\n"
    "  -o media=A4|auto|NAME   (NAME: a media name the IPP printer lists)\n"
    "  -o media-type=plain|printer\n"
    "  -o print-color-mode=auto|monochrome\n"
    "  -o print-quality=normal|draft|high\n"
    "  -o layout=auto|100|booklet|2up|4up   (or -o number-up=2|4)\n"
    "                          one -o may give several: -o \"sides=one-sided layout=2up\"\n"
    "      --password-stdin    read the password of protected PDFs from standard input\n"
    "      --password-file FILE  read it from the first line of FILE\n"
    "      --mac AA:BB:CC:DD:EE:FF  encrypt it for the printer with this address\n"
    "      --allow-plain-password  send it over plain ipp:// to another host\n"
    "      --confirm           ask before each file of a folder\n"
    "      --yes               answer OK to the questions when there is no terminal\n"
    "      --timeout SECONDS   end a job when the printer takes no data for SECONDS\n"
    "      --wait[=SECONDS]    wait up to SECONDS (300) until each job has printed\n"
    "      --save              keep these settings for later commands; with no\n"
    "                          PATH, keep them and print nothing\n"
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

SettingOverrides SettingOverrides::AllOf(const settings::PrintJobSettings& s) {
  SettingOverrides all;
  all.copies = s.copies;
  all.collate = s.collate;
  all.duplexMode = s.duplexMode;
  all.paperSize = s.paperSize;
  all.paperType = s.paperType;
  all.outputColor = s.outputColor;
  all.printMode = s.printMode;
  all.layout = s.layout;
  all.pages = PageRange{!s.selectPages, s.fromPage,
                        s.toLastPage ? std::nullopt : std::optional(s.toPage)};
  return all;
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
    settings.selectPages = !pages->all;
    if (pages->all) return;
    settings.fromPage = pages->from;
    settings.toLastPage = !pages->to;
    if (pages->to) settings.toPage = *pages->to;
  }
}

void SettingOverrides::MergeFrom(const SettingOverrides& later) {
  auto merge = [](const auto& given, auto& field) {
    if (given) field = given;
  };
  merge(later.copies, copies);
  merge(later.collate, collate);
  merge(later.duplexMode, duplexMode);
  merge(later.paperType, paperType);
  merge(later.outputColor, outputColor);
  merge(later.printMode, printMode);
  merge(later.layout, layout);
  merge(later.pages, pages);
  if (later.paperSize || later.mediaName) {
    paperSize = later.paperSize;
    mediaName = later.mediaName;
  }
}

std::vector<std::string> SettingOverrides::Lines() const {
  std::vector<std::string> lines;
  auto line = [&lines](const auto& setting, const auto& given) {
    if (!given) return;
    if (const auto* row = settings::RowOf(setting, *given)) {
      lines.push_back(std::string(setting.optionKey) + "=" + row->optionWord);
    }
  };
  if (copies) lines.push_back("copies=" + std::to_string(*copies));
  line(settings::kCollations, collate);
  line(settings::kDuplexModes, duplexMode);
  line(settings::kPaperSizes, paperSize);
  if (mediaName) lines.push_back(std::string(settings::kPaperSizes.optionKey) + "=" + *mediaName);
  line(settings::kPaperTypes, paperType);
  line(settings::kOutputColors, outputColor);
  line(settings::kPrintModes, printMode);
  line(settings::kLayouts, layout);
  if (pages) {
    const std::string from = std::to_string(pages->from) + "-";
    lines.push_back("pages=" + (pages->all  ? std::string("all")
                                : pages->to ? from + std::to_string(*pages->to)
                                            : from));
  }
  return lines;
}

std::vector<std::string> SettingOverrides::Keys() const {
  std::vector<std::string> keys;
  for (const std::string& line : Lines()) keys.push_back(line.substr(0, line.find('=')));
  return keys;
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
      {"-n", [&](const std::string& v) { return ParseCopies(v, options.overrides, error, "-n"); }},
      {"-P", [&](const std::string& v) {
         return ParsePageRange(v, options.overrides, error, "-P");
       }},
      {"-o", [&](const std::string& v) {
         return ParseSettings(v, options.overrides, error, "-o ");
       }},
      {"--password-file", [&](const std::string& v) {
         options.passwordFile = v;
         return setPassword(PasswordSource::File) && !v.empty();
       }},
      {"--timeout", [&](const std::string& v) {
         return ParseSeconds("--timeout", v, options.timeoutSeconds, error);
       }},
      {"--mac", [&](const std::string& v) {
         settings::MacAddress mac{};
         if (!ParseMac(v, mac, error, "--mac")) return false;
         options.mac = mac;
         return true;
       }},
  };
  const std::vector<std::pair<std::string, bool*>> flags = {
      {"--confirm", &options.confirm}, {"--yes", &options.yes}, {"--save", &options.save},
      {"--show-header", &options.showHeader}, {"-l", &options.list},
      {"--allow-plain-password", &options.allowPlainPassword},
      {"--list", &options.list}, {"--help", &options.help}, {"--version", &options.version},
  };

  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.empty()) {
      error = "'': an empty PATH names no file";
      return std::nullopt;
    }
    if (optionsEnded || arg == "-" || arg[0] != '-') {
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
  const bool noPath = options.paths.empty();
  if (noPath && !options.save) options.paths.push_back(kStandardInputPath);
  const auto standardInputs =
      std::count(options.paths.begin(), options.paths.end(), kStandardInputPath);
  if (standardInputs > 1) {
    error = "-: standard input is given more than once; it can be read once";
  } else if (standardInputs == 1 && options.passwordSource == PasswordSource::StandardInput) {
    error = noPath ? "--password-stdin: with no PATH given, standard input is the file to print; "
                     "give --password-file"
                   : "--password-stdin and -: both would read standard input";
  } else if (options.showHeader && options.outputPath) {
    error = "--show-header and --output: give one of them";
  } else if (!options.destination.empty() && (options.outputPath || options.showHeader)) {
    error = "-d and " + std::string(options.showHeader ? "--show-header" : "--output") +
            ": give one of them";
  } else if (options.waitSeconds && (options.outputPath || options.showHeader)) {
    error = "--wait: only a printer's jobs can be waited for";
  }
  if (!error.empty()) return std::nullopt;
  return options;
}

}  // namespace pagewire::cli

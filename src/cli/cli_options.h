// The pagewire command's options: parsed and checked before anything is
// sent, so that a bad value never leaves half a command done.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/password_entry.h"
#include "settings/print_job_settings.h"

namespace pagewire::cli {

// The settings given on the command line; the others keep their saved value.
struct SettingOverrides {
  std::optional<std::int32_t> copies;
  std::optional<settings::Collation> collate;
  std::optional<settings::Duplex> duplexMode;
  std::optional<settings::PaperSize> paperSize;
  std::optional<settings::PaperType> paperType;
  std::optional<settings::OutputColor> outputColor;
  std::optional<settings::PrintMode> printMode;
  std::optional<settings::Layout> layout;
  struct PageRange {
    bool all = false;  // every page; the numbers are not used
    std::int32_t from = 1;
    std::optional<std::int32_t> to;  // none: to the last page
  };
  std::optional<PageRange> pages;
  // A media name the paper sizes have no row for (na_letter_8.5x11in,
  // letter): an IPP printer is sent it, the header keeps its paper. Given
  // with a paper size, the one given last stands.
  std::optional<std::string> mediaName;

  // Every setting of `settings`, as if each were given.
  static SettingOverrides AllOf(const settings::PrintJobSettings& settings);
  void ApplyTo(settings::PrintJobSettings& settings) const;
  // `later`'s settings over these.
  void MergeFrom(const SettingOverrides& later);
  // Each setting given, as the settings file holds it: "copies=2",
  // "media=letter", "pages=3-", ...
  std::vector<std::string> Lines() const;
  // The keys of Lines(): "copies", "media", "pages", ...
  std::vector<std::string> Keys() const;
};

// The parsers of -n, -P and -o, which the settings file's values go through
// as well. A message starts with `label` ("-P", "pages"); for -o, with
// `prefix` and the key ("-o sides", "sides"). `text` may hold several
// KEY=WORD separated by blanks, as lp takes them.
bool ParseCopies(const std::string& text, SettingOverrides& overrides, std::string& error,
                 const std::string& label);
bool ParsePageRange(const std::string& text, SettingOverrides& overrides, std::string& error,
                    const std::string& label);
bool ParseSettings(const std::string& text, SettingOverrides& overrides, std::string& error,
                   const std::string& prefix);
bool ParseMac(const std::string& text, settings::MacAddress& mac, std::string& error,
              const std::string& label);

enum class PasswordSource { Terminal, StandardInput, File };

// The PATH that reads the file from standard input, as lp takes it.
inline constexpr const char* kStandardInputPath = "-";

struct CliOptions {
  std::string destination;                 // -d: CUPS name, socket:// or ipp(s):// URI
  std::optional<std::string> server;       // -h: the CUPS server, HOST[:PORT]
  std::optional<std::string> outputPath;   // --output, "-" for standard output
  std::string title;                       // -t: every job's name; empty: the file's
  SettingOverrides overrides;
  PasswordSource passwordSource = PasswordSource::Terminal;
  std::string passwordFile;
  std::optional<settings::MacAddress> mac;
  bool allowPlainPassword = false;  // a password may cross plain ipp:// to another host
  bool confirm = false;
  bool yes = false;  // answer OK to the questions when there is no terminal
  std::optional<std::int32_t> timeoutSeconds;  // a printer that takes no data this long fails
  std::optional<std::int32_t> waitSeconds;  // --wait: how long each job may take to print
  bool save = false;
  bool showHeader = false;
  bool list = false;
  bool help = false;
  bool version = false;
  // No PATH given reads standard input, as lp does; with --save alone,
  // nothing is printed.
  std::vector<std::string> paths;

  // Whether a PATH is standard input: no question can be answered there.
  bool ReadsStandardInput() const;

  // Where the job bytes go instead of a printer: --output, or standard
  // output for --show-header; none to print.
  std::optional<std::string> JobOutput() const {
    return showHeader ? std::optional<std::string>("-") : outputPath;
  }
};

// Parses argv[1...]; on a usage error returns none and sets `error` to a
// message naming the option.
std::optional<CliOptions> ParseCommandLine(const std::vector<std::string>& args,
                                           std::string& error);

extern const char* const kUsage;

}  // namespace pagewire::cli

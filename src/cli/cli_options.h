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
    std::int32_t from = 1;
    std::optional<std::int32_t> to;  // none: to the last page
  };
  std::optional<PageRange> pages;

  void ApplyTo(settings::PrintJobSettings& settings) const;
};

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

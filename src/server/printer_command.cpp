#include "server/printer_command.h"

#include <array>
#include <string_view>
#include <utility>

#include "settings/setting_text.h"

namespace pagewire::server {
namespace {

using Option = std::pair<std::string, std::string>;

// Settings PAPPL 1.3 keeps no printer default for; jobs still give them.
constexpr std::array<std::string_view, 5> kUnkept = {"copies", "sides", "print-scaling",
                                                     "multiple-document-handling", "page-ranges"};
// The driver's own defaults.
constexpr std::array<std::string_view, 3> kDriverOwn = {"number-up", "pagewire-key-mode",
                                                        "pagewire-mac-address"};

template <std::size_t N>
bool In(const std::array<std::string_view, N>& names, std::string_view name) {
  for (std::string_view known : names) {
    if (name == known) return true;
  }
  return false;
}

// "NAME=VALUE NAME=VALUE", as -o takes them; quotes are not needed by any
// value the driver's own defaults have.
bool ReadOptions(std::string_view text, std::vector<Option>& options) {
  while (!text.empty()) {
    const std::size_t start = text.find_first_not_of(' ');
    if (start == std::string_view::npos) break;
    text.remove_prefix(start);
    const std::size_t end = text.find(' ');
    const std::string_view word = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end);
    const std::size_t equals = word.find('=');
    if (equals == std::string_view::npos) {
      options.emplace_back(std::string(word), "true");
    } else {
      options.emplace_back(std::string(word.substr(0, equals)), std::string(word.substr(equals + 1)));
    }
  }
  return true;
}

std::string Checked(const std::string& name, const std::string& value) {
  if (name == "number-up" && value != "1" && value != "2" && value != "4") {
    return "-o number-up=" + value + ": give 1, 2 or 4";
  }
  if (name == "pagewire-key-mode" && value != "fixed-key" && value != "mac-address") {
    return "-o pagewire-key-mode=" + value + ": give fixed-key or mac-address";
  }
  if (name == "pagewire-mac-address" && !value.empty() && !settings::ParseMacAddress(value)) {
    return "-o pagewire-mac-address=" + value + ": give six pairs of hex digits, as 00:1b:2c:3d:4e:5f";
  }
  return {};
}

}  // namespace

std::optional<PrinterCommand> SplitPrinterCommand(const std::vector<std::string>& args,
                                                  std::string& error) {
  bool add = false, modify = false;
  std::string printer;
  for (std::size_t i = 1; i < args.size(); ++i) {
    if (args[i] == "add") add = true;
    if (args[i] == "modify") modify = true;
    if (args[i] == "-d" && i + 1 < args.size()) printer = args[i + 1];
    if (args[i] == "-d" || args[i] == "-o" || args[i] == "-m" || args[i] == "-v" ||
        args[i] == "-u") {
      ++i;  // a value, whatever its text
    }
  }
  if (!add && !modify) return std::nullopt;

  PrinterCommand command;
  std::vector<Option> own;
  bool media = false, mediaType = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] != "-o" || i + 1 >= args.size()) {
      command.first.push_back(args[i]);
      continue;
    }
    std::vector<Option> options;
    ReadOptions(args[++i], options);
    for (Option& option : options) {
      std::string name = option.first;
      if (name.ends_with("-default")) name.resize(name.size() - 8);
      if (In(kUnkept, name)) {
        error = "-o " + option.first + ": this service keeps no printer default for " + name +
                "; give it with each job";
        return std::nullopt;
      }
      if (In(kDriverOwn, name)) {
        if (error = Checked(name, option.second); !error.empty()) return std::nullopt;
        own.emplace_back(name, option.second);
        continue;
      }
      media = media || name == "media";
      mediaType = mediaType || name == "media-type";
      command.first.push_back("-o");
      command.first.push_back(option.first + "=" + option.second);
    }
  }
  // PAPPL 1.3 sends a media default alone in the wrong group; with a type
  // it goes as media-col-default.
  if (media && !mediaType) {
    command.first.push_back("-o");
    command.first.push_back("media-type=stationery");
  }
  if (own.empty()) return command;
  if (modify) {
    for (const Option& option : own) {
      command.first.push_back("-o");
      command.first.push_back(option.first + "=" + option.second);
    }
    return command;
  }
  command.then = {args[0], "modify", "-d", printer};
  for (const Option& option : own) {
    command.then.push_back("-o");
    command.then.push_back(option.first + "=" + option.second);
  }
  return command;
}

}  // namespace pagewire::server

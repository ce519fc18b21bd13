#include "cli/file_messages.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "cli/cli_options.h"

namespace pagewire::cli {
namespace {

std::string LookUpFailure(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return std::strerror(errno);
  return "it could not be looked up";  // it appeared meanwhile
}

}  // namespace

std::optional<std::string> CommandFileMessage(platform::FileNotice notice, const std::string& path,
                                              const std::string& text) {
  switch (notice) {
    // A double quote is a byte like others in a Linux name: the path is
    // looked up as it is, and a file found there is printed.
    case platform::FileNotice::QuoteInPath: return std::nullopt;
    case platform::FileNotice::NotFound: return path + ": " + LookUpFailure(path);
    // Standard input has no name to take a kind from.
    case platform::FileNotice::ClassedByContent:
      if (path == kStandardInputPath) return std::nullopt;
      return text;
    case platform::FileNotice::ForbidsPrinting:
      return path + ": the PDF's permissions forbid printing it.";
    case platform::FileNotice::Told: break;
  }
  return path + ": " + text;
}

}  // namespace pagewire::cli

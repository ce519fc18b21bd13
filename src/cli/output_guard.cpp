#include "cli/output_guard.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "cli/cli_options.h"

namespace pagewire::cli {
namespace {

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// The names a folder's passes take, whatever the letter case; .tiff too,
// since refusing one more name costs nothing.
bool PrintedFromFolder(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0) return false;
  const char* extension = name.c_str() + dot + 1;
  for (const char* printed : {"pdf", "qlr", "tif", "tiff"}) {
    if (strcasecmp(extension, printed) == 0) return true;
  }
  return false;
}

std::string ChildPath(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// Whether `folder` holds an entry the folder passes print that is `file`.
bool FolderPrints(const std::string& folder, const struct stat& file) {
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return false;
  bool found = false;
  while (const dirent* item = readdir(dir)) {
    struct stat entry {};
    if (PrintedFromFolder(item->d_name) &&
        stat(ChildPath(folder, item->d_name).c_str(), &entry) == 0 && SameFile(entry, file)) {
      found = true;
      break;
    }
  }
  closedir(dir);
  return found;
}

// A file still to be made: its folder, and its name.
std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

}  // namespace

std::optional<std::string> OutputClash(const std::string& output,
                                       const std::vector<std::string>& inputs) {
  struct stat target {};
  const bool exists = output == "-" ? fstat(STDOUT_FILENO, &target) == 0 && S_ISREG(target.st_mode)
                                    : stat(output.c_str(), &target) == 0;
  if (output == "-" && !exists) return std::nullopt;
  const std::string shown = output == "-" ? "standard output" : "'" + output + "'";
  const auto [parent, name] = SplitPath(output);
  for (const std::string& input : inputs) {
    struct stat given {};
    // Standard input is copied before anything is written.
    if (input == kStandardInputPath || stat(input.c_str(), &given) != 0) continue;
    if (!S_ISDIR(given.st_mode)) {
      if (exists && SameFile(target, given)) {
        const std::string same = input == output ? "" : " the same file as '" + input + "',";
        return "--output: " + shown + " is" + same + " a file to print; nothing is written.";
      }
      continue;
    }
    struct stat folder {};
    const bool printed = exists ? FolderPrints(input, target)
                                : stat(parent.c_str(), &folder) == 0 && SameFile(folder, given) &&
                                      PrintedFromFolder(name);
    if (printed) {
      return "--output: " + shown + " would be one of the files to print in the folder '" + input +
             "'; nothing is written.";
    }
  }
  return std::nullopt;
}

}  // namespace pagewire::cli

#include "server/folder_command.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "hotfolder/file_checks.h"
#include "hotfolder/folder_files.h"
#include "hotfolder/folder_settings.h"
#include "server/job_attributes.h"

namespace pagewire::server {
namespace {

using hotfolder::FolderSettings;

int Fail(const std::string& error) {
  std::fprintf(stderr, "pagewire-server folder: %s\n", error.c_str());
  return 1;
}

bool Refuse(std::string& error, const std::string& why) {
  error = why;
  return false;
}

}  // namespace

bool LoadFolders(const std::string& path, std::vector<FolderSettings>& folders, std::string& error) {
  std::string text;
  if (!hotfolder::ReadSmallFile(path, text, error)) {
    if (errno != ENOENT) return false;
    error.clear();
  }
  return hotfolder::ParseFolders(text, folders, error);
}

namespace {

// The job attributes must be ones the header can carry.
bool CheckJobSettings(const FolderSettings& folder, std::string& error) {
  std::vector<IppValue> values;
  for (const auto& [name, value] : folder.job) values.push_back({name, value});
  const MappedSettings mapped = ApplyIppValues({}, values);
  if (mapped.unmapped.empty()) return true;
  error = "-o " + mapped.unmapped.front() + ": the printer has no such value";
  return false;
}

// The password file must be the service's own and closed to others.
bool CheckPasswordFile(const std::string& path, std::string& error) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    error = "password-file " + path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(info.st_mode) || (info.st_mode & 077) != 0 || info.st_uid != geteuid()) {
    error = "password-file " + path + ": must be a file of the service's user, readable by it alone (chmod 600)";
    return false;
  }
  return true;
}

}  // namespace

bool InsideRemovedFolders(const std::string& folder, const std::vector<std::string>& removed,
                          std::string& error) {
  for (std::string prefix : removed) {
    while (prefix.size() > 1 && prefix.back() == '/') prefix.pop_back();
    if (!prefix.empty() && (folder == prefix || folder.starts_with(prefix + "/"))) {
      error = folder + " lies in " + prefix +
              ", where the service removes each job's file once the job ends; choose a folder elsewhere";
      return true;
    }
  }
  return false;
}

std::string StateFolderOf(const std::vector<std::string>& args, const std::string& fallback) {
  for (std::size_t i = 1; i + 1 < args.size(); ++i) {
    if (args[i] == "-o" && args[i + 1].starts_with("state-directory=")) return args[i + 1].substr(16);
  }
  if (const char* env = std::getenv("PAGEWIRE_SERVER_STATE"); env != nullptr && *env != '\0') return env;
  return fallback;
}

bool IsFolderCommand(const std::vector<std::string>& args) {
  return args.size() > 1 && args[1] == "folder";
}

bool ChangeFolder(const std::string& stateFolder, const FolderSettings& wanted, bool remove,
                  std::string& error) {
  const std::string file = hotfolder::FoldersFileIn(stateFolder);
  std::vector<FolderSettings> folders;
  if (!LoadFolders(file, folders, error)) return false;
  std::vector<FolderSettings> kept;
  bool found = false;
  for (FolderSettings& folder : folders) {
    if (folder.path == wanted.path) {
      found = true;
      if (!remove && folder.printer != wanted.printer) {
        return Refuse(error, wanted.path + " is already a hot folder of " + folder.printer);
      }
      if (remove) continue;
    }
    kept.push_back(std::move(folder));
  }
  if (remove && !found) return Refuse(error, wanted.path + " is no hot folder");
  if (!remove) {
    if (!CheckJobSettings(wanted, error)) return false;
    const char* temporary = std::getenv("TMPDIR");
    const std::string temporaryFolder = temporary != nullptr && *temporary != '\0' ? temporary : "/tmp";
    if (InsideRemovedFolders(wanted.path, {temporaryFolder, stateFolder + "/spool"}, error)) return false;
    if (!wanted.passwordFile.empty() && !CheckPasswordFile(wanted.passwordFile, error)) return false;
    if (!hotfolder::PrepareLayout(hotfolder::FolderLayout(wanted.path), error)) return false;
    bool replaced = false;
    for (FolderSettings& folder : kept) {
      if (folder.path == wanted.path) {
        folder = wanted;
        replaced = true;
      }
    }
    if (!replaced) kept.push_back(wanted);
  }
  return hotfolder::WriteTextFile(file, hotfolder::FormatFolders(kept), error);
}

int RunFolderCommand(const std::vector<std::string>& args) {
  const std::string file = hotfolder::FoldersFileIn(StateFolderOf(args, "/var/lib/pagewire-server"));
  FolderSettings wanted;
  bool remove = false;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--remove") {
      remove = true;
    } else if (args[i] == "-d" && i + 1 < args.size()) {
      wanted.printer = args[++i];
    } else if (args[i] == "-o" && i + 1 < args.size()) {
      const std::string& option = args[++i];
      const std::size_t equals = option.find('=');
      const std::string name = option.substr(0, equals);
      if (name == "state-directory") continue;
      std::string error;
      if (!hotfolder::SetFolderOption(wanted, name, equals == std::string::npos ? "true" : option.substr(equals + 1), error)) {
        return Fail(error);
      }
    } else {
      return Fail("unknown argument '" + args[i] + "'; see pagewire-server(8)");
    }
  }
  std::vector<FolderSettings> folders;
  std::string error;
  if (!LoadFolders(file, folders, error)) return Fail(error);
  if (wanted.printer.empty() && wanted.path.empty()) {
    for (const FolderSettings& folder : folders) {
      std::printf("%s %s\n", folder.printer.c_str(), folder.path.c_str());
    }
    return 0;
  }
  if (wanted.printer.empty() || wanted.path.empty()) return Fail("give the printer (-d) and -o path=DIR");

  if (!ChangeFolder(StateFolderOf(args, "/var/lib/pagewire-server"), wanted, remove, error)) return Fail(error);
  return 0;
}

int PrintFolderStatus(const std::string& stateFolder) {
  std::vector<FolderSettings> folders;
  std::string error;
  if (!LoadFolders(hotfolder::FoldersFileIn(stateFolder), folders, error)) return Fail(error);
  for (const FolderSettings& folder : folders) {
    const hotfolder::FolderLayout layout(folder.path);
    std::printf("hot folder %s (printer %s): %d waiting, %d processing, %d done, %d failed\n",
                folder.path.c_str(), folder.printer.c_str(), hotfolder::CountWaiting(folder.path),
                hotfolder::CountFiles(layout.processing),
                hotfolder::CountFiles(layout.done), hotfolder::CountFiles(layout.failed));
    std::string errors;
    if (hotfolder::ReadSmallFile(layout.errors, errors, error)) {
      std::size_t start = 0;
      for (std::size_t end; (end = errors.find('\n', start)) != std::string::npos; start = end + 1) {
        std::printf("  error: %s\n", errors.substr(start, end - start).c_str());
      }
    }
  }
  return 0;
}

}  // namespace pagewire::server

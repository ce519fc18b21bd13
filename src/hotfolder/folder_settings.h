// The hot folders of the service's printers, as kept in the state folder:
// one line per folder, its printer, its path and its settings.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace pagewire::hotfolder {

struct FolderSettings {
  std::string printer;
  std::string path;
  // Job attributes as NAME, VALUE (copies, sides, media, ...): the
  // printer's defaults give the rest.
  std::vector<std::pair<std::string, std::string>> job;
  std::string passwordFile;      // empty: a protected PDF is held
  bool allowOtherFormats = false;
  int settleSeconds = 3;
  int claimAhead = 4;            // files claimed ahead of the printer
  int keepDays = 30;             // done/ and failed/; 0 keeps them
  std::string user = "hotfolder";  // the jobs' user
};

// The job attributes a folder may set.
bool IsFolderJobAttribute(const std::string& name);

// Sets one -o NAME=VALUE; false with `error` for an unknown name or bad value.
bool SetFolderOption(FolderSettings& folder, const std::string& name, const std::string& value,
                     std::string& error);

std::string FormatFolders(const std::vector<FolderSettings>& folders);
// False with `error` naming the line that cannot be read.
bool ParseFolders(const std::string& text, std::vector<FolderSettings>& folders, std::string& error);

// The folder file beside the state file.
std::string FoldersFileIn(const std::string& stateFolder);

}  // namespace pagewire::hotfolder

// The folder sub-command, run before PAPPL's main loop: it keeps the
// printers' hot folders in the state folder, where the running service
// picks them up; and the folders' part of the status sub-command.
//   pagewire-server folder                       lists them
//   pagewire-server folder -d PRINTER -o path=DIR [-o NAME=VALUE ...]
//   pagewire-server folder -d PRINTER -o path=DIR --remove
#pragma once

#include <string>
#include <vector>

#include "hotfolder/folder_settings.h"

namespace pagewire::server {

// True when `args` is the folder sub-command.
bool IsFolderCommand(const std::vector<std::string>& args);

// The folders of the folder file at `path`; none when there is no file.
bool LoadFolders(const std::string& path, std::vector<hotfolder::FolderSettings>& folders,
                 std::string& error);

// Adds `wanted`, or replaces the settings of its folder, or with `remove`
// drops it, in the folder file of `stateFolder`, after the checks (the job
// settings, the password file, the layout); false with `error`.
bool ChangeFolder(const std::string& stateFolder, const hotfolder::FolderSettings& wanted, bool remove,
                  std::string& error);

// Runs it; the exit status.
int RunFolderCommand(const std::vector<std::string>& args);

// Prints each folder's counts and last errors; the exit status.
int PrintFolderStatus(const std::string& stateFolder);

// True, with `error`, for a folder inside one of `removed`: PAPPL removes
// a job's file when it lies in its temporary folder or spool, and with it
// the original.
bool InsideRemovedFolders(const std::string& folder, const std::vector<std::string>& removed,
                          std::string& error);

// -o state-directory, else PAGEWIRE_SERVER_STATE, else `fallback`.
std::string StateFolderOf(const std::vector<std::string>& args, const std::string& fallback);

}  // namespace pagewire::server

// The hot folders in the running service: the service's own thread, which
// serves the folders of the folder file (picked up again when it changes),
// makes each claimed file a job of its printer, and archives it when the
// job ends; and each printer's "Hot Folders" page. Every job the service
// releases is released on that thread, one printer's at a time.
#pragma once

#include <pappl/pappl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hotfolder/hot_folder.h"

namespace pagewire::server {

// Starts the thread over the folder file in `stateFolder`; each of its
// rounds (a few each second) runs `eachRound` before it sends the files.
void StartHotFolders(pappl_system_t* system, const std::string& stateFolder,
                     std::function<void()> eachRound);

// Stops the watcher and waits for it: called before the system is freed.
void StopHotFolders();

// A job's events, from the system's event callback: a hot folder's job
// that ended archives its file.
void HotFolderJobEvent(pappl_job_t* job, pappl_event_t event);

// The folders served now, those the folder file names that cannot be
// served, and the state folder that keeps them.
struct ServedFolders {
  std::vector<std::shared_ptr<hotfolder::HotFolder>> folders;
  std::vector<std::string> errors;
  std::string stateFolder;
};
ServedFolders CurrentHotFolders();

// The printer-create callback: the printer's "Hot Folders" page (each
// folder's counts, last errors and settings, which an administrator
// changes there) and its link.
void AddHotFolderPage(pappl_printer_t* printer, void* data);

}  // namespace pagewire::server

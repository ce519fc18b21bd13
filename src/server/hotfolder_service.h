// The hot folders in the running service: a watcher thread that serves
// the folders of the folder file (picked up again when it changes), makes
// each claimed file a job of its printer, and archives it when the job
// ends; and each printer's "Hot Folders" page.
#pragma once

#include <pappl/pappl.h>

#include <string>

namespace pagewire::server {

// Starts the watcher over the folder file in `stateFolder`.
void StartHotFolders(pappl_system_t* system, const std::string& stateFolder);

// A job's events, from the system's event callback: a hot folder's job
// that ended archives its file.
void HotFolderJobEvent(pappl_job_t* job, pappl_event_t event);

// The printer-create callback: the printer's folder page and its link.
void AddHotFolderPage(pappl_printer_t* printer, void* data);

}  // namespace pagewire::server

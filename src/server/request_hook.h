// The requests that create a job or add its document, seen before PAPPL
// acts on them. PAPPL 1.3 has no hook there for its own operations (its
// operation callback sees only operations it does not know), so the
// service takes its authorization callback, which PAPPL calls first for
// each of them from a network client, and answers it as PAPPL would
// without one. There it refuses a document format the printers do not
// take, and a setting the header cannot carry when the client asks for
// fidelity; it takes the document password out of the request; and it
// keeps the document's name and the client's host and address for the
// job's header, handed to the job when PAPPL makes it.
#pragma once

#include <pappl/pappl.h>

#include <memory>
#include <string>

#include "server/job_origin.h"

namespace pagewire::server {

// Sets the callbacks on `system`.
void WatchJobRequests(pappl_system_t* system);

// A PDF job is held when it is made; once it is spooled, this releases it
// when it prints as it is or with its password, and else leaves it held
// with its reason (document-password-error). Called from the service's
// own thread, which makes every release.
void ReleaseCheckedJobs(pappl_system_t* system);

// A printer's active jobs: those pending or processing, and those held
// until their check.
struct PrinterLoad {
  int running = 0;
  int checked = 0;
};
PrinterLoad LoadOf(pappl_printer_t* printer);

// A job held for its document password gets the one typed for it. True
// when it opens the PDF: the job is then released as a checked one. Else
// the job keeps its reason and message, and the password is wiped.
bool ReleaseWithPassword(pappl_job_t* job, std::string password);

// The document's name of a job held for its check or password.
std::string HeldDocumentName(pappl_job_t* job);
// The origin the next job made on this thread takes, for a job the
// service makes itself; null clears it.
void SetPendingOrigin(std::shared_ptr<JobOrigin> origin);

}  // namespace pagewire::server

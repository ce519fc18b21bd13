// The printer's "Held Jobs" page: the PDF jobs held for their document
// password or because the PDF forbids printing, which their owner or an
// administrator, signed in, releases with the password or cancels. Over
// HTTPS, or plain HTTP from this machine.
#pragma once

#include <pappl/pappl.h>

namespace pagewire::server {

void AddHeldJobsPage(pappl_printer_t* printer);

}  // namespace pagewire::server

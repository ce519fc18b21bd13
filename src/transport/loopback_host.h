// Whether a printer's host is this machine: what crosses a connection to it
// never leaves the machine.
#pragma once

#include <string>

namespace pagewire::transport {

// True for a loopback address (127.0.0.0/8, ::1, and IPv4-mapped ones), a
// local socket's path, and a name whose every address is a loopback one.
// A name that does not resolve is not known to be this machine.
bool IsLoopbackHost(const std::string& host);

}  // namespace pagewire::transport

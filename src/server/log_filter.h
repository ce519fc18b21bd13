// PAPPL logs each request whole at debug level, the document password
// included. The service hands PAPPL a FIFO for its log and copies what
// comes through to the real log, without the lines that name the password.
#pragma once

#include <string>

namespace pagewire::server {

// Starts the copy from a FIFO made at `fifoPath` to `destination` (a file,
// or "-" for the standard error); false, with `error` set, when it cannot.
bool StartLogFilter(const std::string& fifoPath, const std::string& destination,
                    std::string& error);

// True for a log line the password may be in.
bool NamesPassword(const std::string& line);

}  // namespace pagewire::server

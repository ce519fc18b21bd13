// The job comments of the header for a job that came over the network: the
// user and host the request named, the host's IPv4 address and the time.
#pragma once

#include <string>

#include "transport/pjl_header.h"

namespace pagewire::server {

// `userName` ("unknown" for none) and `hostName` as the job gives them; the
// address is the host's own when it is an IPv4 address (an IPv4-mapped IPv6
// one too), else the first IPv4 address the name resolves to, else 0.0.0.0.
transport::JobComments CommentsOf(const char* userName, const char* hostName);

// The document's name, else the job's, else "Untitled".
std::string DocumentNameOf(const char* documentName, const char* jobName);

}  // namespace pagewire::server

// The origins of the jobs PAPPL made. A job's data holds its origin
// shared: whoever works on a job holds it too, so that PAPPL ending the
// job meanwhile (a cancel) frees nothing in use. Only PAPPL's lock-free
// job data accessors run under the origins' lock, so it may be taken where
// PAPPL holds its own locks, as in its event callback.
#pragma once

#include <pappl/pappl.h>

#include <memory>

#include "server/job_origin.h"

namespace pagewire::server {

// Null for a job without one.
std::shared_ptr<JobOrigin> OriginOf(pappl_job_t* job);

// Gives the job `origin` unless it has one; the origin the job keeps.
std::shared_ptr<JobOrigin> AttachOrigin(pappl_job_t* job, std::shared_ptr<JobOrigin> origin);

// Drops the job's hold on its origin, at the job's end.
void DetachOrigin(pappl_job_t* job);

}  // namespace pagewire::server

#include "server/job_origins.h"

#include <mutex>
#include <utility>

namespace pagewire::server {
namespace {

std::mutex originLock;

using Held = std::shared_ptr<JobOrigin>;

}  // namespace

std::shared_ptr<JobOrigin> OriginOf(pappl_job_t* job) {
  const std::lock_guard<std::mutex> lock(originLock);
  const auto* held = static_cast<const Held*>(papplJobGetData(job));
  return held != nullptr ? *held : nullptr;
}

std::shared_ptr<JobOrigin> AttachOrigin(pappl_job_t* job, std::shared_ptr<JobOrigin> origin) {
  const std::lock_guard<std::mutex> lock(originLock);
  if (const auto* held = static_cast<const Held*>(papplJobGetData(job))) return *held;
  papplJobSetData(job, new Held(origin));
  return origin;
}

void DetachOrigin(pappl_job_t* job) {
  const std::lock_guard<std::mutex> lock(originLock);
  delete static_cast<Held*>(papplJobGetData(job));
  papplJobSetData(job, nullptr);
}

}  // namespace pagewire::server

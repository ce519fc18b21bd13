#include "transport/stall_watch.h"

#include <algorithm>

namespace pagewire::transport {
namespace {

using std::chrono::milliseconds;

// Looks at a stall at least this often, so that it is told about on time.
constexpr milliseconds kLongestWait{1000};

std::string Seconds(milliseconds length) {
  return std::to_string(std::chrono::duration_cast<std::chrono::seconds>(length).count()) + " s";
}

}  // namespace

StallWatch::StallWatch(const StallPolicy& policy, Notice notice)
    : policy_(policy), notice_(std::move(notice)), since_(Clock::now()) {}

void StallWatch::Moved() {
  since_ = Clock::now();
  told_ = milliseconds{0};
}

bool StallWatch::KeepWaiting(std::string& cause) {
  const auto stalled = std::chrono::duration_cast<milliseconds>(Clock::now() - since_);
  if (policy_.timeout.count() > 0 && stalled >= policy_.timeout) {
    cause = "The printer has taken no data for " + Seconds(stalled) + ": the job is ended.";
    return false;
  }
  if (policy_.notice.count() > 0 && stalled >= told_ + policy_.notice) {
    told_ = stalled - stalled % policy_.notice;
    if (notice_) notice_("The printer has not taken data for " + Seconds(stalled) + ".");
  }
  return true;
}

int StallWatch::WaitMillis() const {
  milliseconds wait = kLongestWait;
  for (const milliseconds limit : {policy_.notice, policy_.timeout}) {
    if (limit.count() > 0) wait = std::min(wait, limit);
  }
  if (policy_.notice.count() == 0 && policy_.timeout.count() == 0) return -1;
  return static_cast<int>(wait.count());
}

}  // namespace pagewire::transport

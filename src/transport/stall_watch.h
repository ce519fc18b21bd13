// A printer that stops taking data: told after a while, and given up after
// a longer while when the user asks so. A busy printer may stall for long,
// so nothing gives up by default.
#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace pagewire::transport {

// Zero: never.
struct StallPolicy {
  std::chrono::milliseconds notice{0};   // tell each time a stall has lasted this much more
  std::chrono::milliseconds timeout{0};  // end the document once a stall lasts this long
};

// Watches the transfer of one document.
class StallWatch {
 public:
  using Notice = std::function<void(const std::string&)>;

  StallWatch(const StallPolicy& policy, Notice notice);

  // Data moved: a stall, if any, is over.
  void Moved();
  // After a wait in which nothing moved: tells the stall at each notice
  // interval; false with `cause` set once it has lasted the timeout.
  bool KeepWaiting(std::string& cause);
  // The longest wait between two looks, in milliseconds; -1 when nothing is
  // watched and a wait may last for ever.
  int WaitMillis() const;

 private:
  using Clock = std::chrono::steady_clock;

  StallPolicy policy_;
  Notice notice_;
  Clock::time_point since_;
  std::chrono::milliseconds told_{0};  // the stall's length when last told
};

}  // namespace pagewire::transport

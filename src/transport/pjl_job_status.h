// Knowing that a raw socket job printed, from PJL's unsolicited job status:
// the job goes between "@PJL JOB NAME" and "@PJL EOJ NAME" with USTATUS JOB
// on, and the printer tells on the same connection when it has ended.
#pragma once

#include <string>
#include <string_view>

namespace pagewire::transport {

// What goes before the job's bytes, and after them.
std::string PjlJobOpening(std::string_view name);
std::string PjlJobClosing(std::string_view name);

// Reads the printer's replies for the job `name`.
class PjlJobStatus {
 public:
  explicit PjlJobStatus(std::string name) : name_(std::move(name)) {}

  // Takes what the printer sent; true once the job has ended (an END, or a
  // CANCELED, for this name).
  bool Take(std::string_view bytes);

  const std::string& Name() const { return name_; }
  bool Completed() const { return completed_; }
  // Why it did not complete, as the printer said it: "CANCELED
  // (RESULT=USER_CANCELED)".
  const std::string& Reason() const { return reason_; }
  // The pages the printer says the job printed; 0 when it does not say.
  int Pages() const { return pages_; }

 private:
  // One message, the text between two form feeds.
  void Read(std::string_view message);

  std::string name_;
  std::string pending_;  // an unfinished message
  bool ended_ = false;
  bool completed_ = false;
  std::string reason_;
  int pages_ = 0;
};

}  // namespace pagewire::transport

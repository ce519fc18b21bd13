// What the command's destinations (a CUPS queue, a socket, an IPP printer)
// share: their options and how a waited-for job ended; for the raw ones, a
// document that gathers writes before they go out.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/destination.h"
#include "platform/linux/ipp_attributes.h"
#include "platform/linux/stall_watch.h"

namespace pagewire::platform {

using Report = std::function<void(const std::string& line)>;

// What became of a job at the printer.
struct JobOutcome {
  bool completed = false;
  std::string reason;  // why not: the printer's reasons, or how the wait ended
};

struct DestinationOptions {
  // Each failure, and each notice of a printer that takes no data, as
  // "NAME: text": the program itself only says that the operation failed.
  Report report;
  // How long a printer that takes no data is waited for.
  StallPolicy stalls;
  // Not empty: the name of every job, instead of the one the program gives.
  std::string title;
  // A CUPS or IPP job that took its whole document, by queue (the IPP
  // printer's name) and job id.
  std::function<void(const std::string& queue, int job)> queued;
  // With a value: each job is waited for, this long at most, until it has
  // ended at the printer.
  std::optional<std::chrono::seconds> wait;
  // A document refused before a byte went; the refusal is reported.
  std::function<void(Refusal)> refused;
  // A password may go over plain ipp:// to a host but this one.
  bool allowPlainPassword = false;
  // With a wait: whether each job printed; why not is reported.
  std::function<void(bool printed)> finished;
  // The settings an IPP job carries; its printer chooses the others.
  IppChoices ipp;
};

// Reports "NAME: text", or "text" for no name.
void Tell(const DestinationOptions& options, const std::string& name, const std::string& text);
// Tells how the job of `file` ended, "NAME: FILE: printed" or "NAME: FILE:
// not printed: REASON", and passes it on to `finished`.
void TellJobEnd(const DestinationOptions& options, const std::string& name,
                const std::string& file, const JobOutcome& outcome);
// Watches one document of the destination `name`, telling through `options`.
StallWatch StallWatchFor(const std::string& name, const DestinationOptions& options);

// One document's bytes on their way to a printer. Finish and Cancel end
// it; a stream that goes before is cancelled.
class RawStream {
 public:
  virtual ~RawStream() = default;
  virtual bool Send(const unsigned char* data, std::size_t length, std::string& cause) = 0;
  virtual bool Finish(std::string& cause) = 0;
  // True when nothing more of the document will print.
  virtual bool Cancel(std::string& cause) = 0;
};

// Writes are gathered in a 256 KiB buffer that goes out when full and at
// Commit. Dropped without Commit, the buffer is dropped and the stream
// cancelled. Each failure is reported once as "NAME: cause".
class RawDocument final : public Document {
 public:
  RawDocument(std::unique_ptr<RawStream> stream, std::string name, Report report);
  ~RawDocument() override;
  RawDocument(const RawDocument&) = delete;
  RawDocument& operator=(const RawDocument&) = delete;

  bool Write(const void* data, std::size_t length) override;
  bool Commit() override;

 private:
  bool Send(const unsigned char* data, std::size_t length);
  bool Flush();
  bool Fail(const std::string& cause);

  std::unique_ptr<RawStream> stream_;  // null once ended
  std::string name_;
  Report report_;
  std::vector<unsigned char> buffer_;
  std::size_t buffered_ = 0;
};

// The bytes sent on socket `fd` that the peer has not acknowledged; 0 when
// unknown. Acknowledged data is progress even when nothing more can be sent.
int UnacknowledgedBytes(int fd);

// How often libcups calls back while a connection waits, in seconds: at
// the watch's own pace, and often enough to notice an interrupt.
double CupsWaitSeconds(const StallWatch& watch);

// Resets the TCP connection on `fd` at once, leaving the descriptor open: a
// peer that reads a request to its end takes a reset for a failure, where a
// clean close (or a TLS close) would end the request as if it were whole.
void ResetConnection(int fd);

}  // namespace pagewire::platform
